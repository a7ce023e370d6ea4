// Hotine oblique Mercator kinds against PROJ's omerc: 43044 measures u from
// the natural origin (PROJ's +no_uoff), 43043 from the centre.
#include "WorldOracle_p.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace worldoracle;

namespace {

constexpr long kFromCentre = 43043, kFromNaturalOrigin = 43044;

const struct HotineCase {
    const char* name;
    double a, rf, lonc, latc, alpha, gamma, k0;
} kHotineCases[] = {
    {"RSO Malaya", 6377304.063, 300.8017, 102.25, 4.0, 323.0257905, 323.1301023611111, 0.99984},
    {"Alaska zone 1", 6378206.4, 294.9786982138982, -133.6666666666667, 57.0, 323.1301023611111,
     323.1301023611111, 0.9999},
    {"southern centre", kWgs84A, 298.257223563, 147.0, -36.0, 30.0, 0.0, 1.0},
    {"across the antimeridian", kWgs84A, 298.257223563, 178.0, -40.0, 45.0, 45.0, 0.9996},
    {"azimuth past 90", 6378245.0, 298.3, 20.0, 48.0, 117.0, 100.0, 0.9999},
    {"high latitude", kWgs84A, 298.257223563, -40.0, 72.0, 10.0, 10.0, 1.0},
    // G tan(gamma0) = 1 exactly, which rounds past 1 on its way to asin.
    {"azimuth 90", kWgs84A, 298.257223563, 10.0, 45.0, 90.0, 90.0, 1.0},
    // D = 1, which rounds below 1 on its way to a square root.
    {"equatorial centre", kWgs84A, 298.257223563, 110.0, 0.0, 50.0, 50.0, 0.9999},
};

CZrPJOperator Hotine(long kind, const HotineCase& c) {
    Definition d{kind};
    d.a = c.a;
    d.f = 1.0 / c.rf;
    d.lon0 = c.lonc;
    d.lat0 = c.latc;
    d.alpha = c.alpha;
    d.phi1 = c.gamma; // the rotation of the rectified grid
    d.k0 = c.k0;
    CZrPJOperator op = Build(d);
    EXPECT_EQ(1, op.Create()) << c.name;
    return op;
}

std::string HotineProj(long kind, const HotineCase& c) {
    return std::string("+proj=omerc") + (kind == kFromNaturalOrigin ? " +no_uoff" : "") +
           " +lonc=" + Num(c.lonc) + " +lat_0=" + Num(c.latc) + " +alpha=" + Num(c.alpha) +
           " +gamma=" + Num(c.gamma) + " +k_0=" + Num(c.k0) + " +a=" + Num(c.a) + " +rf=" + Num(c.rf);
}

} // namespace

TEST(ObliqueMercatorTest, AgreesWithProjAroundTheCentralLine) {
    for (long kind : {kFromNaturalOrigin, kFromCentre})
        for (const HotineCase& c : kHotineCases)
            CompareWithOracle(std::string(c.name) + (kind == kFromCentre ? " (43043)" : " (43044)"),
                              Hotine(kind, c), HotineProj(kind, c),
                              Grid{c.lonc - 15, c.lonc + 15, 2.5, c.latc - 12, c.latc + 12, 2});
}

