// Geodesics on a system's ellipsoid against GeographicLib called directly.
// GeographicLib's definitions, which ours must match:
//   Geodesic(a, f).Inverse(lat1, lon1, lat2, lon2, s12, azi1, azi2)
//   Geodesic(a, f).Direct(lat1, lon1, azi1, s12, lat2, lon2, azi2)
//   PolygonArea(Geodesic(a, f)); AddPoint(lat, lon) per vertex;
//   Compute(reverse = false, sign = true, perimeter, area)
// Ours take longitude first (x) and the ellipsoid from the system.
#include "geodesy/ZrGeodesic.h"
#include "model/ZrPJCoordSys.h"
#include "model/ZrPJGeodesic.h"
#include "model/ZrPJSpheroid.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/PolygonArea.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

// One solver behind both sides: only the rounding of the arguments may
// differ. The bar is the one the tool promises, a part in 1e9 of the value
// (1 nm on a 1 m line), with an absolute floor for values near zero.
constexpr double kRelative = 1e-9;
constexpr double kNanometre = 1e-9;
constexpr double kNanodegree = 1e-9;
// The projected inverse falls a few millimetres short of the forward in
// some kinds; Gauss-Krueger and UTM inside their zones stay below 0.1 mm.
constexpr double kTenthMillimetre = 1e-4;

void ExpectClose(double ours, double theirs, double floor, const char* what, int i) {
    EXPECT_NEAR(ours, theirs, std::max(floor, kRelative * std::fabs(theirs))) << what << " of case " << i;
}

CZrPJCoordSys Geographic(long gcsCode) {
    CZrPJGeoCoordSys gcs;
    EXPECT_TRUE(gcs.Set(static_cast<tagGeoCoordSysType>(gcsCode))) << gcsCode;
    CZrPJCoordSys cs;
    cs.SetEarth(gcs, 10000);
    return cs;
}

CZrPJCoordSys Projected(long code) {
    CZrPJCoordSys cs;
    EXPECT_TRUE(cs.Set(static_cast<tagPJCoordSysType>(code))) << code;
    return cs;
}

// Catalogue ellipsoids from the flattest to the most flattened in common use.
const long kGeographicSystems[] = {
    4326, // WGS 84
    4024, // Krasovsky 1940
    4012, // Clarke 1880 (RGS), f = 1/293.465
};

struct Oracle {
    explicit Oracle(const CZrPJCoordSys& cs)
        : geodesic(cs.GetGCS().GetDatum().GetSpheroid().GetAxis(),
                   cs.GetGCS().GetDatum().GetSpheroid().GetFlattening()) {}
    GeographicLib::Geodesic geodesic;
};

} // namespace

