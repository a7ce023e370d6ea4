// The array forwards and inverses of the views from outside the ellipsoid
// (the orthographic on the ellipsoid, the geostationary satellite scanning
// about either axis), of Krovak's four forms and of Lambert's azimuthal
// equal-area on the ellipsoid against their single-point routines, on every
// instruction set the CPU has: over each view's disc and well beyond it (a
// dense sweep and random points) each point the vector kernel finishes
// agrees with the single-point routine within a nanometre (or a few last
// places), and each point it leaves to the scalar path (behind the horizon
// or the limb, the cone's far side, non-numbers, a turn out) comes out exactly as the single
// routine makes it, refusals restored and counted. Beside that, the kernels
// must take the common points themselves, or the comparison would pass on
// the scalar path alone.
#include "geodesy/ZrPJMath.h"
#include "projection/ZrPJBatch_p.h"
#include "projection/ZrPJOperator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {
constexpr double kDeg = CZrPJMath::kDegToRad;
constexpr double kMetresPerDegree = 111319.49; // on the equator, to put an angle on the ground
// Planar: a nanometre, or eight last places of the coordinate where that is
// coarser (the satellite's scan reaches 5 400 km, 0.9 nm a last place).
constexpr double kPlanarBound = 1e-9;
constexpr int kPlanarLastPlaces = 8;
// Krovak's forward chains the isometric latitude, the conformal sphere's
// exponential, the turned sphere's arctangent, the cone's power and its
// sine and cosine, each a last place from the C library's in a few
// arguments per thousand: 2.1 nm measured on a radius of 1 300 km (nine
// last places), twelve allowed, of the radius from the cone's apex (1 000
// to 2 000 km over the grids and beyond), which the coordinates' own last
// places understate east of the central meridian.
constexpr int kConePlanarLastPlaces = 12;
constexpr double kConeRadius = 1.5e6;
// Geographic: a nanometre on the ground, or eight last places of the
// degrees (6 nm at 60 degrees): Krovak's inverse chains a power, four
// arctangents, an atanh of a sine near 0.85 (1 - s keeps a sixth of its
// digits) and a sinh, each a last place from the C library's. The satellite's inverse meets the ellipsoid
// along a line of sight 36 000 km long: a last place of its scan angles (1e-17 rad) is 0.4 nm there, and the
// vector tangent (sine over cosine) differs from the C library's by a place or two.
constexpr double kGroundBound = 1e-9;
constexpr int kLastPlaces = 8;

double Ulp(double v) {
    return std::fabs(std::nextafter(v, HUGE_VAL) - v);
}

bool ScalarPathForced() {
    const char* env = std::getenv("ZRPRJ_SIMD");
    return env && std::string(env) == "scalar";
}

struct KindCase {
    const char* name;
    long kind;
    double a, invF;
    double lon0, lat0;  // degrees: central meridian, origin's latitude
    double phi1, alpha; // degrees: Krovak's pseudo standard parallel and its cone axis's co-latitude
    double k0;          // scale, or the satellite's distance from the centre in units of a
    double fe, fn;
    double lonMin, lonMax, latMin, latMax; // the sweep's box, degrees
    bool forward, inverse;                 // the directions with a vector kernel
};

constexpr double kWgsA = 6378137.0, kWgsInvF = 298.257223563;
// The geostationary orbit's height above the equator, as PROJ's geos examples take it.
constexpr double kGeoDistance = 1.0 + 35785831.0 / kWgsA;

