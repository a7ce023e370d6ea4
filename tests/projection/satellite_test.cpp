// The geostationary satellite view against PROJ's, for both scanner axes,
// over the disc the satellite sees, and the points it cannot see.
#include "WorldOracle_p.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace worldoracle;

namespace {
constexpr long kSweepY = 43072, kSweepX = 43073;
// Meteosat's and GOES's nominal height above the equator.
constexpr double kHeight = 35785831.0;

Definition View(long kind, double lon0, double a, double f) {
    Definition d{kind};
    d.a = a;
    d.f = f;
    d.lon0 = lon0;
    d.k0 = 1.0 + kHeight / a;
    return d;
}
} // namespace

TEST(SatelliteTest, AgreesWithProjOverTheVisibleDisc) {
    struct Case {
        long kind;
        double lon0, a, f;
        const char* proj;
    } const cases[] = {
        {kSweepY, 0.0, kWgs84A, kWgs84F, "+proj=geos +ellps=WGS84"},
        {kSweepY, 140.7, kWgs84A, kWgs84F, "+proj=geos +ellps=WGS84"},
        {kSweepX, -75.0, 6378137.0, 1 / 298.257222101, "+proj=geos +sweep=x +ellps=GRS80"},
        {kSweepX, -137.0, 6378137.0, 1 / 298.257222101, "+proj=geos +sweep=x +ellps=GRS80"},
        {kSweepY, 0.0, 6378137.0, 0.0, "+proj=geos +R=6378137"},
    };
    for (const Case& c : cases) {
        CZrPJOperator op = Build(View(c.kind, c.lon0, c.a, c.f));
        ASSERT_EQ(1, op.Create());
        const std::string name = "geos " + std::to_string(c.kind) + " " + Label(c.lon0);
        CompareWithOracle(name, op, std::string(c.proj) + " +h=" + Num(kHeight) + " +lon_0=" + Num(c.lon0),
                          Grid{c.lon0 - 80, c.lon0 + 80, 2, -80, 80, 2, 78, c.lon0, 0.0});
    }
}

// Behind the limb there is no image, and a scan angle that misses the globe
// has no point: both refused rather than answered from the far side.
TEST(SatelliteTest, RefusesWhatTheSatelliteCannotSee) {
    for (long kind : {kSweepY, kSweepX}) {
        CZrPJOperator op = Build(View(kind, 0.0, kWgs84A, kWgs84F));
        ASSERT_EQ(1, op.Create());
        CPoint2D far(120.0, 10.0), sky(6.0e6, 0.0), limb(0.0, 80.0);
        EXPECT_EQ(0, op.Forward(far)) << kind;
        EXPECT_EQ(0, op.Inverse(sky)) << kind;
        EXPECT_EQ(1, op.Forward(limb)) << kind;
    }
    // A satellite at or below the surface has no view.
    Definition low = View(kSweepY, 0.0, kWgs84A, kWgs84F);
    low.k0 = 1.0;
    CZrPJOperator op = Build(low);
    EXPECT_EQ(0, op.Create());
}

// PROJ's own regression values for the method (GRS 80, h = 35785831 m, the
// scanner sweeping about y), held to PROJ's tolerance of 0.1 mm both ways.
TEST(SatelliteTest, ProjRegressionValues) {
    struct Case {
        double lon, lat, x, y;
    } const cases[] = {
        {2, 1, 222527.070365800, 110551.303413329},
        {2, -1, 222527.070365800, -110551.303413329},
        {-2, 1, -222527.070365800, 110551.303413329},
        {-2, -1, -222527.070365800, -110551.303413329},
    };
    CZrPJOperator op = Build(View(kSweepY, 0.0, 6378137.0, 1 / 298.257222101));
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
