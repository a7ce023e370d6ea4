// The kinds of a plane near one point: the Colombian city grids and the
// orthographic view of the ellipsoid, against PROJ and the published example.
#include "WorldOracle_p.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace worldoracle;

namespace {

constexpr long kColombiaUrban = 43069, kOrthographicEllipsoid = 43070;
constexpr double kGrs80F = 1.0 / 298.257222101;

// Bogota's city grid: origin 4 40 49.75 N, 74 08 47.73 W, plane 2550 m up.
constexpr double kBogotaLat0 = 4.68048611111111, kBogotaLon0 = -74.1465916666667, kBogotaH0 = 2550.0;
constexpr double kBogotaFE = 92334.879, kBogotaFN = 109320.965;

CZrPJOperator Colombia(double lon0, double lat0, double h0, double fe, double fn) {
    CZrPJOperator op;
    op.SetKind(kColombiaUrban);
    op.SetSemiMajorAxis(kWgs84A);
    op.SetFlattening(kGrs80F);
    op.SetCentralMeridian(lon0 * kDeg);
    op.SetCentralParallel(lat0 * kDeg);
    op.SetScaleFactor(1.0 + h0 / kWgs84A);
    op.SetFalseEasting(fe);
    op.SetFalseNorthing(fn);
    return op;
}

std::string ColombiaProj(double lon0, double lat0, double h0, double fe, double fn) {
    return "+proj=col_urban +ellps=GRS80 +lat_0=" + Num(lat0) + " +lon_0=" + Num(lon0) + " +h_0=" + Num(h0) +
           " +x_0=" + Num(fe) + " +y_0=" + Num(fn);
}

} // namespace

// EPSG's worked example for the method (Bogota, MAGNA-SIRGAS), published to
// the millimetre: both directions within half of it.
TEST(LocalPlaneTest, ColombiaUrbanPublishedExample) {
    struct Case {
        double lon, lat, e, n, tolerance; // degrees; metres
    } const cases[] = {
        {-74.25, 4.8, 80859.033, 122543.174, 5e-4},
    };
    CZrPJOperator op = Colombia(kBogotaLon0, kBogotaLat0, kBogotaH0, kBogotaFE, kBogotaFN);
    ASSERT_EQ(1, op.Create());
    for (const Case& c : cases) {
        CPoint2D p(c.lon, c.lat);
        ASSERT_EQ(1, op.Forward(p));
        EXPECT_NEAR(c.e, p.x, c.tolerance);
        EXPECT_NEAR(c.n, p.y, c.tolerance);
        CPoint2D q(c.e, c.n);
        ASSERT_EQ(1, op.Inverse(q));
        // The method's inverse is a one-step approximation: 1 mm over 15 km here.
        EXPECT_NEAR(c.lon, q.x, 1e-3 / kMetresPerDegree);
        EXPECT_NEAR(c.lat, q.y, 1e-3 / kMetresPerDegree);
    }
}