// The orthographic over Europe and one looking at the south pole's
// neighbourhood from the far south; Meteosat (sweep about y), GOES-East
// (about x) off Greenwich, a satellite over the Pacific whose disc crosses
// the antimeridian, and one on a sphere. The boxes reach round the globe,
// so that half of each sweep lies behind the horizon or the limb.
const KindCase kCases[] = {
    {"orthographic Europe", 43070, kWgsA, kWgsInvF, 10.0, 50.0, 0.0, 0.0, 1.0, 0.0, 0.0, -180.0, 180.0, -90.0,
     90.0, true, false},
    {"orthographic far south", 43070, 6378388.0, 297.0, -60.0, -80.0, 0.0, 0.0, 1.0, 1e5, -2e5, -180.0, 180.0,
     -90.0, 90.0, true, false},
    {"Meteosat", 43072, kWgsA, kWgsInvF, 0.0, 0.0, 0.0, 0.0, kGeoDistance, 0.0, 0.0, -180.0, 180.0, -90.0,
     90.0, true, true},
    {"GOES-East", 43073, 6378137.0, 298.257222101, -75.0, 0.0, 0.0, 0.0, kGeoDistance, 0.0, 0.0, -180.0,
     180.0, -90.0, 90.0, true, true},
    {"Himawari", 43072, kWgsA, kWgsInvF, 140.7, 0.0, 0.0, 0.0, kGeoDistance, 5e5, -5e5, -180.0, 180.0, -90.0,
     90.0, true, true},
    {"geostationary sphere", 43073, 6371000.0, 0.0, 20.0, 0.0, 0.0, 0.0, 6.6, 0.0, 0.0, -180.0, 180.0, -90.0,
     90.0, true, true},
    // Krovak on Bessel 1841 about Ferro's 42.5 degrees east (EPSG:5513 and
    // 5514), and the modified forms of S-JTSK/05 (5515, 5516), over Central
    // Europe and well beyond.
    {"Krovak", 43052, 6377397.155, 299.1528128, 24.8333333333333, 49.5, 78.5, 30.2881397222222, 0.9999, 0.0,
     0.0, -20.0, 60.0, 20.0, 80.0, true, true},
    {"Krovak north", 43053, 6377397.155, 299.1528128, 24.8333333333333, 49.5, 78.5, 30.2881397222222, 0.9999,
     0.0, 0.0, -60.0, 100.0, -30.0, 90.0, true, true},
    {"Krovak modified", 43064, 6377397.155, 299.1528128, 24.8333333333333, 49.5, 78.5, 30.2881397222222,
     0.9999, 5000000.0, 5000000.0, 0.0, 40.0, 40.0, 60.0, true, true},
    {"Krovak modified north", 43065, 6377397.155, 299.1528128, 24.8333333333333, 49.5, 78.5, 30.2881397222222,
     0.9999, -5000000.0, -5000000.0, 0.0, 40.0, 40.0, 60.0, true, true},
    // Lambert's azimuthal equal-area on the ellipsoid: ETRS89-LAEA (EPSG:3035),
    // an equatorial origin, and a polar one (whose inverse is the scalar path's).
    {"ETRS89 LAEA", 43047, kWgsA, 298.257222101, 10.0, 52.0, 0.0, 0.0, 1.0, 4321000.0, 3210000.0, -180.0,
     180.0, -90.0, 90.0, false, true},
    {"LAEA equatorial", 43047, 6378206.4, 294.9786982, -100.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, -180.0, 180.0,
     -90.0, 90.0, false, true},
    {"LAEA north pole", 43047, kWgsA, kWgsInvF, 0.0, 90.0, 0.0, 0.0, 1.0, 0.0, 0.0, -180.0, 180.0, -90.0,
     90.0, false, false},
};

CZrPJOperator Build(const KindCase& c) {
    CZrPJOperator op;
    op.SetKind(c.kind);
    op.SetSemiMajorAxis(c.a);
    op.SetFlattening(c.invF > 0.0 ? 1.0 / c.invF : 0.0);
    op.SetCentralMeridian(c.lon0 * kDeg);
    op.SetCentralParallel(c.lat0 * kDeg);
    op.SetStandardParallel1(c.phi1 * kDeg);
    op.SetAzimuth(c.alpha * kDeg);
    op.SetScaleFactor(c.k0);
    op.SetFalseEasting(c.fe);
    op.SetFalseNorthing(c.fn);
    return op;
}

// A dense grid over the box (an odd side, so that blocks end mid-register),
// random points in it, and the points a kernel must leave to the scalar
// path: non-numbers, a turn out, the poles, the antipode of the centre.
std::vector<CPoint2D> Points(const KindCase& c) {
    constexpr int kSide = 181;
    constexpr int kRandom = 8000;
    std::vector<CPoint2D> pts;
    for (int i = 0; i < kSide; ++i)
        for (int j = 0; j < kSide; ++j)
            pts.emplace_back(c.lonMin + (c.lonMax - c.lonMin) * i / (kSide - 1),
                             c.latMin + (c.latMax - c.latMin) * j / (kSide - 1));
    std::mt19937_64 rng(0x5a7e11ULL + static_cast<unsigned long long>(c.kind));
    std::uniform_real_distribution<double> lon(c.lonMin, c.lonMax), lat(c.latMin, c.latMax);
    for (int i = 0; i < kRandom; ++i) {
        const double x = lon(rng);
        pts.emplace_back(x, lat(rng));
    }
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = HUGE_VAL;
    const std::vector<CPoint2D> awkward = {{nan, 10.0},
                                           {c.lon0, nan},
                                           {inf, 20.0},
                                           {c.lon0, -inf},
                                           {c.lon0 + 545.0, 5.0},
                                           {c.lon0, 90.0},
                                           {c.lon0 + 3.0, -90.0},
                                           {c.lon0, 95.0},
                                           {c.lon0, c.lat0},
                                           {c.lon0 + 180.0, -c.lat0},
                                           {c.lon0 + 81.3, 0.0},
                                           {c.lon0, 81.3},
                                           {180.0, 0.0},
                                           {-180.0, -30.0},
                                           {c.lon0 - 1e-13, 12.0},
                                           {179.9999999999, 60.0}};
    pts.insert(pts.end(), awkward.begin(), awkward.end());
    return pts;
}

