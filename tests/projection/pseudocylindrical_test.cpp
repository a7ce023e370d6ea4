// World kinds against PROJ where they are the published projections, against
// their own figures where this library computes its own form (Robinson's
// cubics, Winkel II), and the points where they must fail.
#include "WorldOracle_p.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

using namespace worldoracle;

namespace {

constexpr long kSinusoidal = 43008, kMollweide = 43009, kEckertVI = 43010, kEckertV = 43011,
               kEckertIV = 43012, kEckertIII = 43013, kEckertII = 43014, kEckertI = 43015, kWinkelI = 43018,
               kWinkelII = 43019, kQuarticAuthalic = 43022, kLoximuthal = 43023, kVanDerGrinten = 43029,
               kRobinson = 43030, kSanson = 43040;

Definition World(long kind, double lon0, double phi1 = 0.0) {
    Definition d{kind};
    d.lon0 = lon0;
    d.phi1 = phi1;
    return d;
}

const struct WorldCase {
    Definition def;
    const char* proj; // + lon_0 and the sphere of radius a (the ellipsoid for the sinusoidal)
    bool pointedPoles;
} kWorldCases[] = {
    {World(kSinusoidal, 105), "+proj=sinu", true},
    {World(kSanson, -30), "+proj=sinu", true},
    {World(kMollweide, 10), "+proj=moll", true},
    {World(kEckertI, 0), "+proj=eck1", false},
    {World(kEckertII, 150), "+proj=eck2", false},
    {World(kEckertIII, -90), "+proj=eck3", false},
    {World(kEckertIV, 0), "+proj=eck4", false},
    {World(kEckertV, 20), "+proj=eck5", false},
    {World(kEckertVI, 20), "+proj=eck6", false},
    {World(kWinkelI, 0, 50.45977), "+proj=wink1 +lat_ts=50.45977", false},
    {World(kVanDerGrinten, -75), "+proj=vandg", true},
    {World(kLoximuthal, 0, 40), "+proj=loxim +lat_1=40", true},
    {World(kLoximuthal, 60, -25), "+proj=loxim +lat_1=-25", true},
    {World(kQuarticAuthalic, 0), "+proj=qua_aut", true},
};

std::string ProjFor(const WorldCase& c) {
    const std::string s = std::string(c.proj) + " +lon_0=" + Num(c.def.lon0);
    if (c.def.kind == kSinusoidal) return s + " +a=" + Num(c.def.a) + " +rf=" + Num(1.0 / c.def.f);
    return s + " +R=" + Num(c.def.a);
}

} // namespace

TEST(PseudoCylindricalTest, AgreesWithProjAndInvertsOverTheWorld) {
    for (const WorldCase& c : kWorldCases) {
        CZrPJOperator op = Build(c.def);
        ASSERT_EQ(1, op.Create());
        const double l0 = c.def.lon0;
        CompareWithOracle(c.proj, op, ProjFor(c), Grid{l0 - 175, l0 + 175, 5, -85, 85, 5});
    }
}

TEST(PseudoCylindricalTest, PolesProjectAndComeBackAsTheSamePole) {
    // PROJ's Mollweide stops its iteration short of the pole and puts it up
    // to 0.1 km off the central meridian and 0.18 mm short of the pole's
    // northing; a pointed pole is checked at x = 0. Coming back, a pole stays
    // itself (a latitude rounded past 90 degrees would be read as coming over
    // the pole); on a pole line the longitude comes back too.
    constexpr double kProjMollweidePoleShort = 2e-4; // metres
    for (const WorldCase& c : kWorldCases) {
        const double northingBar = c.def.kind == kMollweide ? kProjMollweidePoleShort : kForwardTolerance;
        CZrPJOperator op = Build(c.def);
        ASSERT_EQ(1, op.Create());
        ProjOracle oracle(ProjFor(c));
        for (double lat : {-90.0, 90.0})
            for (double dl : {-179.0, -45.0, 0.0, 30.0, 179.0}) {
                CPoint2D p(c.def.lon0 + dl, lat);
                double px, py;
                ASSERT_TRUE(oracle.Forward(p.x, p.y, px, py)) << c.proj;
                ASSERT_EQ(1, op.Forward(p)) << c.proj;
                EXPECT_NEAR(c.pointedPoles ? 0.0 : px, p.x, kForwardTolerance)
                    << c.proj << " " << dl << " " << lat;
                EXPECT_NEAR(py, p.y, northingBar) << c.proj << " " << dl << " " << lat;
                ASSERT_EQ(1, op.Inverse(p)) << c.proj;
                EXPECT_NEAR(lat, p.y, kAngleTolerance) << c.proj << " " << dl;
                if (!c.pointedPoles) {
                    EXPECT_LE(LonDifference(c.def.lon0 + dl, p.x), kAngleTolerance) << c.proj << " " << dl;
                }
            }
    }
}

