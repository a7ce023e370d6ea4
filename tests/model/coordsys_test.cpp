// The coordinate system: building the operator from its parts, projecting
// arrays end to end in any linear unit, its equality and copy rules, and the
// mended faults (unit codes of 0 or less, distances on one meridian or on the
// equator).
#include "model/ZrPJCoordSys.h"
#include "model/catalogue/ZrProjectedCatalogue.h"
#include "tests/support/ProjOracle.h"

#include <GeographicLib/Geodesic.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

constexpr double kMillimetre = 1e-3; // metres
constexpr double kNanodegree = 1e-9; // degrees
constexpr long kMetre = 10000;
constexpr long kKilometre = 10000000;

CZrPJGeoCoordSys Gcs(long code) {
    CZrPJGeoCoordSys g;
    g.Set(static_cast<tagGeoCoordSysType>(code));
    return g;
}

// UTM zone 1 north on WGS 1984, built from parts.
CZrPJParams Utm1Params() {
    CZrPJParams p;
    p.FalseEasting = 500000.0;
    p.CentralMeridian = -177.0;
    p.ScaleFactor = 0.9996;
    return p;
}

CZrPJCoordSys Utm1FromParts(long units = kMetre, const CZrPJParams& params = Utm1Params()) {
    CZrPJCoordSys cs;
    cs.Set("UTM 1N", Gcs(4326), CZrPJObject(PJ_KIND_TRANSVERSE_MERCATOR), params, units);
    return cs;
}

TEST(CoordSys, DefaultIsUnbuiltUntilSet) {
    CZrPJCoordSys cs;
    EXPECT_EQ(cs.GetType(), 32601);
    EXPECT_STREQ(cs.GetName(), "WGS_1984_UTM_Zone_1N");
    EXPECT_EQ(cs.GetDistUnits(), kMetre);
    EXPECT_EQ(cs.GetGCS().GetType(), 4326);
    EXPECT_EQ(cs.GetProjection().GetType(), 43006);
    EXPECT_EQ(cs.GetParams().CentralMeridian, -177.0);
    EXPECT_EQ(cs.IsValid(), 0);
    EXPECT_EQ(cs.Create(), 1);
    EXPECT_EQ(cs.IsValid(), 1);
}

// Oracle: PROJ's UTM zone 1 (tmerc, k0 0.9996, x0 500 km, WGS 84).
TEST(CoordSys, ProjectedSystemFromPartsAgreesWithProj) {
    const CZrPJCoordSys cs = Utm1FromParts();
    ASSERT_EQ(cs.IsValid(), 1);
    EXPECT_EQ(cs.GetType(), -1);

    CPoint2D origin(-177.0, 0.0);
    cs.Forward(&origin, 1);
    EXPECT_NEAR(origin.x, 500000.0, kMillimetre);
    EXPECT_NEAR(origin.y, 0.0, kMillimetre);

    const ProjOracle proj("+proj=tmerc +lon_0=-177 +k=0.9996 +x_0=500000 +y_0=0 +ellps=WGS84");
    ASSERT_TRUE(proj.ok());
    CPoint2D pts[] = {{-179.5, 10.0}, {-175.0, -33.3}, {-177.0, 71.0}, {-176.2, 0.5}};
    const int n = sizeof(pts) / sizeof(pts[0]);
    const CPoint2D geo[n] = {pts[0], pts[1], pts[2], pts[3]};
    EXPECT_EQ(cs.Forward(pts, n), n);
    for (int i = 0; i < n; ++i) {
        double x, y;
        ASSERT_TRUE(proj.Forward(geo[i].x, geo[i].y, x, y));
        EXPECT_NEAR(pts[i].x, x, kMillimetre) << i;
        EXPECT_NEAR(pts[i].y, y, kMillimetre) << i;
    }
    EXPECT_EQ(cs.Inverse(pts, n), n);
    for (int i = 0; i < n; ++i) {
        EXPECT_NEAR(pts[i].x, geo[i].x, kNanodegree) << i;
        EXPECT_NEAR(pts[i].y, geo[i].y, kNanodegree) << i;
    }
}

