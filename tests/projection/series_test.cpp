// The meridian-arc and auxiliary-latitude series, and the three transverse
// kinds built on them, against GeographicLib and PROJ.
#include "geodesy/ZrPJMath.h"
#include "projection/ZrPJKernels_p.h"
#include "projection/ZrPJOperator.h"
#include "support/ProjOracle.h"

#include <GeographicLib/Ellipsoid.hpp>
#include <GeographicLib/TransverseMercator.hpp>
#include <GeographicLib/TransverseMercatorExact.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {
constexpr double kDeg = CZrPJMath::kDegToRad;
constexpr double kMillimetre = 1e-3;
constexpr double kTenthMillimetre = 1e-4;
constexpr double kNanodegree = 1e-9;
constexpr double kNanoradian = 1e-9;

constexpr double kWgs84A = 6378137.0, kWgs84F = 1.0 / 298.257223563;
constexpr double kKrassA = 6378245.0, kKrassF = 1.0 / 298.3;

CZrPJOperator Make(long kind, double a, double f, double lon0Deg, double k0 = 0.0) {
    CZrPJOperator op;
    op.SetKind(kind);
    op.SetSemiMajorAxis(a);
    op.SetFlattening(f);
    op.SetCentralMeridian(lon0Deg * kDeg);
    op.SetScaleFactor(k0);
    op.SetFalseEasting(0.0);
    op.SetFalseNorthing(0.0);
    EXPECT_EQ(op.Create(), 1);
    return op;
}
} // namespace

TEST(SeriesTest, MeridianArcAndAuxiliaryLatitudesMatchGeographicLib) {
    // GeographicLib evaluates these to round-off; our fourth-order series in
    // e^2 must stay within a tenth of a millimetre and a few nanoradians.
    const GeographicLib::Ellipsoid ell(kWgs84A, kWgs84F);
    CZrPJOperator op = Make(43005, kWgs84A, kWgs84F, 0.0);
    double worstArc = 0, worstConformal = 0, worstAuthalic = 0, worstRectifying = 0;
    for (double lat = -89.5; lat <= 89.5; lat += 0.5) {
        const double phi = lat * kDeg;
        worstArc = std::max(worstArc, std::fabs(op.Distance(phi) - ell.MeridianDistance(lat)));
        const double chi = 2.0 * std::atan(std::exp(op.Conformal(phi))) - CZrPJMath::kHalfPi;
        worstConformal = std::max(worstConformal, std::fabs(chi - ell.ConformalLatitude(lat) * kDeg));
        worstConformal =
            std::max(worstConformal, std::fabs(op.AntiConformal(ell.ConformalLatitude(lat) * kDeg) - phi));
        const double beta = ell.AuthalicLatitude(lat) * kDeg;
        worstAuthalic = std::max(worstAuthalic, std::fabs(op.AntiArea(beta) - phi));
        const double mu = ell.RectifyingLatitude(lat) * kDeg;
        worstRectifying = std::max(worstRectifying, std::fabs(op.AntiDistance(mu) - phi));
        // Area(phi) is the zone area / 2 pi, i.e. a^2 (1-e^2) q/2, so its ratio to
        // the pole's value is sin of the authalic latitude.
        EXPECT_NEAR(op.Area(phi) / op.Area(CZrPJMath::kHalfPi), std::sin(beta), 1e-10) << lat;
    }
    EXPECT_LT(worstArc, kTenthMillimetre);
    EXPECT_LT(worstConformal, 2 * kNanoradian);
    EXPECT_LT(worstAuthalic, 2 * kNanoradian);
    EXPECT_LT(worstRectifying, 2 * kNanoradian);
    EXPECT_NEAR(op.GetAuthalicRadius(), std::sqrt(ell.Area() / (4.0 * CZrPJMath::kPi)), kMillimetre);
    EXPECT_NEAR(std::sqrt(op.GetRq2()), std::sqrt(ell.Area() / (4.0 * CZrPJMath::kPi)), kMillimetre);
}