bool BitIdentical(const CPoint2D& a, const CPoint2D& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Map points the inverse must meet beside the forward's own: beside the
// disc, on its rim, non-numbers, far off.
std::vector<CPoint2D> AwkwardMapPoints(const KindCase& c) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double rim = 5.4e6;
    return {{nan, 0.0},
            {c.fe, nan},
            {c.fe + rim, c.fn},
            {c.fe, c.fn - rim},
            {c.fe + 6e6, c.fn},
            {c.fe, c.fn + 7e6},
            {c.fe + 4e6, c.fn + 4e6},
            {c.fe, c.fn},
            {c.fe + 1e9, c.fn},
            {c.fe - 3.9e6, c.fn + 3.7e6}};
}

// No inverse is finer than its input: where the single-point routine itself
// moves a point by more than the bounds above for a last place of the map
// coordinates (the satellite's quadratic cancels fortyfold, so there it
// moves by tens of nanometres), the array's result may differ by as much as
// twice that spread, which a last place of any intermediate value causes.
constexpr double kSpreadFactor = 2.0;
template <class Single> double Spread(Single single, const CPoint2D& in, const CPoint2D& out) {
    double spread = 0.0;
    const CPoint2D nudged[] = {{std::nextafter(in.x, HUGE_VAL), in.y},
                               {std::nextafter(in.x, -HUGE_VAL), in.y},
                               {in.x, std::nextafter(in.y, HUGE_VAL)},
                               {in.x, std::nextafter(in.y, -HUGE_VAL)}};
    for (CPoint2D p : nudged) {
        if (!single(p)) continue;
        const double dx = std::fabs(std::remainder(p.x - out.x, 360.0)) * std::cos(out.y * kDeg);
        spread = std::max(spread, std::hypot(dx, p.y - out.y) * kMetresPerDegree);
    }
    return spread;
}

struct Tally {
    long differing = 0, faults = 0;
    double worst = 0.0; // metres on the ground
};

// The array entry over pts against the single-point routine, point by point.
template <class Single, class Array>
Tally Compare(const std::vector<CPoint2D>& pts, Single single, Array array, bool geographic, const char* what,
              int places = kPlanarLastPlaces, double magnitude = 0.0) {
    std::vector<CPoint2D> out = pts;
    const long refused = array(out);
    long expectedRefused = 0;
    Tally t;
    const bool exact = ScalarPathForced();
    for (size_t i = 0; i < pts.size(); ++i) {
        CPoint2D one = pts[i];
        if (!single(one)) {
            ++expectedRefused;
            EXPECT_TRUE(BitIdentical(out[i], pts[i]))
                << what << ": (" << pts[i].x << ", " << pts[i].y << ") refused but changed";
            continue;
        }
        if (BitIdentical(out[i], one)) continue;
        ++t.differing;
        double ground, bound;
        if (geographic) {
            const double dx = std::fabs(std::remainder(out[i].x - one.x, 360.0)) * std::cos(one.y * kDeg);
            const double dy = std::fabs(out[i].y - one.y);
            ground = std::hypot(dx, dy) * kMetresPerDegree;
            bound = std::max({kGroundBound, kLastPlaces * std::max(Ulp(one.x), Ulp(one.y)) * kMetresPerDegree,
                              kSpreadFactor * Spread(single, pts[i], one)});
        } else {
            ground = std::hypot(out[i].x - one.x, out[i].y - one.y);
            bound = std::max(kPlanarBound, places * std::max({Ulp(one.x), Ulp(one.y), Ulp(magnitude)}));
        }
        t.worst = std::max(t.worst, ground);
        if ((exact || !(ground <= bound)) && ++t.faults <= 5)
            ADD_FAILURE() << what << ": (" << pts[i].x << ", " << pts[i].y << ") array (" << out[i].x << ", "
                          << out[i].y << ") single (" << one.x << ", " << one.y << ")";
    }
    EXPECT_EQ(t.faults, 0) << what;
    EXPECT_EQ(refused, expectedRefused) << what;
    return t;
}

