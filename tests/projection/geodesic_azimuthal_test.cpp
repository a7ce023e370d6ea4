// The azimuthal equidistant on the ellipsoid against PROJ's, which follows
// the same geodesics: in every aspect, out to 170 degrees from the centre.
#include "WorldOracle_p.h"

#include "projection/ZrPJBatch_p.h"

#include <GeographicLib/Geodesic.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

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

namespace {
// Points over the whole globe for a centre on the meridian 0: random ones,
// and the edges of the forward's cases: the antipode and its neighbourhood,
// the centre's meridian and its opposite, the equator, the poles, the centre
// and points beside it, the mirror latitude (where the ends' order changes).
std::vector<CPoint2D> GlobePoints(double lat0, int randomCount) {
    std::vector<CPoint2D> points;
    std::mt19937_64 random(static_cast<unsigned long>(lat0 * 1000 + 7));
    std::uniform_real_distribution<double> lon(-180, 180), z(-1, 1);
    for (int i = 0; i < randomCount; ++i)
        points.emplace_back(lon(random), std::asin(z(random)) / kDeg);
    for (double dl : {0.0, 1e-9, 1e-5, 0.01, 0.1, 0.5, 1.0, 3.0, 10.0})
        for (double dp : {0.0, 1e-9, 1e-5, 0.01, 0.1, 0.5, 1.0, 3.0})
            for (double sl : {-1.0, 1.0})
                for (double sp : {-1.0, 1.0}) {
                    points.emplace_back(sl * (180 - dl), std::fmax(-90, std::fmin(90, -lat0 + sp * dp)));
                    points.emplace_back(sl * dl, std::fmax(-90, std::fmin(90, lat0 + sp * dp)));
                }
    for (double l = -180; l <= 180; l += 7.5)
        for (double p : {-90.0, -89.9999, -45.0, -1e-9, 0.0, 1e-9, 30.0, 89.9999, 90.0, lat0, -lat0})
            points.emplace_back(l, p);
    for (double p = -90; p <= 90; p += 0.25)
        for (double l : {0.0, 180.0, -180.0, 90.0, 179.5})
            points.emplace_back(l, p);
    return points;
}

const double kCentres[] = {90, -90, 0, 50, -33.9, 89.999, -1e-7, 71.5};
} // namespace

// The forward against GeographicLib's Geodesic::Inverse, the reference
// solution of the inverse geodesic problem: the map point is s (sin azi1,
// cos azi1) from the centre, with s and azi1 the geodesic's from the centre
// to the point. The forward solves the ordinary geodesic with rounds of its
// own and hands the rest (meridians, the equator, the antipode's region, the
// poles) back to the library, so every kind of end point is here: random
// points over the globe and the edges of each of those cases, from centres
// at both poles, on the equator, near a pole and at mid latitudes.
TEST(GeodesicAzimuthalTest, ForwardIsGeographicLibsInverse) {
    // Both solutions round the distance and the azimuth in doubles, whose
    // last place at 20,000 km is 3.7 nm, and toward the antipode the
    // azimuth's rounding grows as the reduced length shrinks: there the
    // oracle itself strays by up to 2.2e-15 of the distance (44 nm at
    // 19,000 km on the sphere, against the closed form in 40 digits, where
    // the forward is 3 nm off). A dropped series term or a wrong turn of the
    // azimuth moves points by micrometres at least.
    constexpr double kAgreement = 5e-9;         // metres on the map
    constexpr double kRoundingPerMetre = 3e-15; // thirteen units in the last place of the distance
    // The oracle takes the angles the operator solves for (degrees to
    // radians and back): near the antipode the azimuth turns by metres for
    // a change of the input in its last place.
    const auto rounded = [](double deg) { return deg * kDeg * CZrPJMath::kRadToDeg; };
    // The earth's figures, a sphere (where the longitude's series vanish),
    // and an ellipsoid flatter than the forward's series serve (the
    // library's throughout).
    struct Ellipsoid {
        double a, f;
    } const ellipsoids[] = {
        {kWgs84A, kWgs84F}, {6378249.145, 1 / 293.465}, {6371000.0, 0.0}, {6378137.0, 0.02}};
    for (const Ellipsoid& e : ellipsoids) {
        const GeographicLib::Geodesic oracle(e.a, e.f);
        double worstNear = 0, worstFar = 0; // within and beyond 10,000 km
        for (double lat0 : kCentres) {
            Definition d{kEquidistantEllipsoid};
            d.a = e.a;
            d.f = e.f;
            d.lat0 = lat0;
            CZrPJOperator op = Build(d);
            ASSERT_EQ(1, op.Create());
            const std::vector<CPoint2D> points = GlobePoints(lat0, 3000);
            for (const CPoint2D& q : points) {
                double s = 0, azi1 = 0, azi2 = 0;
                oracle.Inverse(rounded(lat0), 0, rounded(q.y), rounded(q.x), s, azi1, azi2);
                CPoint2D p = q;
                ASSERT_EQ(1, op.Forward(p)) << q.x << " " << q.y;
                const double gap =
                    std::hypot(p.x - s * std::sin(azi1 * kDeg), p.y - s * std::cos(azi1 * kDeg));
                EXPECT_LT(gap, kAgreement + kRoundingPerMetre * s)
                    << "f " << e.f << " centre " << lat0 << " point " << q.x << " " << q.y;
                (s < 1e7 ? worstNear : worstFar) = std::fmax(s < 1e7 ? worstNear : worstFar, gap);
            }
        }
        std::printf("[ figures  ] f %.6g: largest difference %.3g m within 10,000 km, %.3g m beyond\n", e.f,
                    worstNear, worstFar);
    }
}