TEST(SeriesTest, OnASphereEverySeriesIsTheSphericalForm) {
    const double a = 6371000.0;
    CZrPJOperator op = Make(43005, a, 0.0, 0.0);
    for (double phi : {-1.2, -0.3, 0.0, 0.4, 1.5}) {
        EXPECT_NEAR(op.Distance(phi), a * phi, 1e-9);
        EXPECT_NEAR(op.AntiDistance(phi), phi, 1e-15);
        EXPECT_NEAR(op.Conformal(phi), std::log(std::tan(CZrPJMath::kQuarterPi + phi / 2)), 1e-14);
        EXPECT_NEAR(op.AntiArea(phi), phi, 1e-15);
        EXPECT_NEAR(op.N(phi), a, 1e-9);
        EXPECT_NEAR(op.M(phi), a, 1e-9);
    }
    EXPECT_EQ(op.GetAuthalicRadius(), a);
}

TEST(SeriesTest, MeridianLengthInverseRecoversTheLatitude) {
    CZrPJOperator op = Make(43006, kKrassA, kKrassF, 0.0, 1.0);
    double worst = 0;
    for (double lat = -89.0; lat <= 89.0; lat += 0.25) {
        const double phi = lat * kDeg;
        const double m = op.MeridianLength(phi, std::sin(phi), std::cos(phi));
        worst = std::max(worst, std::fabs(op.MeridianLengthInverse(m) - phi));
    }
    EXPECT_LT(worst, 1e-7);
    EXPECT_LT(worst, kNanoradian); // in practice the Newton step ends far below its threshold
    EXPECT_TRUE(std::isnan(op.MeridianLengthInverse(std::nan(""))));
}

namespace {
// The distance between x and its neighbour away from zero: a unit in the
// last place. On the earth an angle's last place near 1 rad is 1.4 nm.
double LastPlace(double x) {
    const double ax = std::fabs(x);
    return std::nextafter(ax, HUGE_VAL) - ax;
}
bool SameValueAndSign(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || (a == b && std::signbit(a) == std::signbit(b));
}
} // namespace

// The paired kernels stand in for the C library's sin, cos and atan2 in the
// rotated-pole kinds: over the angles a projection meets (every step of the
// pi/32 table and quadrant, both signs, the reduction's edges), each value
// within one last place of the library's (the table's and the Taylor
// terms' rounding), the arctangent within two (its reduced quotient's); the
// reduction's limit, zeros, infinities and NaN are the library's own
// values, signs of zero included.
TEST(KernelsTest, PairedSinesCosinesAndArctangentsKeepTheLibrarysLastPlaces) {
    const double kSinCosLastPlaces = 1.0, kAtanLastPlaces = 2.0;
    std::vector<double> angles;
    for (int i = -80000; i <= 80000; ++i)
        angles.push_back(i * 1e-4 + 3.3e-6 * (i % 7));
    for (int j = -200; j <= 200; ++j) // the table's steps and the halfway points between them
        for (double off : {0.0, 1e-13, -1e-13, 0.5, -0.5})
            angles.push_back((j + off) * CZrPJMath::kPi / 32.0);
    for (double x : {zrpj::kSinCosReducedBelow, -zrpj::kSinCosReducedBelow, 12345.678, 1e-300, 5e-324})
        angles.push_back(x);
    for (std::size_t i = 0; i + 1 < angles.size(); ++i) {
        const double x0 = angles[i], x1 = angles[angles.size() - 1 - i];
        double s0, c0, s1, c1;
        zrpj::SinCosPair(x0, x1, s0, c0, s1, c1);
        ASSERT_LE(std::fabs(s0 - std::sin(x0)), kSinCosLastPlaces * LastPlace(std::sin(x0))) << x0;
        ASSERT_LE(std::fabs(c0 - std::cos(x0)), kSinCosLastPlaces * LastPlace(std::cos(x0))) << x0;
        ASSERT_LE(std::fabs(s1 - std::sin(x1)), kSinCosLastPlaces * LastPlace(std::sin(x1))) << x1;
        ASSERT_LE(std::fabs(c1 - std::cos(x1)), kSinCosLastPlaces * LastPlace(std::cos(x1))) << x1;
        // The same angles as the sides of a point in every quadrant.
        const double y = std::sin(x0) * (1.0 + std::fabs(x1)), x = std::cos(x1) * 3.0;
        double a0, a1;
        zrpj::AtanPair(y, x, x, y, a0, a1);
        ASSERT_LE(std::fabs(a0 - std::atan2(y, x)), kAtanLastPlaces * LastPlace(std::atan2(y, x)))
            << y << " " << x;
        ASSERT_LE(std::fabs(a1 - std::atan2(x, y)), kAtanLastPlaces * LastPlace(std::atan2(x, y)))
            << x << " " << y;
    }
    const double inf = HUGE_VAL, nan = std::nan("");
    for (double x : {0.0, -0.0, 1.5e5, -2e9, inf, -inf, nan}) {
        double s, c, s1, c1;
        zrpj::SinCosPair(x, 0.5, s, c, s1, c1);
        EXPECT_TRUE(SameValueAndSign(s, std::sin(x))) << x;
        EXPECT_TRUE(SameValueAndSign(c, std::cos(x))) << x;
        EXPECT_TRUE(SameValueAndSign(s1, std::sin(0.5)));
    }
    const double sides[] = {0.0, -0.0, 1.0, -1.0, 1e-310, -1e-310, 1e301, -1e301, inf, -inf, nan};
    for (double y : sides)
        for (double x : sides) {
            double a0, a1;
            zrpj::AtanPair(y, x, 1.0, -1.0, a0, a1);
            const double ref = std::atan2(y, x);
            if (!std::isnan(ref) && (std::fabs(y) == 1e-310 || std::fabs(x) == 1e-310)) {
                EXPECT_LE(std::fabs(a0 - ref), kAtanLastPlaces * LastPlace(ref)) << y << " " << x;
                EXPECT_EQ(std::signbit(a0), std::signbit(ref)) << y << " " << x;
            } else {
                EXPECT_TRUE(SameValueAndSign(a0, ref)) << y << " " << x << ": " << a0 << " for " << ref;
            }
            EXPECT_EQ(a1, std::atan2(1.0, -1.0));
        }
}