namespace {
// Robinson's cubics do not quite meet at the 5-degree knots (the published
// table has four digits): up to 1.8 m in y. A point projected just below a
// knot with one band's cubic may be read back in the next band, up to 1.6 m
// away on the ground.
constexpr double kRobinsonKnotRoundTrip = 2.0; // metres
} // namespace

TEST(PseudoCylindricalTest, RobinsonFollowsItsCubics) {
    // PROJ interpolates the same table with other splines, so the figures
    // are checked against the cubics: mid-band and at the pole, the end of
    // the last band.
    CZrPJOperator op = Build(World(kRobinson, 0));
    ASSERT_EQ(1, op.Create());
    const struct {
        double lat, d, x[4], y[4];
    } rows[] = {
        {2.5, 2.5, {1.0, -5.67239e-12, -7.15511e-05, 3.11028e-06}, {0.0, 0.0124, 5.1367e-23, -8.45284e-11}},
        {37.5,
         2.5,
         {0.9427, -0.00382792, -6.53428e-05, -2.61493e-06},
         {0.434, 0.0123893, -3.69093e-06, -4.35621e-07}},
        {-62.5,
         2.5,
         {0.7986, -0.00755337, -5.00038e-05, 9.35532e-07},
         {0.7346, 0.0113541, -3.97684e-05, -6.09052e-07}},
        {90.0,
         5.0,
         {0.5722, -0.00906601, 0.000181999, 6.24033e-06},
         {0.9761, 0.00616527, -0.000256, -4.2106e-06}},
    };
    for (const auto& r : rows) {
        auto V = [&r](const double c[4]) { return c[0] + r.d * (c[1] + r.d * (c[2] + r.d * c[3])); };
        CPoint2D p(-100.0, r.lat);
        ASSERT_EQ(1, op.Forward(p));
        EXPECT_NEAR(kWgs84A * -100.0 * kDeg * V(r.x) * 0.8487, p.x, kForwardTolerance) << r.lat;
        EXPECT_NEAR((r.lat < 0 ? -1 : 1) * kWgs84A * V(r.y) * 1.3523, p.y, kForwardTolerance) << r.lat;
    }
    // The top of the map is the pole line, 0.5322 of the equator long.
    CPoint2D top(kWgs84A * 0.8487 * 0.5322, kWgs84A * 1.3523);
    ASSERT_EQ(1, op.Inverse(top));
    EXPECT_DOUBLE_EQ(90.0, top.y);
    EXPECT_NEAR(1.0 / kDeg, top.x, 1e-9);
    // An inverse longitude within 0.001 rad of the edge is the edge.
    CPoint2D edge(-kWgs84A * 0.8487 * (CZrPJMath::kPi - 0.0005), 0.0);
    ASSERT_EQ(1, op.Inverse(edge));
    EXPECT_EQ(-180.0, edge.x);

    RoundTrip("Robinson, every degree", op, Grid{-175, 175, 5, -89, 89, 1}, kRobinsonKnotRoundTrip);
    RoundTrip("Robinson, off the knots", op, Grid{-175, 175, 5, -88.5, 88.5, 2.5}, kRoundTripTolerance);
}