// Forward and inverse against PROJ over 0.5 degrees about the origin (the
// grids cover a city): each direction compared with PROJ's own, since the
// method's inverse is not the exact reverse of its forward.
TEST(LocalPlaneTest, ColombiaUrbanAgreesWithProjBothWays) {
    struct Case {
        const char* name;
        double lon0, lat0, h0, fe, fn;
    } const cases[] = {
        {"Bogota", kBogotaLon0, kBogotaLat0, kBogotaH0, kBogotaFE, kBogotaFN},
        {"sea level on the equator", -75.0, 0.0, 0.0, 0.0, 0.0},
        {"southern, high plane", -70.0, -12.5, 4000.0, 50000.0, 70000.0},
    };
    for (const Case& c : cases) {
        CZrPJOperator op = Colombia(c.lon0, c.lat0, c.h0, c.fe, c.fn);
        ASSERT_EQ(1, op.Create()) << c.name;
        ProjOracle oracle(ColombiaProj(c.lon0, c.lat0, c.h0, c.fe, c.fn));
        ASSERT_TRUE(oracle.ok());
        double worstForward = 0.0, worstInverse = 0.0;
        for (double dlat = -0.25; dlat <= 0.25; dlat += 0.05)
            for (double dlon = -0.25; dlon <= 0.25; dlon += 0.05) {
                const double lon = c.lon0 + dlon, lat = c.lat0 + dlat;
                CPoint2D p(lon, lat);
                double px = 0.0, py = 0.0;
                ASSERT_TRUE(oracle.Forward(lon, lat, px, py));
                ASSERT_EQ(1, op.Forward(p));
                worstForward = std::fmax(worstForward, std::hypot(p.x - px, p.y - py));
                double plon = 0.0, plat = 0.0;
                ASSERT_TRUE(oracle.Inverse(px, py, plon, plat));
                CPoint2D q(px, py);
                ASSERT_EQ(1, op.Inverse(q));
                worstInverse =
                    std::fmax(worstInverse,
                              std::fmax(std::fabs(q.y - plat), std::fabs(q.x - plon) * std::cos(lat * kDeg)));
            }
        EXPECT_LE(worstForward, kForwardTolerance) << c.name;
        EXPECT_LE(worstInverse, kAngleTolerance) << c.name;
        std::printf("[ figures  ] Colombia urban %-24s forward %9.3g mm   inverse %9.3g deg\n", c.name,
                    worstForward * 1e3, worstInverse);
    }
}

// The ellipsoidal orthographic against PROJ's, in every aspect, out to 85
// degrees from the centre, and back: the inverse is exact (a quadratic along
// the view), so the round trip holds PROJ's tenth of a millimetre.
TEST(LocalPlaneTest, OrthographicOnTheEllipsoidAgreesWithProj) {
    const double centres[][2] = {{10, 90}, {-60, -90}, {30, 0}, {116, 40}, {-65, -38}, {5, 52.1}};
    for (const auto& c : centres) {
        Definition d{kOrthographicEllipsoid};
        d.lon0 = c[0];
        d.lat0 = c[1];
        CZrPJOperator op = Build(d);
        ASSERT_EQ(1, op.Create());
        const std::string name = "ortho ellipsoid " + Label(c[0]) + " " + Label(c[1]);
        CompareWithOracle(name, op, "+proj=ortho +ellps=WGS84 +lon_0=" + Num(c[0]) + " +lat_0=" + Num(c[1]),
                          Grid{-180, 180, 5, -90, 90, 5, 85, c[0], c[1]});
        CompareWithOracle(name + " near", op,
                          "+proj=ortho +ellps=WGS84 +lon_0=" + Num(c[0]) + " +lat_0=" + Num(c[1]),
                          Grid{c[0] - 1e-4, c[0] + 1e-4, 2.5e-5, std::fmax(c[1] - 1e-4, -90),
                               std::fmin(c[1] + 1e-4, 90), 2.5e-5});
    }
}

// The far side has no image, and a plane point outside the ellipsoid's
// outline has no point: both refused, not folded onto the near side.
TEST(LocalPlaneTest, OrthographicOnTheEllipsoidRefusesTheFarSide) {
    Definition d{kOrthographicEllipsoid};
    d.lon0 = 10;
    d.lat0 = 45;
    CZrPJOperator op = Build(d);
    ASSERT_EQ(1, op.Create());
    CPoint2D antipode(-170, -45), beyond(7.0e6, 0.0), rim(0.0, 6.0e6);
    EXPECT_EQ(0, op.Forward(antipode));
    EXPECT_EQ(0, op.Inverse(beyond));
    ASSERT_EQ(1, op.Inverse(rim));
    CPoint2D back(rim);
    ASSERT_EQ(1, op.Forward(back));
    EXPECT_NEAR(0.0, back.x, 1e-6);
    EXPECT_NEAR(6.0e6, back.y, 1e-6);
}