// Estrin's order of the atanh series sums the same terms as Horner's: the
// two differ by no more than two last places (the sums' roundings, 3e-17 of
// a term e atanh(e sin phi) below 0.01 of the isometric latitude) over every
// sine an earth ellipsoid gives, and beyond the series' range both are the
// library's atanh.
TEST(KernelsTest, ShallowAtanhSeriesIsTheHornerSeries) {
    const double kSumOrderLastPlaces = 2.0;
    for (int i = -10000; i <= 10000; ++i) {
        const double x = i * 1e-5 + 1.7e-9 * (i % 5);
        EXPECT_LE(std::fabs(zrpj::SmallAtanhShallow(x) - zrpj::SmallAtanh(x)),
                  kSumOrderLastPlaces * LastPlace(zrpj::SmallAtanh(x)))
            << x;
    }
    for (double x : {0.1, -0.1, 0.5, 0.99, -0.99})
        EXPECT_EQ(zrpj::SmallAtanhShallow(x), std::atanh(x));
}

// The small rotation takes steps below its first-order bound as s + c d,
// c - s d: the Newton rounds' last steps, whose results the recorded baseline
// holds to the bit. That is the Taylor form's own result only while d^2 / 2
// rounds away against 1; a bound raised past that would move those bits.
TEST(SeriesTest, SmallRotationsFirstOrderTurnIsTheTaylorTurnToTheBit) {
    const auto taylor = [](double& s, double& c, double d) {
        const double d2 = d * d;
        const double sd = d * (1.0 - d2 / 6.0 * (1.0 - d2 / 20.0 * (1.0 - d2 / 42.0)));
        const double cd = 1.0 - d2 / 2.0 * (1.0 - d2 / 12.0 * (1.0 - d2 / 30.0));
        const double sNew = s * cd + c * sd;
        c = c * cd - s * sd;
        s = sNew;
    };
    const double below = std::nextafter(zrpj::kFirstOrderTurnBelow, 0.0);
    for (double x : {-1.5, -0.7, 0.0, 0.3, 0.9, 1.4, 1.57})
        for (double d : {below, 9.3e-9, 5e-9, 1e-9, 3e-12, 1e-300, 0.0, -1e-10, -7.7e-9, -below}) {
            double s = std::sin(x), c = std::cos(x), sRef = s, cRef = c;
            zrpj::RotateBySmallAngle(s, c, d);
            taylor(sRef, cRef, d);
            EXPECT_EQ(s, sRef) << "x " << x << " d " << d;
            EXPECT_EQ(c, cRef) << "x " << x << " d " << d;
        }
}