TEST(ObliqueMercatorTest, FarAlongTheCentralLineNothingFoldsBack) {
    // Past 90 degrees of aposphere longitude from the natural origin u keeps
    // growing (a two-argument arctangent); a one-argument one turned back
    // there and mapped distinct points onto each other.
    for (long kind : {kFromNaturalOrigin, kFromCentre}) {
        for (const HotineCase& c : {kHotineCases[2], kHotineCases[4]}) {
            const CZrPJOperator op = Hotine(kind, c);
            ProjOracle oracle(HotineProj(kind, c));
            const double p = c.latc * kDeg, az = c.alpha * kDeg, g = c.gamma * kDeg;
            double lastU = -HUGE_VAL, widest = 0.0;
            for (double dist = -100.0; dist <= 100.0; dist += 10.0) {
                // The point at that great-circle angle along the central line.
                const double d = dist * kDeg;
                const double p2 =
                    std::asin(std::sin(p) * std::cos(d) + std::cos(p) * std::sin(d) * std::cos(az));
                const double l2 = c.lonc * kDeg + std::atan2(std::sin(az) * std::sin(d) * std::cos(p),
                                                             std::cos(d) - std::sin(p) * std::sin(p2));
                const double lon = l2 / kDeg, lat = p2 / kDeg;
                CPoint2D xy(lon, lat);
                double px, py;
                ASSERT_EQ(1, op.Forward(xy)) << c.name << " " << dist;
                ASSERT_TRUE(oracle.Forward(lon, lat, px, py));
                EXPECT_NEAR(0.0, std::hypot(px - xy.x, py - xy.y), kForwardTolerance)
                    << c.name << " " << dist;
                EXPECT_LE(RoundTripError(op, lon, lat, xy), kRoundTripTolerance) << c.name << " " << dist;
                const double u = xy.y * std::cos(g) + xy.x * std::sin(g);
                EXPECT_GT(u, lastU) << c.name << " " << dist;
                lastU = u;
                widest = std::fabs(u) > widest ? std::fabs(u) : widest;
            }
            if (kind == kFromNaturalOrigin) {
                EXPECT_GT(widest, CZrPJMath::kHalfPi * c.a) << c.name;
            }
        }
    }
}

TEST(ObliqueMercatorTest, CentreOriginAndPoles) {
    for (const HotineCase& c : kHotineCases) {
        const CZrPJOperator centre = Hotine(kFromCentre, c), natural = Hotine(kFromNaturalOrigin, c);
        // 43043: the centre is the origin, both ways.
        CPoint2D p(c.lonc, c.latc), back(0.0, 0.0);
        ASSERT_EQ(1, centre.Forward(p));
        EXPECT_NEAR(0.0, std::hypot(p.x, p.y), kForwardTolerance) << c.name;
        ASSERT_EQ(1, centre.Inverse(back));
        EXPECT_NEAR(c.latc, back.y, kAngleTolerance) << c.name;
        EXPECT_LE(LonDifference(c.lonc, back.x), kAngleTolerance) << c.name;
        // 43044 puts the centre on the central line (v = 0) and differs from
        // 43043 by that shift alone.
        CPoint2D q(c.lonc, c.latc), r(c.lonc + 3.0, c.latc - 2.0), r2 = r;
        ASSERT_EQ(1, natural.Forward(q));
        ASSERT_EQ(1, natural.Forward(r));
        ASSERT_EQ(1, centre.Forward(r2));
        EXPECT_NEAR(0.0, std::hypot(q.x - (r.x - r2.x), q.y - (r.y - r2.y)), kForwardTolerance) << c.name;
        const double g = c.gamma * kDeg;
        EXPECT_NEAR(0.0, q.x * std::cos(g) - q.y * std::sin(g), kForwardTolerance) << c.name;
        // A pole, where the isometric latitude is infinite, is the limit point
        // for every longitude and comes back as the pole.
        for (long kind : {kFromNaturalOrigin, kFromCentre}) {
            ProjOracle oracle(HotineProj(kind, c));
            for (double lat : {90.0, -90.0})
                for (double lon : {c.lonc, c.lonc + 100.0}) {
                    CPoint2D pole(lon, lat);
                    double px, py;
                    ASSERT_EQ(1, (kind == kFromCentre ? centre : natural).Forward(pole))
                        << c.name << " " << lat;
                    ASSERT_TRUE(oracle.Forward(lon, lat, px, py));
                    EXPECT_NEAR(0.0, std::hypot(px - pole.x, py - pole.y), kForwardTolerance)
                        << c.name << lat;
                    ASSERT_EQ(1, (kind == kFromCentre ? centre : natural).Inverse(pole));
                    EXPECT_NEAR(lat, pole.y, kAngleTolerance) << c.name;
                }
        }
    }
}
