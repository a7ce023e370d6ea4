// The azimuthal equidistant on the ellipsoid against PROJ's, which follows
// the same geodesics: in every aspect, out to 170 degrees from the centre.
#include "WorldOracle_p.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace worldoracle;

namespace {
constexpr long kEquidistantEllipsoid = 43071;
} // namespace

TEST(GeodesicAzimuthalTest, AgreesWithProjInEveryAspect) {
    const double centres[][2] = {{10, 90}, {-60, -90}, {30, 0}, {116, 40}, {-65, -38}, {144.75, 13.47}};
    for (const auto& c : centres) {
        Definition d{kEquidistantEllipsoid};
        d.lon0 = c[0];
        d.lat0 = c[1];
        CZrPJOperator op = Build(d);
        ASSERT_EQ(1, op.Create());
        const std::string name = "aeqd ellipsoid " + Label(c[0]) + " " + Label(c[1]);
        const std::string proj = "+proj=aeqd +ellps=WGS84 +lon_0=" + Num(c[0]) + " +lat_0=" + Num(c[1]);
        CompareWithOracle(name, op, proj, Grid{-180, 180, 10, -90, 90, 5, 170, c[0], c[1]});
        // Within metres of the centre, where the azimuth is least determined.
        CompareWithOracle(name + " near", op, proj,
                          Grid{c[0] - 1e-4, c[0] + 1e-4, 2.5e-5, std::fmax(c[1] - 1e-4, -90),
                               std::fmin(c[1] + 1e-4, 90), 2.5e-5});
    }
}

// Distances from the centre are true: a point 1000 km due east along the
// geodesic lies 1000 km from the origin of the map, whatever the latitude.
TEST(GeodesicAzimuthalTest, DistanceFromTheCentreIsTrue) {
    Definition d{kEquidistantEllipsoid};
    d.lon0 = 0;
    d.lat0 = 60;
    CZrPJOperator op = Build(d);
    ASSERT_EQ(1, op.Create());
    CZrGeodesic g;
    ASSERT_EQ(1, g.Set(kWgs84A, kWgs84F));
    for (double azimuth : {0.0, 45.0, 90.0, 135.0, 180.0, -60.0}) {
        CPoint2D reached(0, 0);
        double azi2 = 0;
        ASSERT_EQ(1, g.Direct(CPoint2D(0, 60), azimuth, 1.0e6, reached, azi2));
        ASSERT_EQ(1, op.Forward(reached));
        // Karney's solution, a few nanometres.
        EXPECT_NEAR(1.0e6, std::hypot(reached.x, reached.y), 1e-6) << azimuth;
        EXPECT_NEAR(azimuth, std::atan2(reached.x, reached.y) / kDeg, 1e-9) << azimuth;
    }
}

// PROJ's own regression values for the ellipsoidal form (GRS 80, centre at
// the origin), held to PROJ's tolerance of 0.1 mm both ways.
TEST(GeodesicAzimuthalTest, ProjRegressionValues) {
    struct Case {
        double lon, lat, x, y;
    } const cases[] = {
        {2, 1, 222616.522190052, 110596.996549550},
        {2, -1, 222616.522190052, -110596.996549550},
        {-2, 1, -222616.522190052, 110596.996549550},
        {-2, -1, -222616.522190052, -110596.996549550},
    };
    Definition d{kEquidistantEllipsoid};
    d.a = 6378137.0;
    d.f = 1 / 298.257222101;
    CZrPJOperator op = Build(d);
    ASSERT_EQ(1, op.Create());
    for (const Case& c : cases) {
        CPoint2D p(c.lon, c.lat);
        ASSERT_EQ(1, op.Forward(p));
        EXPECT_NEAR(c.x, p.x, 1e-4);
        EXPECT_NEAR(c.y, p.y, 1e-4);
        CPoint2D q(c.x, c.y);
        ASSERT_EQ(1, op.Inverse(q));
        EXPECT_NEAR(c.lon, q.x, 1e-4 / kMetresPerDegree);
        EXPECT_NEAR(c.lat, q.y, 1e-4 / kMetresPerDegree);
    }
}

// The inverse solves the direct geodesic problem from the centre on its own
// series; the geodesic library (Karney's solution, to 15 nm) is the reference:
// every aspect, every quadrant of azimuth, from a metre to beyond 19,000 km.
// An ellipsoid flatter than the series serve goes to the library itself.
TEST(GeodesicAzimuthalTest, InverseReachesTheLibrarysEndPoint) {
    // Both solutions are good to nanometres; a wrong series term shows as
    // micrometres at least.
    constexpr double kAgreement = 1e-8; // metres on the ground
    struct Ellipsoid {
        double a, f;
    } const ellipsoids[] = {
        {kWgs84A, kWgs84F}, {6378249.145, 1 / 293.465}, {6371000.0, 0.0}, {6378137.0, 0.02}};
    const double centres[] = {90, 60, 0.5, 0, -38, -90};
    const double azimuths[] = {0, 30, 90, 135, 180, -150, -90, -10};
    const double distances[] = {1.0, 1e5, 3e6, 1e7, 1.9e7};
    for (const Ellipsoid& e : ellipsoids) {
        CZrGeodesic g;
        ASSERT_EQ(1, g.Set(e.a, e.f));
        for (double lat0 : centres) {
            Definition d{kEquidistantEllipsoid};
            d.a = e.a;
            d.f = e.f;
            d.lat0 = lat0;
            CZrPJOperator op = Build(d);
            ASSERT_EQ(1, op.Create());
            for (double azimuth : azimuths)
                for (double s : distances) {
                    CPoint2D reached(0, 0);
                    double azi2 = 0;
                    ASSERT_EQ(1, g.Direct(CPoint2D(0, lat0), azimuth, s, reached, azi2));
                    CPoint2D p(s * std::sin(azimuth * kDeg), s * std::cos(azimuth * kDeg));
                    ASSERT_EQ(1, op.Inverse(p));
                    const double dlon = std::remainder(p.x - reached.x, 360.0);
                    const double ground =
                        std::hypot(dlon * std::cos(reached.y * kDeg), p.y - reached.y) * kMetresPerDegree;
                    EXPECT_LT(ground, kAgreement)
                        << "f " << e.f << " centre " << lat0 << " azimuth " << azimuth << " distance " << s;
                }
        }
    }
}
