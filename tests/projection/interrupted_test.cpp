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
