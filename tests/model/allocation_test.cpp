// The per-point paths allocate nothing: projecting, unprojecting and
// converting arrays never reaches the heap, whatever the kind.
#include "interop/ZrInterop.h"
#include "model/ZrPJCoordSys.h"
#include "model/catalogue/ZrProjectedCatalogue.h"
#include "support/ReplacedAllocation_p.h"
#include "transform/ZrPJTranslator.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

namespace {
thread_local bool g_counting = false;
std::atomic<long> g_allocations{0};

struct CountAllocations {
    CountAllocations() {
        g_allocations = 0;
        g_counting = true;
    }
    ~CountAllocations() { g_counting = false; }
    long Count() const { return g_allocations.load(); }
};
} // namespace

void* ZrTestAllocate(std::size_t size) {
    if (g_counting) ++g_allocations;
    return std::malloc(size ? size : 1);
}

TEST(AllocationTest, TheCounterSeesAnAllocation) {
    // An allocation made inside the library (a long formatted string) counts.
    CountAllocations counter;
    CString text;
    text.Format("%0200d", 7);
    EXPECT_GE(counter.Count(), 1);
}

TEST(AllocationTest, ProjectingEveryCatalogueKindAllocatesNothing) {
    // One catalogue row of each kind that the catalogue uses.
    std::vector<long> codes;
    std::vector<long> kindsSeen;
    for (int i = 0; i < ZrProjectedRowCount(); ++i) {
        ZrProjectedRow row;
        const long code = ZrProjectedCodeAt(i);
        if (!ZrFindProjectedRow(code, row)) continue;
        bool seen = false;
        for (long k : kindsSeen)
            seen = seen || k == row.kind;
        if (seen) continue;
        kindsSeen.push_back(row.kind);
        codes.push_back(code);
    }
    ASSERT_GT(codes.size(), 20u);

    std::vector<CPoint2D> points2;
    std::vector<CPoint3D> points3;
    for (int i = 0; i < 64; ++i) {
        points2.emplace_back(-170.0 + 5.3 * i, -80.0 + 2.5 * i);
        points3.emplace_back(-170.0 + 5.3 * i, -80.0 + 2.5 * i, 10.0 * i);
    }
    for (long code : codes) {
        CZrPJCoordSys cs;
        if (!cs.Set(static_cast<tagPJCoordSysType>(code))) continue; // kinds without a routine
        std::vector<CPoint2D> p2 = points2;
        std::vector<CPoint3D> p3 = points3;
        CountAllocations counter;
        cs.Forward(p2.data(), static_cast<long>(p2.size()));
        cs.Inverse(p2.data(), static_cast<long>(p2.size()));
        cs.Forward(p3.data(), static_cast<long>(p3.size()));
        cs.Inverse(p3.data(), static_cast<long>(p3.size()));
        EXPECT_EQ(counter.Count(), 0) << "catalogue code " << code;
    }
}

TEST(AllocationTest, ConvertingWithADatumShiftAllocatesNothing) {
    CZrPJCoordSys gk, utm;
    ASSERT_TRUE(gk.Set(static_cast<tagPJCoordSysType>(21420)));
    ASSERT_TRUE(utm.Set(static_cast<tagPJCoordSysType>(32650)));
    CZrPJParams shift;
    shift.TranslationX = 15.53;
    shift.TranslationY = -113.82;
    shift.TranslationZ = -41.38;
    shift.RotationZ = 0.814;
    shift.ScaleDifference = -0.38;
    for (tagPJTransMethod method : {PJTM_POSITION_VECTOR, PJTM_COORDINATE_FRAME, PJTM_GEOCENTRIC_TRANSLATION,
                                    PJTM_MOLODENSKY, PJTM_ABRIDGED_MOLODENSKY}) {
        CZrPJTranslator translator;
        translator.Set(gk, utm);
        translator.SetMethod(method);
        ASSERT_TRUE(translator.SetParams(shift)) << method;
        std::vector<CPoint2D> p2(32, CPoint2D(20500000.0, 4000000.0));
        std::vector<CPoint3D> p3(32, CPoint3D(20500000.0, 4000000.0, 50.0));
        CountAllocations counter;
        translator.Convert(p2.data(), 32, 1);
        translator.Convert(p2.data(), 32, 0);
        translator.Convert(p3.data(), 32, 1);
        translator.Convert(p3.data(), 32, 0);
        EXPECT_EQ(counter.Count(), 0) << method;
    }
}

// The best operation per point (area tests, a grid's bilinear shift or a
// chain of Helmerts) reaches the heap no more than the method's shift does.
TEST(AllocationTest, ConvertingWithTheBestOperationAllocatesNothing) {
    const long pairs[][2] = {{4314, 4258}, {4326, 4277}};
    for (const auto& pair : pairs) {
        CZrPJCoordSys src, des;
        ASSERT_TRUE(ZrCoordSysFromEpsg(pair[0], src));
        ASSERT_TRUE(ZrCoordSysFromEpsg(pair[1], des));
        CZrPJTranslator translator;
        if (!ZrSetTranslatorBestOperation(translator, src, nullptr, des, nullptr, false))
            GTEST_SKIP() << "no EPSG data or grid for " << pair[0];
        std::vector<CPoint2D> p2;
        for (int i = 0; i < 32; ++i)
            p2.emplace_back(6.0 + 0.3 * i, 47.5 + 0.25 * i); // inside and outside the areas of use
        std::vector<CPoint3D> p3(32, CPoint3D(10.0, 50.0, 100.0));
        CountAllocations counter;
        translator.Convert(p2.data(), 32, 1);
        translator.Convert(p2.data(), 32, 0);
        translator.Convert(p3.data(), 32, 1);
        translator.Convert(p3.data(), 32, 0);
        EXPECT_EQ(counter.Count(), 0) << pair[0];
    }
}