TEST(GeodesicOracleTest, InverseDirectAndAreaMatchGeographicLibOnCatalogueEllipsoids) {
    std::mt19937_64 random(20261208);
    std::uniform_real_distribution<double> lon(-180.0, 180.0), lat(-90.0, 90.0), azi(-180.0, 180.0),
        distance(0.0, 2.0e7), unit(0.0, 1.0);
    constexpr int kPairs = 10000;
    constexpr int kPolygons = 100;
    for (long code : kGeographicSystems) {
        SCOPED_TRACE(code);
        const CZrPJCoordSys cs = Geographic(code);
        CZrPJGeodesic ours;
        ASSERT_TRUE(ours.Set(cs));
        ASSERT_FALSE(ours.IsProjected());
        const Oracle oracle(cs);
        EXPECT_EQ(ours.GetGeodesic().GetAxis(), oracle.geodesic.EquatorialRadius());
        EXPECT_EQ(ours.GetGeodesic().GetFlattening(), oracle.geodesic.Flattening());
        for (int i = 0; i < kPairs; ++i) {
            // Near-antipodal and near-meridional pairs come up often enough
            // among 10,000 uniform ones; the poles and the equator are added.
            CPoint2D p1(lon(random), lat(random)), p2(lon(random), lat(random));
            if (i % 500 == 0) p1.y = 90.0;
            if (i % 500 == 1) p2.y = 0.0, p1.y = 0.0;
            double azi1 = 0, azi2 = 0, s12 = 0, tAzi1 = 0, tAzi2 = 0, tS12 = 0;
            ASSERT_TRUE(ours.Inverse(p1, p2, azi1, azi2, s12)) << i;
            oracle.geodesic.Inverse(p1.y, p1.x, p2.y, p2.x, tS12, tAzi1, tAzi2);
            ExpectClose(s12, tS12, kNanometre, "distance", i);
            ExpectClose(azi1, tAzi1, kNanodegree, "azi1", i);
            ExpectClose(azi2, tAzi2, kNanodegree, "azi2", i);

            const double a1 = azi(random), s = distance(random) * (i % 7 == 0 ? -1.0 : 1.0);
            CPoint2D end;
            double lat2 = 0, lon2 = 0, tAzi2d = 0;
            ASSERT_TRUE(ours.Direct(p1, a1, s, end, azi2)) << i;
            oracle.geodesic.Direct(p1.y, p1.x, a1, s, lat2, lon2, tAzi2d);
            ExpectClose(end.x, lon2, kNanodegree, "lon2", i);
            ExpectClose(end.y, lat2, kNanodegree, "lat2", i);
            ExpectClose(azi2, tAzi2d, kNanodegree, "azi2 of the direct problem", i);
        }
        // Polygons of 3 to 12 vertices about a random centre, of every size
        // from a parcel to a hemisphere, some clockwise, some round a pole.
        for (int i = 0; i < kPolygons; ++i) {
            const CPoint2D centre(lon(random), lat(random) * 0.9);
            const double radius = std::pow(10.0, -3.0 + 4.5 * unit(random)); // 0.001 to 30 degrees
            const int n = 3 + static_cast<int>(unit(random) * 10);
            const bool clockwise = i % 3 == 0;
            std::vector<CPoint2D> vertices;
            GeographicLib::PolygonArea polygon(oracle.geodesic);
            for (int k = 0; k < n; ++k) {
                const double turn = (clockwise ? -1.0 : 1.0) * 2.0 * M_PI * (k + 0.3 * unit(random)) / n;
                CPoint2D v(centre.x + radius * std::cos(turn), centre.y + radius * std::sin(turn));
                v.y = std::max(-90.0, std::min(90.0, v.y));
                vertices.push_back(v);
                polygon.AddPoint(v.y, v.x);
            }
            double perimeter = 0, area = 0, tPerimeter = 0, tArea = 0;
            ASSERT_TRUE(ours.Area(vertices.data(), n, perimeter, area)) << i;
            polygon.Compute(false, true, tPerimeter, tArea);
            ExpectClose(perimeter, tPerimeter, kNanometre, "perimeter", i);
            ExpectClose(area, tArea, kNanometre, "area", i);
            if (radius < 10.0) {
                EXPECT_EQ(area < 0, clockwise) << "sign of the area of polygon " << i;
            }
        }
    }
}

// A square of one degree on the equator, as Planimeter prints it on WGS 84
// ("4 443770.917248 12308778361.5"): counter-clockwise positive, the same
// polygon clockwise negative with the same magnitude.
TEST(GeodesicAreaTest, SignFollowsTheSenseOfTraversal) {
    CZrGeodesic wgs84;
    ASSERT_TRUE(wgs84.Set(6378137.0, 1.0 / 298.257223563));
    const CPoint2D ccw[] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    const CPoint2D cw[] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    double perimeter = 0, area = 0;
    ASSERT_TRUE(wgs84.Area(ccw, 4, perimeter, area));
    EXPECT_NEAR(perimeter, 443770.917248, 0.5e-6); // printed to the micrometre
    EXPECT_NEAR(area, 12308778361.5, 0.05);        // printed to 0.1 square metre
    ASSERT_TRUE(wgs84.Area(cw, 4, perimeter, area));
    EXPECT_NEAR(perimeter, 443770.917248, 0.5e-6);
    EXPECT_NEAR(area, -12308778361.5, 0.05);
    // A single vertex is a polygon of no extent.
    ASSERT_TRUE(wgs84.Area(ccw, 1, perimeter, area));
    EXPECT_EQ(perimeter, 0.0);
    EXPECT_EQ(area, 0.0);
}