TEST(TransverseMercatorTest, AgreesWithGeographicLibWithinAMillimetreOverAUtmZone) {
    const GeographicLib::TransverseMercator exact(kWgs84A, kWgs84F, 0.9996);
    CZrPJOperator op = Make(43006, kWgs84A, kWgs84F, 117.0, 0.9996);
    double worst = 0, worstRoundTrip = 0;
    for (double dlon = -3.0; dlon <= 3.0; dlon += 0.25) {
        for (double lat = -84.0; lat <= 84.0; lat += 1.0) {
            double x, y;
            exact.Forward(117.0, lat, 117.0 + dlon, x, y);
            CPoint2D p(117.0 + dlon, lat);
            ASSERT_EQ(op.Forward(p), 1);
            worst = std::max(worst, std::hypot(p.x - x, p.y - y));
            ASSERT_EQ(op.Inverse(p), 1);
            worstRoundTrip = std::max({worstRoundTrip, std::fabs(p.x - 117.0 - dlon), std::fabs(p.y - lat)});
        }
    }
    RecordProperty("worst_mm", std::to_string(worst * 1000));
    EXPECT_LT(worst, kMillimetre);
    EXPECT_LT(worstRoundTrip, kNanodegree);
}

TEST(TransverseMercatorTest, PolesAndFootpointsBeyondThemStayFinite) {
    CZrPJOperator op = Make(43006, kWgs84A, kWgs84F, 0.0, 1.0);
    for (double lat : {90.0, -90.0}) {
        CPoint2D p(10.0, lat);
        ASSERT_EQ(op.Forward(p), 1);
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
        EXPECT_NEAR(p.x, 0.0, kMillimetre); // the pole is a point on the central meridian
    }
    // A northing past the pole is a point beyond it, on the far half of the
    // central meridian (before, the footpoint stopped at the pole and every
    // such point came back as the pole itself).
    CPoint2D beyond(1000.0, 10100000.0);
    ASSERT_EQ(op.Inverse(beyond), 1);
    double lat, lon;
    GeographicLib::TransverseMercatorExact(kWgs84A, kWgs84F, 1.0).Reverse(0.0, 1000.0, 10100000.0, lat, lon);
    EXPECT_NEAR(beyond.y, lat, kNanodegree);
    EXPECT_NEAR(beyond.x, lon, kNanodegree);
}