TEST(CoordSys, CatalogueCode32601ProjectsLikeItsParts) {
    ZrProjectedRow row;
    if (!ZrFindProjectedRow(32601, row)) GTEST_SKIP() << "projected catalogue without rows";
    CZrPJCoordSys cs;
    ASSERT_EQ(cs.Set(PJ_CS_WGS_1984_UTM_ZONE_1N), 1);
    EXPECT_EQ(cs.IsValid(), 1);
    EXPECT_STREQ(cs.GetName(), "WGS_1984_UTM_Zone_1N");
    CPoint2D pt(-177.0, 0.0);
    cs.Forward(&pt, 1);
    EXPECT_NEAR(pt.x, 500000.0, kMillimetre);
    EXPECT_NEAR(pt.y, 0.0, kMillimetre);
    // Same definition as the default and as the parts, but for the type.
    EXPECT_TRUE(cs == CZrPJCoordSys());
}

TEST(CoordSys, CodesWithoutRowChangeNothing) {
    CZrPJCoordSys cs = Utm1FromParts(3048);
    const CZrPJCoordSys before = cs;
    for (long code : {99999L, 2L, 0L, 1L, -1L, -1000L}) {
        EXPECT_EQ(cs.Set(static_cast<tagPJCoordSysType>(code)), 0) << code;
        EXPECT_EQ(cs.GetType(), -1);
        EXPECT_STREQ(cs.GetName(), "UTM 1N");
        EXPECT_TRUE(cs == before) << code;
    }
    // Accepted without a row: the system stays as it is and reports its build.
    EXPECT_EQ(cs.Set(static_cast<tagPJCoordSysType>(53025)), 1);
    EXPECT_TRUE(cs == before);
    EXPECT_STREQ(cs.GetName(), "UTM 1N");
}

// Projected metres become units of the code; the false origin is added as
// given, in the system's own unit.
TEST(CoordSys, UnitsScaleTheProjectionButNotTheFalseOrigin) {
    CZrPJParams params = Utm1Params();
    params.FalseNorthing = 1000.0;
    const CZrPJCoordSys metres = Utm1FromParts(kMetre, params);
    const CPoint2D geo(-175.5, 42.0);
    CPoint2D m = geo;
    metres.Forward(&m, 1);
    const double eastMetres = m.x - params.FalseEasting;
    const double northMetres = m.y - params.FalseNorthing;

    const long units[] = {kKilometre, 1000, 100, 10, 254, 3048, 9144, 16090000};
    for (long u : units) {
        const CZrPJCoordSys cs = Utm1FromParts(u, params);
        ASSERT_EQ(cs.IsValid(), 1) << u;
        const double metresPerUnit = u / 10000.0;
        CPoint2D p = geo;
        cs.Forward(&p, 1);
        EXPECT_NEAR(p.x, eastMetres / metresPerUnit + params.FalseEasting, kMillimetre / metresPerUnit) << u;
        EXPECT_NEAR(p.y, northMetres / metresPerUnit + params.FalseNorthing, kMillimetre / metresPerUnit)
            << u;
        cs.Inverse(&p, 1);
        EXPECT_NEAR(p.x, geo.x, kNanodegree) << u;
        EXPECT_NEAR(p.y, geo.y, kNanodegree) << u;
    }
}

TEST(CoordSys, ThreeDimensionalArraysKeepHeightsBitForBit) {
    const CZrPJCoordSys cs = Utm1FromParts();
    const double heights[] = {123.456, -0.0, std::numeric_limits<double>::quiet_NaN(), 1e300};
    CPoint3D pts[4];
    CPoint2D flat[4];
    for (int i = 0; i < 4; ++i) {
        pts[i] = CPoint3D(-178.0 + i, -30.0 + 20.0 * i, heights[i]);
        flat[i] = CPoint2D(pts[i].x, pts[i].y);
    }
    EXPECT_EQ(cs.Forward(pts, 4), 4);
    cs.Forward(flat, 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(std::memcmp(&pts[i].z, &heights[i], sizeof(double)), 0) << i;
        EXPECT_EQ(pts[i].x, flat[i].x);
        EXPECT_EQ(pts[i].y, flat[i].y);
    }
    EXPECT_EQ(cs.Inverse(pts, 4), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(std::memcmp(&pts[i].z, &heights[i], sizeof(double)), 0) << i;
        EXPECT_NEAR(pts[i].x, -178.0 + i, kNanodegree);
    }
}

TEST(CoordSys, ZeroScaleFactorBecomesUtmScale) {
    CZrPJParams params = Utm1Params();
    params.ScaleFactor = 0.0;
    const CZrPJCoordSys cs = Utm1FromParts(kMetre, params);
    EXPECT_EQ(cs.GetParams().ScaleFactor, 0.9996);
    EXPECT_TRUE(cs == Utm1FromParts());
}