// The array entries solve the geodesics several points to a register and
// leave every other point to the single-point routines: on every instruction
// set the CPU has, each point agrees with the single-point routine's, both
// ways.
TEST(GeodesicAzimuthalTest, ArraysAgreeWithTheSinglePointRoutine) {
    // The vector sine, cosine and arctangent round as the C library's in
    // all but a few arguments per thousand, and there differ by a unit in
    // the last place: in the sine of the latitude that is 0.7 nm on the
    // ground, and Newton's rounds carry it into the result as up to 1.3 nm,
    // or three last places of the coordinate (beyond 4,000 km one is 0.9 nm
    // or more; 6.7 nm at most at 15,000 km).
    constexpr double kVectorAgreement = 2e-9; // metres
    constexpr int kLastPlaces = 3;
    const char* env = std::getenv("ZRPRJ_SIMD");
    for (const char* target : {"sse2", "sse4", "avx2", "avx512"}) {
        if (!zrpj::BatchUsePath(target)) continue; // the CPU lacks it
        for (double lat0 : kCentres) {
            Definition d{kEquidistantEllipsoid};
            d.lat0 = lat0;
            CZrPJOperator op = Build(d);
            ASSERT_EQ(1, op.Create());
            std::vector<CPoint2D> points = GlobePoints(lat0, 2000);
            std::vector<CPoint2D> single = points;
            for (CPoint2D& p : single)
                ASSERT_EQ(1, op.Forward(p));
            ASSERT_EQ(0, op.Forward(&points[0].x, sizeof(CPoint2D), &points[0].y, sizeof(CPoint2D),
                                    static_cast<long>(points.size())));
            double worst = 0;
            for (std::size_t i = 0; i < points.size(); ++i) {
                const double gap = std::hypot(points[i].x - single[i].x, points[i].y - single[i].y);
                const double lastPlace = std::fmax(std::fabs(single[i].x), std::fabs(single[i].y)) *
                                         std::numeric_limits<double>::epsilon();
                worst = std::fmax(worst, gap);
                EXPECT_LE(gap, std::fmax(kVectorAgreement, kLastPlaces * lastPlace))
                    << target << " centre " << lat0 << " point " << i << " of " << points.size();
            }
            // Back again: the map points through the array inverse and the
            // single-point inverse, compared on the ground.
            std::vector<CPoint2D> back = single, backSingle = single;
            for (CPoint2D& p : backSingle)
                ASSERT_EQ(1, op.Inverse(p));
            ASSERT_EQ(0, op.Inverse(&back[0].x, sizeof(CPoint2D), &back[0].y, sizeof(CPoint2D),
                                    static_cast<long>(back.size())));
            // Degrees, to 1e-14 (a nanometre on the ground) or two units in
            // the last place of the coordinate where that is coarser (a
            // longitude past 64 degrees steps by 1.4e-14); the longitude's
            // as far as it moves the point, by the cosine of the latitude
            // (near a pole a longitude may turn by 1e-9 degrees for a
            // picometre).
            constexpr double kAngleAgreement = 1e-14;
            double worstBack = 0;
            for (std::size_t i = 0; i < back.size(); ++i) {
                const double gaps[2] = {std::fabs(std::remainder(back[i].x - backSingle[i].x, 360.0)) *
                                            std::cos(backSingle[i].y * kDeg),
                                        std::fabs(back[i].y - backSingle[i].y)};
                const double values[2] = {backSingle[i].x, backSingle[i].y};
                for (int c = 0; c < 2; ++c) {
                    const double lastPlace = std::fabs(values[c]) * std::numeric_limits<double>::epsilon();
                    worstBack = std::fmax(worstBack, gaps[c]);
                    EXPECT_LE(gaps[c], std::fmax(kAngleAgreement, kLastPlaces * lastPlace))
                        << target << " centre " << lat0 << " inverse of point " << i;
                }
            }
            std::printf("[ figures  ] %s centre %g: largest difference %.3g m forward, %.3g deg inverse\n",
                        target, lat0, worst, worstBack);
        }
    }
    zrpj::BatchUsePath(env ? env : "auto");
}