bool IsKrovak(long kind) {
    return kind == 43052 || kind == 43053 || kind == 43064 || kind == 43065;
}

const char* const kTargets[] = {"sse2", "sse4", "avx2", "avx512"};

// The operator's choice of kernel, which is its own business elsewhere.
struct KernelProbe : CZrPJOperator {
    using CZrPJOperator::FillBatch;
};
} // namespace

TEST(ViewKrovakLaeaArrays, EachInstructionSetProjectsAsTheSinglePointRoutine) {
    const char* env = std::getenv("ZRPRJ_SIMD");
    const bool exact = ScalarPathForced();
    for (const char* target : kTargets) {
        if (!exact && !zrpj::BatchUsePath(target)) continue; // the CPU lacks it
        for (const KindCase& c : kCases) {
            CZrPJOperator op = Build(c);
            ASSERT_EQ(op.Create(), 1) << c.name;
            const std::string fwd = std::string(c.name) + " forward on " + target;
            const std::string inv = std::string(c.name) + " inverse on " + target;
            const std::vector<CPoint2D> pts = Points(c);
            const Tally f = Compare(
                pts, [&op](CPoint2D& p) { return op.Forward(p); },
                [&op](std::vector<CPoint2D>& v) {
                    return op.Forward(&v[0].x, sizeof(CPoint2D), &v[0].y, sizeof(CPoint2D), v.size());
                },
                false, fwd.c_str(), IsKrovak(c.kind) ? kConePlanarLastPlaces : kPlanarLastPlaces,
                IsKrovak(c.kind) ? kConeRadius : 0.0);
            // The inverse over the single routine's forward results, so that
            // both paths start from the same map points.
            std::vector<CPoint2D> map;
            for (CPoint2D p : pts)
                if (op.Forward(p)) map.push_back(p);
            const std::vector<CPoint2D> extra = AwkwardMapPoints(c);
            map.insert(map.end(), extra.begin(), extra.end());
            const Tally i = Compare(
                map, [&op](CPoint2D& p) { return op.Inverse(p); },
                [&op](std::vector<CPoint2D>& v) {
                    return op.Inverse(&v[0].x, sizeof(CPoint2D), &v[0].y, sizeof(CPoint2D), v.size());
                },
                true, inv.c_str());
            std::printf("[ figures  ] %-22s on %-6s: forward %ld of %zu not bit for bit, largest %.3g m; "
                        "inverse %ld of %zu, largest %.3g m\n",
                        c.name, CZrPJOperator::BatchPath(), f.differing, pts.size(), f.worst, i.differing,
                        map.size(), i.worst);
        }
        if (exact) break;
    }
    if (!exact) zrpj::BatchUsePath(env ? env : "auto");
}

TEST(ViewKrovakLaeaArrays, TheKindsHaveAVectorKernel) {
    if (std::string(CZrPJOperator::BatchPath()) == "scalar") GTEST_SKIP() << "scalar path in use";
    for (const KindCase& c : kCases) {
        KernelProbe op;
        static_cast<CZrPJOperator&>(op) = Build(c);
        ASSERT_EQ(op.Create(), 1) << c.name;
        zrpj::BatchConstants k;
        EXPECT_EQ(op.FillBatch(k, false), c.forward) << c.name << " forward";
        EXPECT_EQ(op.FillBatch(k, true), c.inverse) << c.name << " inverse";
    }
}

// A kernel that hands its common lanes to the scalar path agrees with it
// trivially and loses its speed. Over each view's own area (and the rotated
// pole's, whose central meridian of 180 degrees puts half the inverse's
// longitudes past a half turn before the frame folds them) the kernel must
// finish nearly every point itself, both ways.
struct Coverage {
    const char* name;
    long kind;
    double a, invF, lon0, lat0, k0;
    double phi1, lam1; // degrees: the turned pole's latitude and longitude, or Krovak's
                       // pseudo standard parallel and its cone axis's co-latitude
    double lonMin, lonMax, latMin, latMax;
    bool inverse;
};
// Below this share of finished lanes the kernel is not doing its kind's work;
// the boxes hold no point the scalar path treats as special.
constexpr double kFinishedShare = 0.999;