// A unit code is a length and a divisor: 0 or less cannot build, and a
// system that was valid before must not go on claiming so.
TEST(CoordSys, NonPositiveUnitCodesFailAndReportInvalid) {
    for (long units : {0L, -1L, -10000L}) {
        CZrPJCoordSys cs = Utm1FromParts();
        ASSERT_EQ(cs.IsValid(), 1);
        EXPECT_EQ(cs.Set("bad", Gcs(4326), CZrPJObject(PJ_KIND_TRANSVERSE_MERCATOR), Utm1Params(), units), 0);
        EXPECT_EQ(cs.IsValid(), 0) << units;
        EXPECT_EQ(cs.GetDistUnits(), units); // the definition keeps what it was given
        const CZrPJOperator op = cs.GetPJOperator();
        EXPECT_TRUE(std::isfinite(op.GetUnitFactor()));
        EXPECT_EQ(op.IsCreated(), 0);
    }
    // Unprojected systems do not use the unit factor.
    CZrPJCoordSys earth;
    EXPECT_EQ(earth.SetEarth(Gcs(4326), 0), 1);
    EXPECT_EQ(earth.IsValid(), 1);
}

TEST(CoordSys, RefusedKindsLeaveTheSystemInvalid) {
    CZrPJCoordSys cs = Utm1FromParts();
    EXPECT_EQ(cs.Set("stereo", Gcs(4326), CZrPJObject(PJ_KIND_STEREOGRAPHIC), Utm1Params(), kMetre), 0);
    EXPECT_EQ(cs.IsValid(), 0);
    EXPECT_EQ(cs.GetProjection().GetType(), 43026); // the definition keeps the new values
}

TEST(CoordSys, PlanarAndEarthSystems) {
    CZrPJCoordSys planar;
    EXPECT_EQ(planar.SetPlanar(kMetre), 1);
    EXPECT_EQ(planar.GetType(), 0);
    EXPECT_EQ(planar.IsValid(), 0);
    EXPECT_EQ(planar.GetProjection().GetType(), -1);
    EXPECT_STREQ(planar.GetProjection().GetName(), "No Projection");
    EXPECT_EQ(std::string(planar.GetName()).rfind("平面坐标系---", 0), 0u) << planar.GetName();

    CZrPJCoordSys earth;
    EXPECT_EQ(earth.SetEarth(Gcs(4326), kMetre), 1);
    EXPECT_EQ(earth.GetType(), 1);
    EXPECT_EQ(earth.IsValid(), 1);
    EXPECT_EQ(earth.GetUnits(), 0);
    EXPECT_EQ(earth.GetDistUnits(), kMetre);
    EXPECT_STREQ(earth.GetName(), "经纬坐标系---GCS_WGS_1984");

    // Planar systems compare by unit, earth systems by geographic system.
    CZrPJCoordSys otherPlanar;
    otherPlanar.SetPlanar(3048);
    EXPECT_FALSE(planar == otherPlanar);
    otherPlanar.SetPlanar(kMetre);
    EXPECT_TRUE(planar == otherPlanar);
    CZrPJCoordSys otherEarth;
    otherEarth.SetEarth(Gcs(4326), kKilometre);
    EXPECT_TRUE(earth == otherEarth);
    otherEarth.SetEarth(Gcs(4214), kMetre);
    EXPECT_FALSE(earth == otherEarth);
    EXPECT_FALSE(earth == planar);
}

TEST(CoordSys, EqualityIgnoresNamesButNotDatumShift) {
    const CZrPJCoordSys a = Utm1FromParts();
    CZrPJCoordSys b;
    b.Set("another name", Gcs(4326), CZrPJObject(PJ_KIND_TRANSVERSE_MERCATOR), Utm1Params(), kMetre);
    EXPECT_TRUE(a == b);

    // Field 17 reaches a system only through a stored form; a copy keeps its
    // own datum-shift values, so set them on the target of CopyFrom.
    CZrPJCoordSys c;
    c.CopyFrom(a);
    EXPECT_TRUE(c == a);
    CZrPJParams p = Utm1Params();
    p.CentralMeridian = -176.0;
    b.Set("moved", Gcs(4326), CZrPJObject(PJ_KIND_TRANSVERSE_MERCATOR), p, kMetre);
    EXPECT_FALSE(a == b);
    b.Set("feet", Gcs(4326), CZrPJObject(PJ_KIND_TRANSVERSE_MERCATOR), Utm1Params(), 3048);
    EXPECT_FALSE(a == b);
    b.Set("other datum", Gcs(4267), CZrPJObject(PJ_KIND_TRANSVERSE_MERCATOR), Utm1Params(), kMetre);
    EXPECT_FALSE(a == b);
}