// Both transverse Mercator kinds against the exact projection (elliptic
// functions, to nanometres) out to 40 degrees from the central meridian, where
// a zone of the classical series would be metres out: forward, inverse from
// the exact map coordinates, and our own round trip. Gauss-Krueger is the
// transverse Mercator at scale 1 with its origin on the equator.
TEST(TransverseMercatorTest, BothKindsMatchTheExactProjectionOutToFortyDegrees) {
    // The bar for wide-zone use: a fifth of the round trip's 0.1 mm.
    constexpr double kExactTolerance = 2e-5;
    struct Row {
        long kind;
        double a, f, k0, lat0;
    };
    const Row rows[] = {
        {43006, kWgs84A, kWgs84F, 0.9996, 0.0},  {43006, kKrassA, kKrassF, 1.0, 0.0},
        {43006, kWgs84A, kWgs84F, 0.9999, 49.0}, // an origin off the equator (British National Grid's)
        {43005, kKrassA, kKrassF, 0.0, 0.0},     {43005, kWgs84A, kWgs84F, 0.0, 0.0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.kind) + " a=" + std::to_string(row.a) +
                     " lat0=" + std::to_string(row.lat0));
        const double k0 = row.k0 == 0.0 ? 1.0 : row.k0;
        const GeographicLib::TransverseMercatorExact exact(row.a, row.f, k0);
        CZrPJOperator created;
        created.SetKind(row.kind);
        created.SetSemiMajorAxis(row.a);
        created.SetFlattening(row.f);
        created.SetCentralMeridian(117.0 * kDeg);
        created.SetCentralParallel(row.lat0 * kDeg);
        created.SetScaleFactor(row.k0);
        created.SetFalseEasting(0.0);
        created.SetFalseNorthing(0.0);
        ASSERT_EQ(created.Create(), 1);
        // The sweep runs on an assigned copy, which must carry the series' set-up.
        CZrPJOperator op;
        op = created;
        double x0, y0;
        exact.Forward(0.0, row.lat0, 0.0, x0, y0);
        if (row.kind == 43005) y0 = 0.0;
        double worstForward = 0, worstInverse = 0, worstRoundTrip = 0;
        CPoint2D worstForwardAt, worstInverseAt;
        for (double dlon = -40.0; dlon <= 40.0; dlon += 0.5) {
            for (double lat = 0.0; lat <= 84.0; lat += 1.0) {
                double x, y;
                exact.Forward(117.0, lat, 117.0 + dlon, x, y);
                y -= y0;
                CPoint2D p(117.0 + dlon, lat);
                ASSERT_EQ(op.Forward(p), 1);
                const double dForward = std::hypot(p.x - x, p.y - y);
                if (dForward > worstForward) {
                    worstForward = dForward;
                    worstForwardAt = CPoint2D(dlon, lat);
                }
                // Ground distance between two nearby geographic points.
                const auto ground = [&](double lon1, double lat1, double lon2, double lat2) {
                    return std::hypot((lon1 - lon2) * kDeg * row.a * std::cos(lat * kDeg),
                                      (lat1 - lat2) * kDeg * row.a);
                };
                CPoint2D q(x, y);
                ASSERT_EQ(op.Inverse(q), 1);
                const double dInverse = ground(q.x, q.y, 117.0 + dlon, lat);
                if (dInverse > worstInverse) {
                    worstInverse = dInverse;
                    worstInverseAt = CPoint2D(dlon, lat);
                }
                ASSERT_EQ(op.Inverse(p), 1);
                worstRoundTrip = std::max(worstRoundTrip, ground(p.x, p.y, 117.0 + dlon, lat));
            }
        }
        EXPECT_LT(worstForward, kExactTolerance)
            << "at dlon " << worstForwardAt.x << " lat " << worstForwardAt.y;
        EXPECT_LT(worstInverse, kExactTolerance)
            << "at dlon " << worstInverseAt.x << " lat " << worstInverseAt.y;
        EXPECT_LT(worstRoundTrip, kExactTolerance);
        const std::string tag = std::to_string(row.kind) + (row.a == kWgs84A ? "_wgs84" : "_krasovsky");
        RecordProperty(tag + "_forward_mm", std::to_string(worstForward * 1e3));
        RecordProperty(tag + "_inverse_mm", std::to_string(worstInverse * 1e3));
    }
}

TEST(CassiniTest, AgreesWithASphericalCassiniOfRadiusA) {
    const ProjOracle cass("+proj=cass +R=6378245 +lon_0=117 +x_0=0 +y_0=0");
    ASSERT_TRUE(cass.ok());
    CZrPJOperator op = Make(43028, kKrassA, kKrassF, 117.0);
    double worst = 0, worstRoundTrip = 0;
    for (double dlon = -20.0; dlon <= 20.0; dlon += 2.5) {
        for (double lat = -80.0; lat <= 80.0; lat += 5.0) {
            double x, y;
            ASSERT_TRUE(cass.Forward(117.0 + dlon, lat, x, y));
            CPoint2D p(117.0 + dlon, lat);
            ASSERT_EQ(op.Forward(p), 1);
            worst = std::max(worst, std::hypot(p.x - x, p.y - y));
            ASSERT_EQ(op.Inverse(p), 1);
            worstRoundTrip = std::max({worstRoundTrip, std::fabs(p.x - 117.0 - dlon), std::fabs(p.y - lat)});
        }
    }
    EXPECT_LT(worst, kMillimetre);
    EXPECT_LT(worstRoundTrip, kNanodegree);

    // Beyond the map's edge the inverse takes the edge instead of failing.
    CPoint2D far(10.0 * kKrassA, 0.0), edge(kKrassA * CZrPJMath::kHalfPi, 0.0);
    ASSERT_EQ(op.Inverse(far), 1);
    ASSERT_EQ(op.Inverse(edge), 1);
    EXPECT_EQ(far.x, edge.x);
    EXPECT_EQ(far.y, edge.y);
}