// A projected system's points are its own x/y: the results are those of the
// unprojected points, and the direct problem's end point comes back
// projected. A copy (the operator's series copied too) gives the same.
TEST(GeodesicProjectedTest, ProjectedPointsMeasureAsTheirUnprojectedPositions) {
    struct Case {
        long code;
        CPoint2D lonlat1, lonlat2;
    };
    const Case cases[] = {
        {21420, {116.4074, 39.9042}, {117.2, 39.1}}, // Beijing 1954 Gauss-Krueger zone 20
        {32650, {116.4074, 39.9042}, {119.5, 31.2}}, // WGS 84 UTM zone 50N
        {32650, {114.5, -20.0}, {118.0, -2.0}},      // south of the equator, false northing 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const CZrPJCoordSys cs = Projected(c.code);
        CZrGeodesic geographic;
        CZrPJGeodesic projected;
        ASSERT_TRUE(geographic.Set(cs.GetGCS().GetDatum().GetSpheroid().GetAxis(),
                                   cs.GetGCS().GetDatum().GetSpheroid().GetFlattening()));
        ASSERT_TRUE(projected.Set(cs));
        ASSERT_TRUE(projected.IsProjected());
        CZrPJGeodesic copy;
        copy = projected;
        CPoint2D xy1 = c.lonlat1, xy2 = c.lonlat2;
        ASSERT_TRUE(projected.FromGeographic(xy1));
        ASSERT_TRUE(projected.FromGeographic(xy2));
        // The round trip the geographic side starts from.
        CPoint2D g1 = xy1, g2 = xy2;
        ASSERT_TRUE(projected.ToGeographic(g1));
        ASSERT_TRUE(projected.ToGeographic(g2));

        double azi1 = 0, azi2 = 0, s12 = 0, gAzi1 = 0, gAzi2 = 0, gS12 = 0;
        ASSERT_TRUE(geographic.Inverse(g1, g2, gAzi1, gAzi2, gS12));
        for (const CZrPJGeodesic* geod :
             {static_cast<const CZrPJGeodesic*>(&projected), static_cast<const CZrPJGeodesic*>(&copy)}) {
            ASSERT_TRUE(geod->Inverse(xy1, xy2, azi1, azi2, s12));
            EXPECT_NEAR(s12, gS12, kNanometre);
            EXPECT_NEAR(azi1, gAzi1, kNanodegree);
            EXPECT_NEAR(azi2, gAzi2, kNanodegree);
            CPoint2D end;
            double endAzi = 0;
            ASSERT_TRUE(geod->Direct(xy1, gAzi1, gS12, end, endAzi));
            EXPECT_NEAR(std::hypot(end.x - xy2.x, end.y - xy2.y), 0.0, kTenthMillimetre);
            EXPECT_NEAR(endAzi, gAzi2, kNanodegree);
        }
        // Area in projected coordinates: the triangle through the two points
        // and the first one moved north.
        const CPoint2D tri[] = {xy1, xy2, CPoint2D(xy1.x, xy1.y + 50000.0)};
        CPoint2D gTri[] = {tri[0], tri[1], tri[2]};
        for (CPoint2D& v : gTri)
            ASSERT_TRUE(projected.ToGeographic(v));
        double perimeter = 0, area = 0, gPerimeter = 0, gArea = 0;
        ASSERT_TRUE(projected.Area(tri, 3, perimeter, area));
        ASSERT_TRUE(geographic.Area(gTri, 3, gPerimeter, gArea));
        EXPECT_DOUBLE_EQ(perimeter, gPerimeter);
        EXPECT_DOUBLE_EQ(area, gArea);
    }
}