// PROJ's robin interpolates the same published table with its own cubics:
// the two agree at the knots and differ between them by what the rounded
// coefficients leave, at most 1.64 m (70-75 degrees on the edge meridian,
// 6e-8 of the equator's length). A misprinted knot shows as kilometres.
TEST(PseudoCylindricalTest, RobinsonMatchesProjRobinOverTheGlobe) {
    constexpr double kBetweenKnotInterpolation = 1.7; // metres
    ProjOracle proj("+proj=robin +lon_0=10 +R=" + Num(kWgs84A));
    CZrPJOperator op = Build(World(kRobinson, 10));
    ASSERT_EQ(1, op.Create());
    double worst = 0.0;
    ForEachPoint(Grid{-170, 190, 22.5, -90, 90, 0.125}, [&](double lon, double lat) {
        CPoint2D xy(lon, lat);
        double px = 0.0, py = 0.0;
        ASSERT_TRUE(proj.Forward(lon, lat, px, py));
        ASSERT_EQ(1, op.Forward(xy));
        worst = std::max(worst, std::hypot(xy.x - px, xy.y - py));
        EXPECT_LE(std::hypot(xy.x - px, xy.y - py), kBetweenKnotInterpolation) << lon << " " << lat;
    });
    std::printf("[ figures  ] %-36s forward %9.3g m\n", "Robinson vs +proj=robin", worst);
}

TEST(PseudoCylindricalTest, WinkelIIFollowsItsOwnFigures) {
    // This library's Winkel II: x as Winkel I, y = a (pi/4 sin phi + phi1/2).
    const double phi1 = 40.0;
    CZrPJOperator op = Build(World(kWinkelII, 10, phi1));
    ASSERT_EQ(1, op.Create());
    for (const CPoint2D& q : {CPoint2D(10, 0), CPoint2D(70, 30), CPoint2D(-50, -60), CPoint2D(179, 89)}) {
        CPoint2D p = q;
        ASSERT_EQ(1, op.Forward(p));
        const double lat = q.y * kDeg, dl = (q.x - 10) * kDeg;
        EXPECT_NEAR(kWgs84A * dl * (std::cos(phi1 * kDeg) + std::cos(lat)) / 2, p.x, kForwardTolerance);
        EXPECT_NEAR(kWgs84A * (CZrPJMath::kQuarterPi * std::sin(lat) + phi1 * kDeg / 2), p.y,
                    kForwardTolerance);
    }
    RoundTrip("Winkel II", op, Grid{-165, 185, 5, -85, 85, 5}, kRoundTripTolerance);
}

TEST(PseudoCylindricalTest, SansonInvertsOnTheEquatorAndStopsAtThePoles) {
    CZrPJOperator op = Build(World(kSanson, -30));
    ASSERT_EQ(1, op.Create());
    CPoint2D eq(2.0e6, 0.0);
    ASSERT_EQ(1, op.Inverse(eq));
    EXPECT_NEAR(-30.0 + 2.0e6 / kWgs84A / kDeg, eq.x, 1e-12);
    EXPECT_EQ(0.0, eq.y);
    for (double sign : {1.0, -1.0}) { // a pole is one point: the central meridian's
        CPoint2D pole(0.0, sign * kWgs84A * CZrPJMath::kHalfPi);
        ASSERT_EQ(1, op.Inverse(pole));
        EXPECT_EQ(sign * 90.0, pole.y);
        EXPECT_NEAR(-30.0, pole.x, 1e-12);
    }
    const CPoint2D beyond(1.0, kWgs84A * 1.6);
    CPoint2D p = beyond;
    EXPECT_EQ(0, op.Inverse(p));
    EXPECT_TRUE(BitIdentical(p, beyond));
}

TEST(PseudoCylindricalTest, VanDerGrintenFailsOutsideItsDisc) {
    CZrPJOperator op = Build(World(kVanDerGrinten, 0));
    ASSERT_EQ(1, op.Create());
    const double rim = CZrPJMath::kPi * kWgs84A;
    for (const CPoint2D& q : {CPoint2D(0.2 * rim, 1.05 * rim), CPoint2D(0.75 * rim, 0.75 * rim),
                              CPoint2D(-0.1 * rim, -1.2 * rim), CPoint2D(1.1 * rim, 0.0)}) {
        CPoint2D p = q;
        EXPECT_EQ(0, op.Inverse(p)) << q.x << ", " << q.y;
        EXPECT_TRUE(BitIdentical(p, q));
    }
}