TEST(CoordSys, ParametersTakeOnlyTheProjectionFields) {
    CZrPJParams p = Utm1Params();
    p.TranslationX = 12.0;
    p.ScaleDifference = 3.0;
    const CZrPJCoordSys cs = Utm1FromParts(kMetre, p);
    EXPECT_EQ(cs.GetParams().TranslationX, 0.0);
    EXPECT_EQ(cs.GetParams().ScaleDifference, 0.0);
    EXPECT_EQ(cs.GetParams().FalseEasting, 500000.0);
}

TEST(CoordSys, CopiesRebuildAndGiveUsableOperators) {
    const CZrPJCoordSys source = Utm1FromParts(3048);
    const CZrPJCoordSys copy(source);
    EXPECT_EQ(copy.IsValid(), 1);
    EXPECT_TRUE(copy == source);
    CZrPJCoordSys assigned;
    assigned = source;
    EXPECT_TRUE(assigned == source);
    EXPECT_STREQ(assigned.GetName(), "UTM 1N");

    // The operator handed out is complete: it projects without a Create.
    const CZrPJOperator op = source.GetPJOperator();
    CPoint2D a(-176.0, 45.0), b = a;
    source.Forward(&a, 1);
    ASSERT_EQ(op.Forward(b), 1);
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
}

TEST(CoordSys, GeocentricConversionUsesTheDatumEllipsoid) {
    CZrPJCoordSys cs;
    cs.SetEarth(Gcs(4214), kMetre);
    CPoint3D viaSystem(2.0, 0.7, 100.0), viaSpheroid = viaSystem;
    EXPECT_EQ(cs.LPHToXYZ(&viaSystem, 1), 1);
    cs.GetGCS().GetDatum().GetSpheroid().LPHToXYZ(&viaSpheroid, 1);
    EXPECT_EQ(viaSystem.x, viaSpheroid.x);
    EXPECT_EQ(viaSystem.z, viaSpheroid.z);
    EXPECT_EQ(cs.XYZToLPH(&viaSystem, 1), 1);
    EXPECT_NEAR(viaSystem.y, 0.7, 1e-9);
}

// Oracle: GeographicLib's geodesic on a sphere (f = 0) is the great circle.
TEST(CoordSys, RadDistanceIsTheGreatCircleEverywhere) {
    const double radiusKm = 6371.0;
    const GeographicLib::Geodesic sphere(radiusKm * 1000.0, 0.0);
    struct Case {
        const char* what;
        CPoint2D p1, p2;
    };
    const Case cases[] = {
        {"general", {0.0, 0.0}, {10.0, 10.0}},
        {"northern", {0.0, 30.0}, {20.0, 50.0}},
        {"short", {0.0, 30.0}, {1.0, 30.5}},
        {"across the equator", {0.0, -20.0}, {30.0, 40.0}},
        {"same meridian", {116.0, 30.0}, {116.0, 40.0}},
        {"along the equator", {0.0, 0.0}, {10.0, 0.0}},
        {"same parallel", {0.0, 60.0}, {170.0, 60.0}},
        {"same point", {5.0, 5.0}, {5.0, 5.0}},
        {"beyond a quadrant", {-100.0, 10.0}, {60.0, -5.0}},
        {"nearly antipodal", {0.0, 0.0}, {179.9, 0.1}},
    };
    const CZrPJCoordSys cs;
    for (const Case& c : cases) {
        double metres = 0.0;
        sphere.Inverse(c.p1.y, c.p1.x, c.p2.y, c.p2.x, metres);
        EXPECT_NEAR(cs.GetRadDistance(c.p1, c.p2, radiusKm, kMetre), metres, kMillimetre) << c.what;
        EXPECT_NEAR(cs.GetRadDistance(c.p1, c.p2, radiusKm, kKilometre), metres / 1000.0,
                    kMillimetre / 1000.0)
            << c.what;
        EXPECT_NEAR(cs.GetRadDistance(c.p2, c.p1, radiusKm, 3048), metres / 0.3048, kMillimetre / 0.3048)
            << c.what;
    }
    EXPECT_EQ(cs.GetRadDistance(CPoint2D(0, 0), CPoint2D(1, 1), radiusKm, 0), 0.0);
}

} // namespace
