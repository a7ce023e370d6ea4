// The array forwards and inverses of the transverse Mercator zoned grid, of
// Equal Earth, the stereographics, Goode's map, Cassini-Soldner (also
// hyperbolic) and the near-conformal cone against their single-point
// routines, on every instruction
// set the CPU has: over each kind's area and well beyond it (a dense sweep
// and random points) each point the vector kernel finishes agrees with the
// single-point routine within a nanometre on the ground (or a few last places
// of the coordinate, where a zone's millions make that coarser), and each
// point it leaves to the scalar path (a pole, non-numbers, a longitude a turn
// out, an easting outside every zone, the map's edge) comes out exactly as
// the single-point routine makes it, refusals restored and counted.
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
// coarser (a zoned easting carries tens of millions of metres: 7.5 nm a last
// place past 33 zones); the kernels' functions round as the C library's in
// all but a few arguments per thousand, by one last place, and a chain of
// them (sine, logarithm, exponential, the stereographic's division by
// 1 + cos z, which the kernels keep above 1/2) moves a coordinate by a few.
constexpr double kPlanarBound = 1e-9;
constexpr int kPlanarLastPlaces = 8;
// Geographic: a nanometre on the ground, or four last places of the degrees
// (a longitude of 180 degrees steps by 2.8e-14, 3 nm).
constexpr double kGroundBound = 1e-9;
constexpr int kLastPlaces = 4;

double Ulp(double v) {
    return std::fabs(std::nextafter(v, HUGE_VAL) - v);
}

bool ScalarPathForced() {
    const char* env = std::getenv("ZRPRJ_SIMD");
    return env && std::string(env) == "scalar";
}

struct MarginalCase {
    const char* name;
    long kind;
    double a, invF;
    double lon0, lat0, lam1; // degrees: central (initial) meridian, origin, zone width
    double phi1;             // degrees: the standard parallel
    double k0, fe, fn;
    double lonMin, lonMax, latMin, latMax; // the sweep's box, degrees
    bool forward, inverse;                 // the directions with a vector kernel
};

