// One built coordinate system shared by several threads, each with its own
// points: the results must be those of a single thread, bit for bit. Built
// for ThreadSanitizer too (tools/sanitize.sh), which reports any write that
// a projection makes to the shared system while it runs.
#include "model/ZrPJCoordSys.h"
#include "model/catalogue/ZrProjectedCatalogue.h"
#include "transform/ZrPJTranslator.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

namespace {

constexpr int kThreads = 4;
constexpr int kPointsPerThread = 2000;
constexpr int kRounds = 3;

// The first catalogue row of a projection kind, 0 when there is none.
long FirstRowOfKind(long kind) {
    ZrProjectedRow row;
    for (int i = 0; i < ZrProjectedRowCount(); ++i)
        if (ZrFindProjectedRow(ZrProjectedCodeAt(i), row) && row.kind == kind) return row.code;
    return 0;
}

// Each thread's own points around the system's central meridian.
std::vector<CPoint2D> Slice(int thread, double lon0) {
    std::vector<CPoint2D> pts;
    for (int i = 0; i < kPointsPerThread; ++i) {
        const double u = (i % 50) / 50.0, v = (i / 50) / 40.0;
        pts.emplace_back(lon0 - 2.5 + 5.0 * u + 0.01 * thread, -20.0 + 60.0 * v + 0.003 * thread);
    }
    return pts;
}

void ForwardThenInverse(const CZrPJCoordSys& cs, std::vector<CPoint2D>& projected,
                        std::vector<CPoint2D>& back) {
    cs.Forward(projected.data(), static_cast<long>(projected.size()));
    back = projected;
    cs.Inverse(back.data(), static_cast<long>(back.size()));
}

bool SameBits(const std::vector<CPoint2D>& a, const std::vector<CPoint2D>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(CPoint2D)) == 0;
}

} // namespace

TEST(ThreadsTest, OneBuiltSystemServesSeveralThreadsWithSingleThreadResults) {
    // Transverse Mercator, Gauss-Krueger, and the first catalogue rows of the
    // conics and the oblique Mercator, whose set-up blocks are the largest.
    std::vector<long> codes = {32650, 21420};
    for (long kind : {43020L, 43007L, 43036L, 43021L})
        if (const long code = FirstRowOfKind(kind)) codes.push_back(code);
    ASSERT_GE(codes.size(), 4u);

    for (long code : codes) {
        SCOPED_TRACE(code);
        CZrPJCoordSys cs;
        ASSERT_TRUE(cs.Set(static_cast<tagPJCoordSysType>(code)));
        const double lon0 = cs.GetParams().CentralMeridian;

        std::vector<std::vector<CPoint2D>> refProjected(kThreads), refBack(kThreads);
        for (int t = 0; t < kThreads; ++t) {
            refProjected[t] = Slice(t, lon0);
            ForwardThenInverse(cs, refProjected[t], refBack[t]);
        }

        const CZrPJCoordSys& shared = cs;
        std::vector<int> matches(kThreads, 0);
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&, t] {
                for (int round = 0; round < kRounds; ++round) {
                    std::vector<CPoint2D> projected = Slice(t, lon0), back;
                    ForwardThenInverse(shared, projected, back);
                    if (SameBits(projected, refProjected[t]) && SameBits(back, refBack[t])) ++matches[t];
                }
            });
        }
        for (std::thread& th : threads)
            th.join();
        for (int t = 0; t < kThreads; ++t)
            EXPECT_EQ(matches[t], kRounds) << "thread " << t;
    }
}

TEST(ThreadsTest, TranslatorsOfTheirOwnAndCodeLookupsRunSideBySide) {
    // A translator belongs to one thread; distinct ones built from the same
    // systems must not disturb each other, and the EPSG lookups share nothing.
    CZrPJCoordSys gk, utm;
    ASSERT_TRUE(gk.Set(static_cast<tagPJCoordSysType>(21420)));
    ASSERT_TRUE(utm.Set(static_cast<tagPJCoordSysType>(32650)));
    CZrPJParams shift;
    shift.TranslationX = 15.53;
    shift.TranslationY = -113.82;
    shift.TranslationZ = -41.38;
    shift.RotationZ = 0.814;
    shift.ScaleDifference = -0.38;

    auto convertSlice = [&](int t) {
        CZrPJTranslator translator;
        translator.Set(gk, utm);
        translator.SetMethod(PJTM_POSITION_VECTOR);
        translator.SetParams(shift);
        std::vector<CPoint2D> pts = Slice(t, 117.0);
        for (CPoint2D& p : pts)
            p.y = 20.0 + (p.y + 20.0) / 2.0; // inside China
        gk.Forward(pts.data(), static_cast<long>(pts.size()));
        translator.Convert(pts.data(), static_cast<long>(pts.size()), 1);
        translator.Convert(pts.data(), static_cast<long>(pts.size()), 0);
        return pts;
    };
    std::vector<std::vector<CPoint2D>> reference(kThreads), result(kThreads);
    for (int t = 0; t < kThreads; ++t)
        reference[t] = convertSlice(t);

    std::vector<int> epsg(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            result[t] = convertSlice(t);
            CZrPJTranslator lookup;
            epsg[t] = lookup.Orvanta2EPSG(32650);
        });
    }
    for (std::thread& th : threads)
        th.join();
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_TRUE(SameBits(result[t], reference[t])) << "thread " << t;
        EXPECT_EQ(epsg[t], 32650) << "thread " << t;
    }
}
