// Normal-aspect cylindrical kinds against PROJ, and against GeographicLib for
// the ellipsoidal equidistant cylindrical (PROJ's eqc is spherical only).
#include "GridCompare_p.h"

#include <GeographicLib/Ellipsoid.hpp>
#include <gtest/gtest.h>

using namespace gridcompare;

namespace {
// Miller, Gall and the spherical Mercator draw on the sphere of radius a.
const ProjCase kCases[] = {
    {"43001 equidistant cylindrical, sphere",
     {43001, 6371007.0, 0.0, 10, 0, 30, 0, 1, 0, 1e6, -2e6},
     "+proj=eqc +R=6371007 +lat_ts=30 +lon_0=10 +x_0=1000000 +y_0=-2000000",
     {-165, 185, 25, -90, 90, 5},
     kTenthMillimetre},
    {"43002 plate carree, sphere",
     {43002, kWgs84A, 0.0, -75},
     "+proj=eqc +R=6378137 +lon_0=-75",
     {-250, 100, 25, -90, 90, 10},
     kTenthMillimetre},
    {"43003 Miller",
     {43003, kWgs84A, kWgs84F, -60, 0, 0, 0, 1, 0, 5e5},
     "+proj=mill +R=6378137 +lon_0=-60 +x_0=500000",
     {-235, 115, 25, -90, 90, 5},
     kTenthMillimetre},
    {"43004 Mercator, phi1 0",
     {43004, kWgs84A, kWgs84F},
     "+proj=merc +ellps=WGS84",
     {-175, 175, 25, -85, 85, 5}},
    {"43004 Mercator, phi1 -40",
     {43004, kWgs84A, kWgs84F, 100, 0, -40, 0, 1, 0, 0, 1e7},
     "+proj=merc +ellps=WGS84 +lat_ts=-40 +lon_0=100 +y_0=10000000",
     {-75, 275, 25, -85, 85, 5}},
    {"43016 Gall stereographic",
     {43016, kWgs84A, kWgs84F, 20},
     "+proj=gall +R=6378137 +lon_0=20",
     {-155, 195, 25, -90, 90, 5},
     kTenthMillimetre},
    {"43017 Behrmann",
     {43017, kWgs84A, kWgs84F, 0, 0, 30},
     "+proj=cea +ellps=WGS84 +lat_ts=30",
     {-175, 175, 25, -89, 89, 4}},
    {"43041 equal-area cylindrical",
     {43041, kGrs80A, kGrs80F, 45},
     "+proj=cea +ellps=GRS80 +lon_0=45",
     {-130, 220, 25, -89, 89, 4}},
    {"43045 Mercator, sphere",
     {43045, kWgs84A, kWgs84F, 0, 0, 25},
     "+proj=merc +R=6378137",
     {-175, 175, 25, -85, 85, 5},
     kTenthMillimetre},
};
} // namespace

TEST(CylindricalTest, ForwardMatchesProjAndInverseReturnsThePoint) {
    for (const ProjCase& c : kCases)
        CheckAgainstProj(c);
}

// x along the standard parallel, y the true meridian arc, both to round-off
// in GeographicLib; the image of a pole comes back as that pole.
TEST(CylindricalTest, EllipsoidalEquidistantCylindricalMatchesGeographicLib) {
    for (double phi1 : {0.0, 45.0, -60.0}) {
        SCOPED_TRACE(phi1);
        const GeographicLib::Ellipsoid ell(kWgs84A, kWgs84F);
        CZrPJOperator op = Build({43001, kWgs84A, kWgs84F, -30, 0, phi1});
        ASSERT_EQ(op.Create(), 1);
        const Worst w =
            CompareGrid(op, {-205, 145, 25, -90, 90, 5}, [&](double lon, double lat, double& x, double& y) {
                x = ell.CircleRadius(phi1) * (lon + 30) * kDeg;
                y = ell.MeridianDistance(lat);
                return true;
            });
        EXPECT_LT(w.forward, kTenthMillimetre);
        EXPECT_LT(w.roundTrip, kSeriesInverseRoundTrip);
        Report("43001 equidistant cylindrical, WGS84", "GeographicLib CircleRadius, MeridianDistance", w);
    }
}

// The pole lies at infinity on Mercator: both kinds cut the map at 88 degrees.
TEST(CylindricalTest, MercatorKindsCutTheMapAt88Degrees) {
    for (long kind : {43004L, 43045L}) {
        CZrPJOperator op = Build({kind, kWgs84A, kWgs84F});
        ASSERT_EQ(op.Create(), 1);
        for (double lat : {88.5, 89.9, 90.0, -88.5, -90.0}) {
            CPoint2D cut(30.0, std::copysign(88.0, lat)), beyond(30.0, lat);
            ASSERT_EQ(op.Forward(cut) * op.Forward(beyond), 1);
            EXPECT_EQ(beyond.y, cut.y) << kind << " " << lat;
        }
    }
}

// A standard parallel at a pole leaves a cylinder of no radius: where a
// routine would divide by it the call fails and the point is untouched. The
// spherical Mercator never reads the parallel and keeps working both ways.
TEST(CylindricalTest, StandardParallelAtThePole) {
    const CPoint2D geo(12.5, 47.25), planar(612345.678, 5234567.891);
    for (long kind : {43001L, 43004L, 43017L, 43041L, 43045L}) {
        SCOPED_TRACE(kind);
        CZrPJOperator op = Build({kind, kWgs84A, kWgs84F, 0, 0, 90, 0, 1, 0, 5e5});
        ASSERT_EQ(op.Create(), 1);
        const bool equalArea = kind == 43017 || kind == 43041;
        CPoint2D p = geo;
        EXPECT_EQ(op.Forward(p), equalArea ? 0 : 1);
        if (kind == 43045) {
            ASSERT_EQ(op.Inverse(p), 1);
            EXPECT_NEAR(p.x, geo.x, kNanodegree);
            EXPECT_NEAR(p.y, geo.y, kNanodegree);
            continue;
        }
        EXPECT_TRUE(!equalArea || BitIdentical(p, geo));
        p = planar;
        EXPECT_EQ(op.Inverse(p), 0);
        EXPECT_TRUE(BitIdentical(p, planar));
    }
}

// The image of a pole comes back as that pole, not folded over to the other
// one; near it y changes with the square of the distance, so a rounding error
// of 1e-16 in y is 2e-8 rad of latitude. Beyond it there is no latitude.
TEST(CylindricalTest, EqualAreaInverseAtAndBeyondThePole) {
    constexpr double kPoleConditioning = 2e-6; // degrees
    CZrPJOperator op = Build({43017, kWgs84A, kWgs84F, 0, 0, 30});
    ASSERT_EQ(op.Create(), 1);
    for (double lat : {90.0, -90.0}) {
        CPoint2D p(10.0, lat);
        ASSERT_EQ(op.Forward(p), 1);
        ASSERT_EQ(op.Inverse(p), 1);
        EXPECT_NEAR(p.y, lat, kPoleConditioning);
    }
    CPoint2D pole(0.0, 90.0);
    ASSERT_EQ(op.Forward(pole), 1);
    const CPoint2D beyond(pole.x, pole.y * 1.001);
    CPoint2D p = beyond;
    EXPECT_EQ(op.Inverse(p), 0);
    EXPECT_TRUE(BitIdentical(p, beyond));
}