// The UTM grid systems as EPSG states them (north and south), a grid of
// three-degree zones from Greenwich on Krasovsky, Equal Earth on WGS 84 and
// on a sphere, its central meridian off Greenwich so that the edge of the map
// crosses the sweep; the Dutch oblique stereographic (RD New) and one centred
// far south; the polar stereographics of the UPS (variant A), of Antarctica
// (EPSG:3031, variant B) and of Terre Adelie (variant C); Goode's map;
// Cassini-Soldner on Palestine's grid and about a Bornean meridian. The
// boxes reach to both poles and round the globe.
constexpr double kWgsA = 6378137.0, kWgsInvF = 298.257223563;
const MarginalCase kCases[] = {
    {"UTM grid north", 43067, kWgsA, kWgsInvF, -180.0, 0.0, 6.0, 0.0, 0.9996, 500000.0, 0.0, -180.0, 180.0,
     -10.0, 84.0, true, true},
    {"UTM grid south", 43067, kWgsA, kWgsInvF, -180.0, 0.0, 6.0, 0.0, 0.9996, 500000.0, 10000000.0, -180.0,
     180.0, -80.0, 10.0, true, true},
    {"zones of three degrees", 43067, 6378245.0, 298.3, 0.0, 0.0, 3.0, 0.0, 1.0, 500000.0, 0.0, -180.0, 180.0,
     -90.0, 90.0, true, true},
    {"Equal Earth", 43060, kWgsA, kWgsInvF, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, -180.0, 180.0, -90.0, 90.0,
     true, true},
    {"Equal Earth Pacific", 43060, kWgsA, kWgsInvF, 150.0, 0.0, 0.0, 0.0, 1.0, 1e5, -2e5, -180.0, 180.0,
     -90.0, 90.0, true, true},
    {"Equal Earth sphere", 43060, 6371000.0, 0.0, -90.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, -180.0, 180.0, -90.0,
     90.0, true, true},
    {"RD New", 43048, 6377397.155, 299.1528128, 5.38763888888889, 52.1561605555556, 0.0, 0.0, 0.9999079,
     155000.0, 463000.0, -180.0, 180.0, -90.0, 90.0, true, false},
    {"stereographic far south", 43048, kWgsA, kWgsInvF, -70.0, -75.0, 0.0, 0.0, 1.0, 0.0, 0.0, -180.0, 180.0,
     -90.0, 90.0, true, false},
    {"UPS north", 43049, kWgsA, kWgsInvF, 0.0, 90.0, 0.0, 0.0, 0.994, 2000000.0, 2000000.0, -180.0, 180.0,
     -90.0, 90.0, true, false},
    {"Antarctic polar", 43050, kWgsA, kWgsInvF, 0.0, 0.0, 0.0, -71.0, 1.0, 0.0, 0.0, -180.0, 180.0, -90.0,
     90.0, true, false},
    {"Terre Adelie", 43051, 6378388.0, 297.0, 140.0, 0.0, 0.0, -67.0, 1.0, 300000.0, 200000.0, -180.0, 180.0,
     -90.0, 90.0, true, false},
    {"Goode", 43074, kWgsA, 0.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, -180.0, 180.0, -90.0, 90.0, false, true},
    {"Palestine Cassini", 43057, 6378300.789, 293.4663155389811, 35.2120805555556, 31.7340969444444, 0.0, 0.0,
     1.0, 170251.555, 126867.909, -180.0, 180.0, -90.0, 90.0, true, true},
    {"Cassini Borneo", 43057, 6377298.556, 300.8017, 115.0, 4.0, 0.0, 0.0, 1.0, 0.0, 0.0, 100.0, 130.0, -10.0,
     20.0, true, true},
    {"Goode off Greenwich", 43074, 6371000.0, 0.0, 11.0, 0.0, 0.0, 0.0, 1.0, 5e5, 0.0, -180.0, 180.0, -90.0,
     90.0, false, true},
    // The Levant's near-conformal zone (EPSG:22700), and Vanua Levu's
    // hyperbolic Cassini (Clarke 1880 as its grid takes it, a = 6378306.3696,
    // b = 6356571.996), each over the world and over its own area.
    {"Levant near-conformal", 43056, 6378249.2, 293.4660212936269, 37.35, 34.65, 0.0, 0.0, 0.9996256,
     300000.0, 300000.0, -180.0, 180.0, -90.0, 90.0, true, true},
    {"Levant zone", 43056, 6378249.2, 293.4660212936269, 37.35, 34.65, 0.0, 0.0, 0.9996256, 300000.0,
     300000.0, 33.0, 42.0, 29.0, 38.0, true, true},
    {"Vanua Levu", 43058, 6378306.3696, 6378306.3696 / (6378306.3696 - 6356571.996), 179.333333333333, -16.25,
     0.0, 0.0, 1.0, 251727.9155424, 334519.953768, -180.0, 180.0, -90.0, 90.0, true, true},
    {"Vanua Levu island", 43058, 6378306.3696, 6378306.3696 / (6378306.3696 - 6356571.996), 179.333333333333,
     -16.25, 0.0, 0.0, 1.0, 251727.9155424, 334519.953768, 176.0, 183.0, -20.0, -13.0, true, true},
};

CZrPJOperator Build(const MarginalCase& c) {
    CZrPJOperator op;
    op.SetKind(c.kind);
    op.SetSemiMajorAxis(c.a);
    op.SetFlattening(c.invF > 0.0 ? 1.0 / c.invF : 0.0);
    op.SetCentralMeridian(c.lon0 * kDeg);
    op.SetCentralParallel(c.lat0 * kDeg);
    op.SetFirstPointLongitude(c.lam1 * kDeg);
    op.SetStandardParallel1(c.phi1 * kDeg);
    op.SetScaleFactor(c.k0);
    op.SetFalseEasting(c.fe);
    op.SetFalseNorthing(c.fn);
    return op;
}