const Coverage kCoverage[] = {
    {"orthographic Europe", 43070, kWgsA, kWgsInvF, 10.0, 50.0, 1.0, 0.0, 0.0, -20.0, 40.0, 30.0, 70.0,
     false},
    {"Meteosat", 43072, kWgsA, kWgsInvF, 0.0, 0.0, kGeoDistance, 0.0, 0.0, -60.0, 60.0, -60.0, 60.0, false},
    {"Meteosat", 43072, kWgsA, kWgsInvF, 0.0, 0.0, kGeoDistance, 0.0, 0.0, -60.0, 60.0, -60.0, 60.0, true},
    {"GOES sweep x", 43073, kWgsA, kWgsInvF, -75.0, 0.0, kGeoDistance, 0.0, 0.0, -135.0, -15.0, -60.0, 60.0,
     false},
    {"GOES sweep x", 43073, kWgsA, kWgsInvF, -75.0, 0.0, kGeoDistance, 0.0, 0.0, -135.0, -15.0, -60.0, 60.0,
     true},
    {"rotated pole", 43076, kWgsA, kWgsInvF, 180.0, 0.0, 1.0, 39.25, -162.0, -30.0, 40.0, 30.0, 70.0, false},
    {"rotated pole", 43076, kWgsA, kWgsInvF, 180.0, 0.0, 1.0, 39.25, -162.0, -30.0, 40.0, 30.0, 70.0, true},
    {"Krovak", 43052, 6377397.155, 299.1528128, 24.8333333333333, 49.5, 0.9999, 78.5, 30.2881397222222, 12.09,
     22.56, 47.73, 51.06, false},
    {"Krovak", 43052, 6377397.155, 299.1528128, 24.8333333333333, 49.5, 0.9999, 78.5, 30.2881397222222, 12.09,
     22.56, 47.73, 51.06, true},
    {"Krovak modified north", 43065, 6377397.155, 299.1528128, 24.8333333333333, 49.5, 0.9999, 78.5,
     30.2881397222222, 12.09, 18.86, 48.58, 51.06, false},
    {"Krovak modified north", 43065, 6377397.155, 299.1528128, 24.8333333333333, 49.5, 0.9999, 78.5,
     30.2881397222222, 12.09, 18.86, 48.58, 51.06, true},
    {"ETRS89 LAEA", 43047, kWgsA, 298.257222101, 10.0, 52.0, 1.0, 0.0, 0.0, -16.1, 40.18, 32.88, 84.73, true},
};

TEST(ViewKrovakLaeaArrays, TheKernelsFinishTheCommonPoints) {
    if (std::string(CZrPJOperator::BatchPath()) == "scalar") GTEST_SKIP() << "scalar path in use";
    constexpr int kSide = 64; // blocks of whole registers
    for (const Coverage& c : kCoverage) {
        KernelProbe op;
        op.SetKind(c.kind);
        op.SetSemiMajorAxis(c.a);
        op.SetFlattening(1.0 / c.invF);
        op.SetCentralMeridian(c.lon0 * kDeg);
        op.SetCentralParallel(c.lat0 * kDeg);
        op.SetStandardParallel1(c.phi1 * kDeg);
        op.SetFirstPointLongitude(c.lam1 * kDeg);
        op.SetAzimuth(c.lam1 * kDeg);
        op.SetScaleFactor(c.k0);
        ASSERT_EQ(op.Create(), 1) << c.name;
        zrpj::BatchConstants k;
        ASSERT_TRUE(op.FillBatch(k, c.inverse)) << c.name;
        long finished = 0, total = 0;
        for (int i = 0; i < kSide; ++i) {
            alignas(64) double x[zrpj::kBatchBlock], y[zrpj::kBatchBlock], done[zrpj::kBatchBlock];
            for (int j = 0; j < kSide; ++j) {
                CPoint2D p(c.lonMin + (c.lonMax - c.lonMin) * (i + 0.5) / kSide,
                           c.latMin + (c.latMax - c.latMin) * (j + 0.5) / kSide);
                if (c.inverse) ASSERT_EQ(op.Forward(p), 1) << c.name;
                x[j] = p.x;
                y[j] = p.y;
            }
            (c.inverse ? zrpj::BatchInverse : zrpj::BatchForward)(k, x, y, done, zrpj::kBatchBlock);
            for (int j = 0; j < kSide; ++j)
                finished += done[j] != 0.0;
            total += kSide;
        }
        EXPECT_GE(static_cast<double>(finished), kFinishedShare * total)
            << c.name << (c.inverse ? " inverse" : " forward") << ": " << finished << " of " << total;
    }
}