// What cannot be measured is refused with a reason, and the outputs keep
// their values.
TEST(GeodesicRefusalTest, UnusableSystemsAndPointsAreRefusedWithAReasonAndNothingWritten) {
    CZrPJGeodesic unset;
    CZrGeodesic bare;
    CString reason;
    double azi1 = 7, azi2 = 7, s12 = 7, perimeter = 7, area = 7;
    CPoint2D end(7, 7);
    EXPECT_FALSE(unset.IsValid());
    EXPECT_FALSE(unset.Inverse(CPoint2D(0, 0), CPoint2D(1, 1), azi1, azi2, s12, &reason));
    EXPECT_FALSE(reason.IsEmpty());

    CZrPJCoordSys planar;
    planar.SetPlanar(10000);
    reason = "";
    EXPECT_FALSE(unset.Set(planar, &reason));
    EXPECT_NE(reason.str().find("planar"), std::string::npos) << reason.str();
    EXPECT_FALSE(unset.IsValid());
    for (double f : {-0.1, 1.0, std::nan("")})
        EXPECT_FALSE(bare.Set(6378137.0, f)) << f;
    for (double a : {0.0, -1.0, HUGE_VAL, std::nan("")})
        EXPECT_FALSE(bare.Set(a, 0.0)) << a;
    EXPECT_FALSE(bare.IsValid());
    EXPECT_FALSE(bare.Area(nullptr, 0, perimeter, area));

    CZrPJGeodesic wgs84;
    ASSERT_TRUE(wgs84.Set(Geographic(4326)));
    const CPoint2D good(10, 10);
    const CPoint2D bad[] = {{0, 90.5}, {0, -91}, {NAN, 0}, {0, INFINITY}};
    for (const CPoint2D& p : bad) {
        reason = "";
        EXPECT_FALSE(wgs84.Inverse(good, p, azi1, azi2, s12, &reason)) << p.x << " " << p.y;
        EXPECT_FALSE(wgs84.Inverse(p, good, azi1, azi2, s12)) << p.x << " " << p.y;
        EXPECT_FALSE(wgs84.Direct(p, 0.0, 1000.0, end, azi2)) << p.x << " " << p.y;
        EXPECT_FALSE(reason.IsEmpty());
    }
    EXPECT_FALSE(wgs84.Direct(good, NAN, 1000.0, end, azi2));
    EXPECT_FALSE(wgs84.Direct(good, 0.0, INFINITY, end, azi2));
    const CPoint2D polygon[] = {{0, 0}, {1, 0}, {1, 95}};
    reason = "";
    EXPECT_FALSE(wgs84.Area(polygon, 3, perimeter, area, &reason));
    EXPECT_NE(reason.str().find("vertex 3"), std::string::npos) << reason.str();
    EXPECT_FALSE(wgs84.Area(polygon, 0, perimeter, area));
    EXPECT_FALSE(wgs84.Area(nullptr, 3, perimeter, area));
    EXPECT_EQ(azi1, 7.0);
    EXPECT_EQ(azi2, 7.0);
    EXPECT_EQ(s12, 7.0);
    EXPECT_EQ(perimeter, 7.0);
    EXPECT_EQ(area, 7.0);
    EXPECT_EQ(end.x, 7.0);

    // A northing three times round the meridian: Gauss-Krueger's inverse
    // folds it back onto the globe, far from the point given; the direct
    // problem ending on the far side of the transverse projection has no
    // image to print.
    CZrPJGeodesic gk;
    ASSERT_TRUE(gk.Set(Projected(21420)));
    reason = "";
    EXPECT_FALSE(
        gk.Inverse(CPoint2D(20500000, 4400000), CPoint2D(20500000, 30000000), azi1, azi2, s12, &reason));
    EXPECT_NE(reason.str().find("domain"), std::string::npos) << reason.str();
    EXPECT_FALSE(gk.Direct(CPoint2D(20500000, 4400000), 90.0, 9.0e6, end, azi2, &reason));
    EXPECT_EQ(s12, 7.0);
    EXPECT_EQ(end.x, 7.0);
}