// A dense grid over the box (an odd side, so that blocks end mid-register),
// random points in it, and the points a kernel must leave to the scalar
// path: non-numbers, a turn out, the poles, zone boundaries and the edge.
std::vector<CPoint2D> Points(const MarginalCase& c) {
    constexpr int kSide = 181;
    constexpr int kRandom = 8000;
    std::vector<CPoint2D> pts;
    for (int i = 0; i < kSide; ++i)
        for (int j = 0; j < kSide; ++j)
            pts.emplace_back(c.lonMin + (c.lonMax - c.lonMin) * i / (kSide - 1),
                             c.latMin + (c.latMax - c.latMin) * j / (kSide - 1));
    std::mt19937_64 rng(0x3a26ULL + static_cast<unsigned long long>(c.kind));
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
                                           {c.lon0 + 180.0, 0.0},
                                           {c.lon0 - 180.0, 45.0},
                                           {180.0, 0.0},
                                           {-180.0, -30.0},
                                           {c.lon0 + c.lam1, 0.0},
                                           {c.lon0 - 1e-13, 12.0},
                                           {c.lon0 + 1e-13, -12.0},
                                           {179.9999999999, 60.0}};
    pts.insert(pts.end(), awkward.begin(), awkward.end());
    return pts;
}

bool BitIdentical(const CPoint2D& a, const CPoint2D& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Map points the inverse must meet beside the forward's own: an easting
// between and outside the zones, non-numbers, past the map's edge and poles.
std::vector<CPoint2D> AwkwardMapPoints(const MarginalCase& c) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    return {{nan, 0.0},          {c.fe, nan},        {c.fe + 4e5, 1e6},    {c.fe - 6e5, 1e6},
            {61e6 + c.fe, 2e6},  {-1e6, 3e6},        {c.fe, c.fn + 2e7},   {c.fe, c.fn - 2e7},
            {c.fe + 1.8e7, 0.0}, {c.fe + 3e7, c.fn}, {c.fe, c.fn + 8.6e6}, {c.fe - 1.75e7, c.fn - 1e5}};
}

struct Tally {
    long differing = 0, faults = 0;
    double worst = 0.0; // metres on the ground
};

// The array entry over pts against the single-point routine, point by point.
template <class Single, class Array>
Tally Compare(const std::vector<CPoint2D>& pts, Single single, Array array, bool geographic,
              const char* what) {
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
            // A half turn either way is one meridian; near a pole a degree of
            // longitude is short.
            const double dx = std::fabs(std::remainder(out[i].x - one.x, 360.0)) * std::cos(one.y * kDeg);
            const double dy = std::fabs(out[i].y - one.y);
            ground = std::hypot(dx, dy) * kMetresPerDegree;
            // A map point is itself only as fine as its last place (3.7 nm
            // for a zoned easting of 30 000 km), and no inverse finer.
            bound = std::max({kGroundBound, kLastPlaces * std::max(Ulp(one.x), Ulp(one.y)) * kMetresPerDegree,
                              std::max(Ulp(pts[i].x), Ulp(pts[i].y))});
        } else {
            ground = std::hypot(out[i].x - one.x, out[i].y - one.y);
            bound = std::max(kPlanarBound, kPlanarLastPlaces * std::max(Ulp(one.x), Ulp(one.y)));
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

const char* const kTargets[] = {"sse2", "sse4", "avx2", "avx512"};

// The operator's choice of kernel, which is its own business elsewhere.
struct KernelProbe : CZrPJOperator {
    using CZrPJOperator::FillBatch;
};
} // namespace

TEST(MarginalArrays, EachInstructionSetProjectsAsTheSinglePointRoutine) {
    const char* env = std::getenv("ZRPRJ_SIMD");
    const bool exact = ScalarPathForced();
    for (const char* target : kTargets) {
        if (!exact && !zrpj::BatchUsePath(target)) continue; // the CPU lacks it
        for (const MarginalCase& c : kCases) {
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
                false, fwd.c_str());
            // The inverse over the forward's results (the single routine's,
            // so that both paths start from the same map points).
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

// The vector path must actually take these kinds: a kind that silently fell
// back to the scalar path would pass the comparison above and lose its speed.
TEST(MarginalArrays, TheKindsHaveAVectorKernel) {
    if (std::string(CZrPJOperator::BatchPath()) == "scalar") GTEST_SKIP() << "scalar path in use";
    for (const MarginalCase& c : kCases) {
        KernelProbe op;
        static_cast<CZrPJOperator&>(op) = Build(c);
        ASSERT_EQ(op.Create(), 1) << c.name;
        zrpj::BatchConstants k;
        EXPECT_EQ(op.FillBatch(k, false), c.forward) << c.name << " forward";
        EXPECT_EQ(op.FillBatch(k, true), c.inverse) << c.name << " inverse";
    }
}