TEST(PseudoCylindricalTest, LoximuthalKeepsItsDigitsNearTheCentralParallel) {
    // The difference of two isometric latitudes cancels near the central
    // parallel (PROJ loses up to 6 mm there); within 1e-7 rad the quotient
    // dphi / dpsi is replaced by its limit. Reference x from 50-digit
    // arithmetic on the same doubles.
    const double phi1 = 40.0;
    CZrPJOperator op = Build(World(kLoximuthal, 0, phi1));
    ASSERT_EQ(1, op.Create());
    const struct {
        double dphi, lon, x;
    } refs[] = {
        {-2e-07, -179.0, -15264347.523441434}, {-2e-07, 120.0, 10233082.138619954},
        {-9e-08, -179.0, -15264346.818984642}, {-9e-08, -60.0, -5116540.8331792088},
        {-3e-08, -179.0, -15264346.434735448}, {0.0, -179.0, -15264346.242610842},
        {5e-08, -60.0, -5116540.5326490999},   {9.9e-08, -179.0, -15264345.608599597},
        {1.5e-07, 120.0, 10233080.635969418},  {1e-05, -179.0, -15264282.200730361},
    };
    for (const auto& r : refs) {
        const double lat = phi1 + r.dphi / kDeg;
        CPoint2D p(r.lon, lat);
        ASSERT_EQ(1, op.Forward(p));
        EXPECT_NEAR(r.x, p.x, kForwardTolerance) << r.dphi << " " << r.lon;
        EXPECT_LE(RoundTripError(op, r.lon, lat, p), kRoundTripTolerance) << r.dphi << " " << r.lon;
    }
}

TEST(PseudoCylindricalTest, EveryCallEndsWhateverTheInput) {
    // Iterated kinds with inputs far outside their maps return, and a
    // success carries finite numbers; non-numbers are refused untouched.
    const double huge = 1e300, tiny = std::numeric_limits<double>::denorm_min();
    const double nan = std::numeric_limits<double>::quiet_NaN(),
                 inf = std::numeric_limits<double>::infinity();
    for (long kind :
         {kSinusoidal, kMollweide, kEckertIV, kEckertVI, kRobinson, kVanDerGrinten, kLoximuthal}) {
        CZrPJOperator op = Build(World(kind, 0, 30));
        ASSERT_EQ(1, op.Create());
        for (const CPoint2D& q : {CPoint2D(huge, huge), CPoint2D(-huge, 1.0), CPoint2D(1e12, -1e12),
                                  CPoint2D(tiny, -tiny), CPoint2D(180, -90)}) {
            for (bool forward : {true, false}) {
                CPoint2D p = q;
                if (forward ? op.Forward(p) : op.Inverse(p))
                    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << kind;
                else
                    EXPECT_TRUE(BitIdentical(p, q)) << kind;
            }
        }
        for (const CPoint2D& q : {CPoint2D(nan, 1.0), CPoint2D(1.0, inf), CPoint2D(-inf, nan)}) {
            CPoint2D p = q;
            EXPECT_EQ(0, op.Forward(p)) << kind;
            EXPECT_EQ(0, op.Inverse(p)) << kind;
            EXPECT_TRUE(BitIdentical(p, q)) << kind;
        }
    }
}

// Mollweide's auxiliary angle solves 2 theta + sin 2 theta = pi sin phi to
// rounding at every latitude, the poles' triple root included: the northing
// a sqrt(2) sin theta gives theta back, and the equation's residual, a
// difference of numbers up to pi, is held to a few of its last places.
TEST(PseudoCylindricalTest, MollweideSolvesItsEquationAtEveryLatitude) {
    constexpr double kResidual = 4.0 * 4.44e-16; // four last places of pi
    CZrPJOperator op = Build(World(kMollweide, 0));
    ASSERT_EQ(op.Create(), 1);
    const double a = op.GetSemiMajorAxis();
    for (int i = -9000; i <= 9000; i += 7) {
        const double phiDeg = i / 100.0, phi = phiDeg * M_PI / 180.0;
        CPoint2D p(0.0, phiDeg);
        ASSERT_EQ(op.Forward(p), 1);
        const double theta = std::asin(std::min(1.0, std::max(-1.0, p.y / (a * std::sqrt(2.0)))));
        EXPECT_NEAR(2.0 * theta + std::sin(2.0 * theta), M_PI * std::sin(phi), kResidual) << phiDeg;
    }
}
