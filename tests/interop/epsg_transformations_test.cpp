// EPSG datum transformations by code: the translator set up with one agrees
// with PROJ's own rendering of that operation, forwards and reversed, over
// the operation's area of use.
//
// PROJ side: the operation EPSG:<code> from PROJ's database (a geographic 2D Helmert or
// geocentric translation between EPSG's two geographic systems), normalised
// to longitude-latitude order and run forwards or inverse. Our side: the
// geographic systems of both codes from ZrCoordSysFromEpsg and
// ZrSetTranslatorTransformation, Convert forwards.
#include "interop/ZrEpsgData_p.h"
#include "interop/ZrInterop.h"
#include "transform/ZrPJTranslator.h"

#include <gtest/gtest.h>
#include <proj.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {
// Agreement on the ground: three millimetres.
constexpr double kToleranceMetres = 3e-3;
constexpr double kMetresPerDegree = 111319.5; // on the equator; an upper bound elsewhere
constexpr double kDegToRad = 0.017453292519943295;

double GroundMetres(double lon1, double lat1, double lon2, double lat2) {
    const double dx = (lon1 - lon2) * kMetresPerDegree * std::cos(lat1 * kDegToRad);
    const double dy = (lat1 - lat2) * kMetresPerDegree;
    return std::hypot(dx, dy);
}
} // namespace

TEST(EpsgTransformations, AgreeWithPROJBothWays) {
    PJ_CONTEXT* ctx = proj_context_create();
    // NTF, OSGB36, NAD27 (geocentric translations), Pulkovo 1942 (coordinate
    // frame), Beijing 1954, ED50 and position-vector ones; Fatu Iva 72 and
    // Helle 1954, whose rotations and scale turn kilometre translations by
    // 1.6 m and 0.25 m: reversing them by negated values alone misses that.
    for (long code : {1193L, 1314L, 1254L, 5044L, 15919L, 1311L, 1612L, 15865L, 8842L, 1957L}) {
        ZrEpsgTransformation t;
        ASSERT_TRUE(ZrEpsgTransformationByCode(code, t)) << code;
        CZrPJCoordSys src, des;
        ASSERT_TRUE(ZrCoordSysFromEpsg(t.sourceGeographic, src)) << t.sourceGeographic;
        ASSERT_TRUE(ZrCoordSysFromEpsg(t.targetGeographic, des)) << t.targetGeographic;
        PJ* raw = proj_create_from_database(ctx, "EPSG", std::to_string(code).c_str(),
                                            PJ_CATEGORY_COORDINATE_OPERATION, 0, nullptr);
        ASSERT_NE(raw, nullptr) << code;
        PJ* op = proj_normalize_for_visualization(ctx, raw);
        proj_destroy(raw);
        ASSERT_NE(op, nullptr) << code;
        for (int way = 0; way < 2; ++way) {
            const bool reversed = way == 1;
            CZrPJTranslator tr;
            CString reason;
            ASSERT_TRUE(
                ZrSetTranslatorTransformation(tr, reversed ? des : src, reversed ? src : des, code, &reason))
                << code << ": " << reason.c_str();
            double worst = 0;
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j) {
                    const double lon = t.west + (t.east - t.west) * (0.2 + 0.3 * i);
                    const double lat = t.south + (t.north - t.south) * (0.2 + 0.3 * j);
                    PJ_COORD c = proj_coord(lon, lat, 0, 0);
                    c = proj_trans(op, reversed ? PJ_INV : PJ_FWD, c);
                    ASSERT_TRUE(std::isfinite(c.xy.x)) << code;
                    CPoint2D p(lon, lat);
                    ASSERT_TRUE(tr.Convert(&p, 1, 1)) << code;
                    worst = std::max(worst, GroundMetres(p.x, p.y, c.xy.x, c.xy.y));
                }
            EXPECT_LE(worst, kToleranceMetres) << "EPSG:" << code << (reversed ? " reversed" : "");
            std::printf("EPSG:%ld %s: worst %.3f mm\n", code, reversed ? "reversed" : "forward", worst * 1e3);
        }
        proj_destroy(op);
    }
    proj_context_destroy(ctx);
}

TEST(EpsgTransformations, DirectionChosenByTheSystemsAndRefusedForOthers) {
    CZrPJCoordSys ntf, wgs84, ed50;
    ASSERT_TRUE(ZrCoordSysFromEpsg(4275, ntf));
    ASSERT_TRUE(ZrCoordSysFromEpsg(4326, wgs84));
    ASSERT_TRUE(ZrCoordSysFromEpsg(4230, ed50));
    CZrPJTranslator t;
    CString reason;
    EXPECT_FALSE(ZrSetTranslatorTransformation(t, ed50, wgs84, 1193, &reason));
    EXPECT_NE(std::string(reason.c_str()).find("4275"), std::string::npos) << reason.c_str();
    EXPECT_FALSE(ZrSetTranslatorTransformation(t, ntf, wgs84, 1, &reason));
    EXPECT_FALSE(reason.IsEmpty());
    // A projected system on NTF takes the transformation of its geographic system.
    CZrPJCoordSys lambert;
    ASSERT_TRUE(ZrCoordSysFromEpsg(27572, lambert)); // NTF (Paris) / Lambert zone II: NTF on Paris
    EXPECT_FALSE(ZrSetTranslatorTransformation(t, lambert, wgs84, 1193, &reason)) << "4807 is not 4275";
    // The candidates for a pair, best first, with the stored direction shown.
    ZrEpsgTransformation list[4];
    const int n = ZrEpsgTransformationCandidates(4326, 4277, list, 4);
    ASSERT_GT(n, 4);
    EXPECT_EQ(list[0].sourceGeographic, 4277);
    EXPECT_EQ(list[0].targetGeographic, 4326);
    EXPECT_EQ(ZrEpsgTransformationCandidates(4326, 4277, nullptr, 0), n);
}
