// Goode's interrupted homolosine against PROJ's over the whole globe, on
// both sides of every interruption and of the joining parallels, and the
// gaps between the lobes, which have no point.
#include "WorldOracle_p.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace worldoracle;

namespace {
constexpr long kGoode = 43074;
// The joining parallel, 40 44' 11.8".
constexpr double kJoin = 40.0 + 44.0 / 60.0 + 11.8 / 3600.0;
} // namespace

TEST(InterruptedTest, AgreesWithProjOverTheGlobe) {
    for (double lon0 : {0.0, 10.0, -160.0}) {
        Definition d{kGoode};
        d.lon0 = lon0;
        CZrPJOperator op = Build(d);
        ASSERT_EQ(1, op.Create());
        const std::string proj = "+proj=igh +ellps=WGS84 +lon_0=" + Num(lon0);
        // Whole degrees plus a half, so that no point sits on an
        // interruption, where either lobe is right.
        CompareWithOracle("igh " + Label(lon0), op, proj, Grid{-179.5, 179.5, 5, -89.5, 89.5, 2});
        // Just either side of the joining parallels and of the interruptions.
        for (double lat : {kJoin - 1e-7, kJoin + 1e-7, -kJoin - 1e-7, -kJoin + 1e-7, 1e-7, -1e-7})
            CompareWithOracle("igh near " + Label(lat), op, proj,
                              Grid{lon0 - 179.25, lon0 + 179.25, 0.5, lat, lat, 1});
        for (double edge : {-100.0, -40.0, -20.0, 80.0})
            for (double side : {-1e-7, 1e-7})
                CompareWithOracle("igh edge " + Label(edge), op, proj,
                                  Grid{lon0 + edge + side, lon0 + edge + side, 1, -85, 85, 5});
    }
}

// Points in the gaps between the lobes and beyond the poles have no
// longitude and latitude; each such point, taken by the lobe its x falls in,
// gives a longitude outside that lobe.
TEST(InterruptedTest, TheGapsHaveNoPoint) {
    Definition d{kGoode};
    CZrPJOperator op = Build(d);
    ASSERT_EQ(1, op.Create());
    const double a = kWgs84A;
    struct Case {
        const char* what;
        double x, y; // units of a
    } const cases[] = {
        {"beyond the north pole", 0.0, 1.5},
        {"beyond the south pole", 0.0, -1.5},
        {"north of 60, between the Americas and Eurasia", -0.6, 1.16},
        {"south of 60, between South America's lobe and Africa's", -0.35, -1.16},
    };
    for (const Case& c : cases) {
        CPoint2D pt(c.x * a, c.y * a);
        EXPECT_EQ(0, op.Inverse(pt)) << c.what << ": " << pt.x << ", " << pt.y;
    }
}

// Beyond the joining parallels each lobe is Mollweide's map about the lobe's
// meridian, moved along y by the join's offset; the lobes solve Mollweide's
// angle on their own (a start fitted to their range of latitudes), which must
// not drift from the Mollweide kind's: from the join to a degree from the
// pole, both hemispheres, across each lobe.
TEST(InterruptedTest, OuterLobesAreMollweidesMap) {
    constexpr double kSameMap = 1e-8; // metres: both solve the angle to rounding (x reaches 2e7 m)
    Definition goode{kGoode};
    CZrPJOperator op = Build(goode);
    ASSERT_EQ(1, op.Create());
    const double shift = op.GetC1();
    struct Lobe {
        double centre, west, east; // degrees
        int side;                  // +1 north, -1 south
    } const lobes[] = {{-100, -180, -40, 1}, {30, -40, 180, 1}, {-160, -180, -100, -1},
                       {-60, -100, -20, -1}, {20, -20, 80, -1}, {140, 80, 180, -1}};
    const double lats[] = {kJoin + 1e-7, 41, 45.5, 60, 75, 89};
    for (const Lobe& lobe : lobes) {
        Definition d{43009};
        d.lon0 = lobe.centre;
        CZrPJOperator mollweide = Build(d);
        ASSERT_EQ(1, mollweide.Create());
        for (double lat : lats)
            for (double u : {0.01, 0.3, 0.5, 0.99}) {
                const double lon = lobe.west + u * (lobe.east - lobe.west);
                CPoint2D g(lon, lobe.side * lat), m(lon, lobe.side * lat);
                ASSERT_EQ(1, op.Forward(g));
                ASSERT_EQ(1, mollweide.Forward(m));
                EXPECT_NEAR(g.x, m.x + lobe.centre * kDeg * kWgs84A, kSameMap)
                    << lon << " " << lobe.side * lat;
                EXPECT_NEAR(g.y, m.y + lobe.side * shift, kSameMap) << lon << " " << lobe.side * lat;
            }
    }
}

// Within metres of a pole Mollweide's angle d = pi - 2|theta| solves d - sin d
// = r for r below 1e-12, where d - sin d formed as a difference keeps few
// digits (the general Mollweide kind is 0.08 mm out a centimetre from the
// pole); there d is c (1 + c^2/60 + c^4/1400) with c = (6r)^(1/3) to 1e-20,
// and the lobes must give the map that series gives.
TEST(InterruptedTest, OuterLobesKeepTheirDigitsAtThePoles) {
    constexpr double kNearPole = 1e-8; // metres
    CZrPJOperator op = Build(Definition{kGoode});
    ASSERT_EQ(1, op.Create());
    const double a = kWgs84A, kX = 2.0 * std::sqrt(2.0) / CZrPJMath::kPi, kY = std::sqrt(2.0);
    for (double lat : {89.99999, 89.9999999, 90.0, -89.9999999})
        for (double lon : {-178.6, -60.0, 10.0, 179.0}) {
            const double centre = lat > 0 ? (lon <= -40 ? -100 : 30)
                                          : (lon <= -100  ? -160
                                             : lon <= -20 ? -60
                                             : lon <= 80  ? 20
                                                          : 140);
            const double h = std::sin(CZrPJMath::kPi / 4 - std::fabs(lat) * kDeg / 2);
            const double c = std::cbrt(6.0 * CZrPJMath::kPi * 2.0 * h * h);
            const double dd = c * (1.0 + c * c / 60.0 + c * c * c * c / 1400.0);
            CPoint2D p(lon, lat);
            ASSERT_EQ(1, op.Forward(p));
            EXPECT_NEAR(p.x, a * kX * (lon - centre) * kDeg * std::sin(dd / 2) + a * centre * kDeg, kNearPole)
                << lon << " " << lat;
            EXPECT_NEAR(p.y, (lat > 0 ? 1 : -1) * (a * kY * std::cos(dd / 2) + op.GetC1()), kNearPole)
                << lon << " " << lat;
        }
}
