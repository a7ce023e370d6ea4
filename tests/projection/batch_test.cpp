// The array entries of the operator against the single-point routines they
// must reproduce: the vector kernels of the hot kinds (transverse Mercator,
// Gauss-Krueger, Lambert, Albers, Mercator on the ellipsoid and the sphere)
// agree with them within a nanometre, and every point the kernels leave to
// the scalar path (refused, wrapped, beyond a series' reach) comes out exactly
// as the single-point routine makes it. With ZRPRJ_SIMD=scalar in the
// environment the array entries are the single-point routine, bit for bit.
#include "geodesy/ZrPJMath.h"
#include "projection/ZrPJBatch_p.h"
#include "projection/ZrPJOperator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {
constexpr double kDeg = CZrPJMath::kDegToRad;
// Planar agreement of the vector kernels with the scalar routines, metres:
// their sine, cosine, arctangent, exponential and logarithm round differently
// from the C library's in the last bits, a few tenths of a nanometre on the
// ground, but a chain of them (sine, logarithm, exponential of a cone's
// radius) moves a coordinate of a few thousand kilometres by up to four
// steps of its last place (0.47 nm each at 2000 km, 1.9 nm past 8000 km): the
// bound is eight such steps, and never below 5 nm: a cone's radius (8000 km
// for China's Albers) or a false easting with a zone number steps by 1.9 nm,
// and the northing inherits two such steps from the radius (more in feet
// with a divisor, where each step is coarser again).
constexpr double kPlanarFloor = 5e-9;
constexpr int kPlanarLastPlaces = 8;
// Geographic agreement, degrees: 1e-14 (a nanometre on the ground), or two
// units in the last place of the coordinate where that is larger (a longitude
// past 64 degrees has no finer step than 1.4e-14).
constexpr double kAngleTolerance = 1e-14;
constexpr int kLastPlaces = 2;
// The conformal inverses take the conformal latitude as 2 atan(exp(t)) - pi/2,
// which cancels to 2e-16 radians whatever the latitude, and each path rounds
// it its own way (5.7e-14 degrees measured, 6 nm on the ground). The Lambert
// inverse once took t as the difference of two logarithms near 15, which
// kept their roundings (3e-13 degrees between the paths).
constexpr double kConformalInverseAngle = 6e-14;
// Krueger's inverse chains a dozen vector functions (the complex sine sum,
// sinh, the Newton rounds on tan phi): 2.8e-14 degrees from the scalar route
// at worst (3 nm).
constexpr double kKrugerInverseAngle = 5e-14;

double Ulp(double v) {
    return std::fabs(std::nextafter(v, HUGE_VAL) - v);
}
double g_angleFloor = kAngleTolerance; // the definition under test's own floor
double AngleTolerance(double v) {
    return std::max(g_angleFloor, kLastPlaces * Ulp(v));
}
double PlanarTolerance(const CPoint2D& p, double metresPerUnit) {
    return std::max(kPlanarFloor, kPlanarLastPlaces * std::hypot(Ulp(p.x), Ulp(p.y)) * metresPerUnit);
}

bool ScalarPathForced() {
    const char* env = std::getenv("ZRPRJ_SIMD");
    return env && std::string(env) == "scalar";
}

struct Definition {
    const char* name;
    long kind;
    double a, invF;
    double lon0, lat0, phi1, phi2;
    int mode;
    double k0, fe, fn, unitFactor, divisor;
    double lonMin, lonMax, latMin, latMax; // the sweep's box, degrees
};

// Each kind with a kernel, in the set-ups the kernels distinguish: origin on
// and off the equator, one and two standard parallels, northern and southern
// cones, metres and feet with a divisor. The boxes reach beyond the
// classical transverse series and over the map's edges, where the scalar
// path takes over.
const Definition kDefinitions[] = {
    {"UTM 50N", 43006, 6378137.0, 298.257223563, 117.0, 0.0, 0.0, 0.0, 2, 0.9996, 500000.0, 0.0, 1.0, 1.0,
     100.0, 134.0, -10.0, 84.0},
    {"British grid", 43006, 6377563.396, 299.3249646, -2.0, 49.0, 0.0, 0.0, 2, 0.9996012717, 400000.0,
     -100000.0, 1.0, 1.0, -9.0, 3.0, 49.0, 61.0},
    {"Gauss-Krueger 20", 43005, 6378245.0, 298.3, 117.0, 0.0, 0.0, 0.0, 2, 1.0, 20500000.0, 0.0, 1.0, 1.0,
     108.0, 126.0, 18.0, 53.0},
    {"Lambert 2SP", 43020, 6378137.0, 298.257222101, -120.5, 36.5, 38.43333, 37.06667, 2, 0.9996, 2000000.0,
     500000.0, 1.0, 1.0, -126.0, -115.0, 30.0, 45.0},
    {"Lambert 1SP feet", 43020, 6378388.0, 297.0, 3.0, 46.8, 46.8, 46.8, 1, 0.99987742, 600000.0, 2200000.0,
     10000.0 / 3048.0, 2.0, -5.0, 10.0, 40.0, 52.0},
    {"Lambert south", 43020, 6378137.0, 298.257223563, 150.0, -20.0, -30.0, -50.0, 2, 0.9996, 0.0, 10000000.0,
     1.0, 1.0, 100.0, 200.0, -89.0, 10.0},
    {"Albers China", 43007, 6378245.0, 298.3, 105.0, 0.0, 25.0, 47.0, 2, 1.0, 0.0, 0.0, 1.0, 1.0, 75.0, 135.0,
     -60.0, 90.0},
    {"Mercator", 43004, 6378137.0, 298.257223563, 0.0, 0.0, 0.0, 0.0, 2, 1.0, 0.0, 0.0, 1.0, 1.0, -180.0,
     180.0, -89.0, 89.0},
    {"Web Mercator", 43045, 6378137.0, 298.257223563, 0.0, 0.0, 0.0, 0.0, 2, 1.0, 0.0, 0.0, 1.0, 1.0, -180.0,
     180.0, -89.0, 89.0},
    // The variants on Lambert's and the transverse Mercator's kernels, as
    // EPSG states Belgian Lambert 72 (31300), Greenland zone 5 east counted
    // westwards (2218), Michigan North on its enlarged ellipsoid (6201, K =
    // 1.0000382) and South Africa's Lo19 (2048); a westward cone south of the
    // equator in feet, and a south-orientated zone out into Krueger's reach.
    {"Belgian Lambert 72", 43055, 6378388.0, 297.0, 4.35693972222222, 90.0, 49.8333333333333,
     51.1666666666667, 2, 1.0, 150000.01256, 5400088.4378, 1.0, 1.0, -10.0, 20.0, 40.0, 60.0},
    {"Greenland west", 43054, 6378388.0, 297.0, -24.0, 70.5, 70.5, 70.5, 1, 1.0, 0.0, 0.0, 1.0, 1.0, -60.0,
     10.0, 55.0, 85.0},
    {"Westward south feet", 43054, 6378137.0, 298.257223563, 60.0, -40.0, -40.0, -40.0, 1, 0.9999, 400000.0,
     2000000.0, 10000.0 / 3048.0, 2.0, 30.0, 90.0, -70.0, -10.0},
    {"Michigan North", 43062, 6378206.4, 294.978698213898, -87.0, 44.7833333333333, 45.4833333333333,
     47.0833333333333, 2, 1.0000382, 609601.2192, 0.0, 1.0, 1.0, -100.0, -75.0, 35.0, 55.0},
    {"Lo19", 43059, 6378137.0, 298.257223563, 19.0, 0.0, 0.0, 0.0, 2, 1.0, 0.0, 0.0, 1.0, 1.0, 10.0, 28.0,
     -40.0, -20.0},
    {"South-orientated wide", 43059, 6378245.0, 298.3, 117.0, 40.0, 0.0, 0.0, 2, 0.9996, 500000.0, 1000000.0,
     1.0, 1.0, 90.0, 144.0, 20.0, 84.0},
};

CZrPJOperator Build(const Definition& s) {
    CZrPJOperator op;
    op.SetKind(s.kind);
    op.SetParallelMode(s.mode);
    op.SetSemiMajorAxis(s.a);
    op.SetFlattening(1.0 / s.invF);
    op.SetCentralMeridian(s.lon0 * kDeg);
    op.SetCentralParallel(s.lat0 * kDeg);
    op.SetStandardParallel1(s.phi1 * kDeg);
    op.SetStandardParallel2(s.phi2 * kDeg);
    op.SetScaleFactor(s.k0);
    op.SetFalseEasting(s.fe);
    op.SetFalseNorthing(s.fn);
    op.SetUnitFactor(s.unitFactor);
    op.SetDivisor(s.divisor);
    return op;
}

// A grid over the box, an odd count so that blocks end mid-register.
std::vector<CPoint2D> Sweep(const Definition& s) {
    constexpr int kSide = 53;
    std::vector<CPoint2D> pts;
    for (int i = 0; i < kSide; ++i)
        for (int j = 0; j < kSide; ++j)
            pts.emplace_back(s.lonMin + (s.lonMax - s.lonMin) * i / (kSide - 1),
                             s.latMin + (s.latMax - s.latMin) * j / (kSide - 1));
    return pts;
}

// Points every kernel must hand to the scalar path, or get right at the
// edges of its frame: non-numbers, longitudes a turn or more out, latitudes
// beyond and at the poles, the central meridian's antipode.
std::vector<CPoint2D> Awkward(const Definition& s) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = HUGE_VAL;
    return {{nan, 10.0},           {s.lon0, nan},          {inf, 20.0},
            {s.lon0, -inf},        {s.lon0 + 190.0, 40.0}, {s.lon0 - 545.0, 30.0},
            {s.lon0, 95.0},        {s.lon0 + 1.0, -100.0}, {s.lon0, 90.0},
            {s.lon0 + 2.0, -90.0}, {s.lon0 + 180.0, 0.0},  {180.0, 45.0},
            {-180.0, -45.0},       {s.lon0 + 0.5, 0.0}};
}

bool BitIdentical(const CPoint2D& a, const CPoint2D& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Runs the array entry over pts and compares each point with the single-point
// routine: the same success, a refused point untouched, a success within
// tolerance (exactly, on the scalar path). Returns the array's results.
std::vector<CPoint2D> CheckArray(const CZrPJOperator& op, const std::vector<CPoint2D>& pts, bool inverse,
                                 double metresPerUnit, const char* what) {
    std::vector<CPoint2D> array = pts;
    const long refused =
        inverse ? op.Inverse(&array[0].x, sizeof(CPoint2D), &array[0].y, sizeof(CPoint2D), array.size())
                : op.Forward(&array[0].x, sizeof(CPoint2D), &array[0].y, sizeof(CPoint2D), array.size());
    const bool exact = ScalarPathForced();
    long expectedRefused = 0;
    double worstPlanar = 0.0, worstAngle = 0.0;
    for (size_t i = 0; i < pts.size(); ++i) {
        CPoint2D single = pts[i];
        const int ok = inverse ? op.Inverse(single) : op.Forward(single);
        if (!ok) {
            ++expectedRefused;
            EXPECT_TRUE(BitIdentical(array[i], pts[i]))
                << what << " point " << i << " (" << pts[i].x << ", " << pts[i].y << ") refused but changed";
            continue;
        }
        if (exact) {
            EXPECT_TRUE(BitIdentical(array[i], single)) << what << " point " << i << " on the scalar path";
            continue;
        }
        if (inverse) {
            const double dx = std::fabs(array[i].x - single.x), dy = std::fabs(array[i].y - single.y);
            worstAngle = std::max({worstAngle, dx, dy});
            EXPECT_TRUE(dx <= AngleTolerance(single.x) && dy <= AngleTolerance(single.y))
                << what << " point " << i << " (" << pts[i].x << ", " << pts[i].y << "): array ("
                << array[i].x << ", " << array[i].y << ") single (" << single.x << ", " << single.y << ")";
        } else {
            const double d = std::hypot(array[i].x - single.x, array[i].y - single.y) * metresPerUnit;
            worstPlanar = std::max(worstPlanar, d);
            EXPECT_LE(d, PlanarTolerance(single, metresPerUnit))
                << what << " point " << i << " (" << pts[i].x << ", " << pts[i].y << ")";
        }
    }
    EXPECT_EQ(refused, expectedRefused) << what;
    std::printf("[ figures  ] %-18s %s on %s: largest difference %.3g m, %.3g deg\n", what,
                inverse ? "inverse" : "forward", CZrPJOperator::BatchPath(), worstPlanar, worstAngle);
    return array;
}
} // namespace

TEST(ProjectionArrays, EachPointIsWhatTheSinglePointRoutineMakesOfIt) {
    for (const Definition& s : kDefinitions) {
        CZrPJOperator op = Build(s);
        ASSERT_EQ(op.Create(), 1) << s.name;
        const bool conformal = s.kind == 43020 || s.kind == 43004 || s.kind == 43045 || s.kind == 43054 ||
                               s.kind == 43055 || s.kind == 43062;
        const bool transverse = s.kind == 43005 || s.kind == 43006 || s.kind == 43059;
        g_angleFloor = conformal    ? kConformalInverseAngle
                       : transverse ? kKrugerInverseAngle
                                    : kAngleTolerance;
        const double metresPerUnit = s.divisor / s.unitFactor;
        std::vector<CPoint2D> pts = Sweep(s);
        const std::vector<CPoint2D> awkward = Awkward(s);
        // The awkward points at several offsets inside a block and a register.
        for (size_t at : {size_t{0}, size_t{5}, size_t{63}, size_t{64}, size_t{130}})
            pts.insert(pts.begin() + static_cast<long>(at), awkward.begin(), awkward.end());
        const std::vector<CPoint2D> projected = CheckArray(op, pts, false, metresPerUnit, s.name);
        CheckArray(op, projected, true, metresPerUnit, s.name);
        // Planar points off every map: far out, non-numbers, the cone's apex.
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const std::vector<CPoint2D> offMap = {{1e12, 1e12},    {-3e7, 4e7},  {nan, 0.0},
                                              {0.0, HUGE_VAL}, {s.fe, s.fn}, {s.fe + 1e7, s.fn}};
        CheckArray(op, offMap, true, metresPerUnit, s.name);
    }
}

// Every length of array, so that each tail of a block and of a register is
// met, with a refused point at its end.
namespace {
// The operator's choice of kernel, which is its own business elsewhere.
struct KernelProbe : CZrPJOperator {
    using CZrPJOperator::FillBatch;
};
} // namespace

// A kind that silently fell back to the scalar path would pass the
// comparison above and lose its speed: every definition takes its kernel
// both ways.
TEST(ProjectionArrays, EachDefinitionTakesItsVectorKernel) {
    if (std::string(CZrPJOperator::BatchPath()) == "scalar") GTEST_SKIP() << "scalar path in use";
    for (const Definition& s : kDefinitions) {
        KernelProbe op;
        static_cast<CZrPJOperator&>(op) = Build(s);
        ASSERT_EQ(op.Create(), 1) << s.name;
        zrpj::BatchConstants k;
        EXPECT_TRUE(op.FillBatch(k, false)) << s.name << " forward";
        EXPECT_TRUE(op.FillBatch(k, true)) << s.name << " inverse";
    }
}

TEST(ProjectionArrays, EveryArrayLengthAndTail) {
    const Definition& utm = kDefinitions[0];
    CZrPJOperator op = Build(utm);
    ASSERT_EQ(op.Create(), 1);
    for (long n = 0; n <= 140; ++n) {
        std::vector<CPoint2D> pts;
        for (long i = 0; i < n; ++i)
            pts.emplace_back(114.0 + 0.05 * i, 10.0 + 0.3 * i);
        if (n > 0) pts.back().y = std::numeric_limits<double>::quiet_NaN();
        std::vector<CPoint2D> array = pts;
        const long refused = op.Forward(n ? &array[0].x : nullptr, sizeof(CPoint2D),
                                        n ? &array[0].y : nullptr, sizeof(CPoint2D), n);
        EXPECT_EQ(refused, n > 0 ? 1 : 0) << n;
        for (long i = 0; i < n; ++i) {
            CPoint2D single = pts[i];
            if (!op.Forward(single)) {
                EXPECT_TRUE(BitIdentical(array[i], pts[i])) << n << " " << i;
                continue;
            }
            EXPECT_LE(std::hypot(array[i].x - single.x, array[i].y - single.y), PlanarTolerance(single, 1.0))
                << n << " " << i;
        }
    }
}

// Columns: separate arrays and any stride read the same points as the
// interleaved array, and nothing between the strided values is touched.
TEST(ProjectionArrays, ColumnsWithStridesMatchInterleavedPoints) {
    const Definition& lambert = kDefinitions[3];
    CZrPJOperator op = Build(lambert);
    ASSERT_EQ(op.Create(), 1);
    std::vector<CPoint2D> pts = Sweep(lambert);
    pts.resize(301);
    const size_t n = pts.size();
    std::vector<CPoint2D> interleaved = pts;
    op.Forward(&interleaved[0].x, sizeof(CPoint2D), &interleaved[0].y, sizeof(CPoint2D), n);

    std::vector<double> xs(n), ys(n);
    constexpr size_t kStride = 3; // x, y and an untouched third value per row
    std::vector<double> rows(n * kStride);
    for (size_t i = 0; i < n; ++i) {
        xs[i] = pts[i].x;
        ys[i] = pts[i].y;
        rows[i * kStride] = pts[i].x;
        rows[i * kStride + 1] = pts[i].y;
        rows[i * kStride + 2] = -1.0 * static_cast<double>(i);
    }
    op.Forward(xs.data(), sizeof(double), ys.data(), sizeof(double), n);
    op.Forward(&rows[0], kStride * sizeof(double), &rows[1], kStride * sizeof(double), n);
    for (size_t i = 0; i < n; ++i) {
        EXPECT_TRUE(BitIdentical(CPoint2D(xs[i], ys[i]), interleaved[i])) << i;
        EXPECT_TRUE(BitIdentical(CPoint2D(rows[i * kStride], rows[i * kStride + 1]), interleaved[i])) << i;
        EXPECT_EQ(rows[i * kStride + 2], -1.0 * static_cast<double>(i)) << i;
    }
}

// ZRPRJ_SIMD chooses the path: "scalar" turns the vector path off, a named
// instruction set caps it (a CPU without it takes a narrower one).
TEST(ProjectionArrays, TheEnvironmentChoosesThePath) {
    const std::string path = CZrPJOperator::BatchPath();
    const char* env = std::getenv("ZRPRJ_SIMD");
    const std::string asked = env ? env : "auto";
    const std::vector<std::string> order = {"sse2", "sse4", "avx2", "avx512"};
    if (asked == "scalar") {
        EXPECT_EQ(path, "scalar");
    } else {
        const auto at = std::find(order.begin(), order.end(), path);
        ASSERT_NE(at, order.end()) << path;
        const auto cap = std::find(order.begin(), order.end(), asked);
        if (cap != order.end()) {
            EXPECT_LE(at - order.begin(), cap - order.begin()) << path << " over " << asked;
        }
    }
}

// ---- Every instruction set against the scalar path over the baseline's set-ups ----
namespace {
// The set-ups the projection baseline records for every kind (sphere and
// Krasovsky; a northern definition and its southern mirror across the
// antimeridian in feet with a divisor; the conics in each parallel mode),
// restricted to the kinds with a vector kernel.
struct BaselineEarth {
    double a, f;
};
const BaselineEarth kBaselineEarths[] = {{6371000.0, 0.0}, {6378245.0, 1.0 / 298.3}};
struct BaselineHemisphere {
    double lon0, lat0, phi1, phi2, k0, fe, fn, unitFactor, divisor;
};
const BaselineHemisphere kBaselineHemispheres[] = {
    {10.0, 20.0, 30.0, 50.0, 0.9996, 500000.0, 100000.0, 1.0, 1.0},
    {-150.0, -20.0, -30.0, -50.0, 1.0, 200000.0, 10000000.0, 10000.0 / 3048.0, 2.0},
};
const long kVectorKinds[] = {43004, 43005, 43006, 43007, 43020, 43045, 43054, 43055, 43059, 43062};
const char* const kTargets[] = {"sse2", "sse4", "avx2", "avx512"};

// The bound the vector path is held to against the scalar path: a nanometre
// on the ground and 1e-14 degrees, or one last place of the coordinate where
// that is coarser (a false easting with a zone number, a longitude past 64
// degrees).
constexpr double kVectorPlanarBound = 1e-9;
constexpr double kVectorAngleBound = 1e-14;

struct Worst {
    double planar = 0.0, angle = 0.0; // metres, degrees
    // compared; beyond the bound but within a last place of the coordinate
    // (the same rounding at its scale); beyond both
    long points = 0, lastPlace = 0, beyond = 0;
};

// The same meridian may come back as -180 from one path and +180 from the
// other: the difference of two longitudes is taken round the circle.
double LongitudeDifference(double a, double b) {
    const double d = std::fabs(a - b);
    return std::min(d, std::fabs(d - 360.0));
}

// Array against single point over pts; counts a lane that differs beyond the
// bound. Returns the array's results.
struct Allowance {
    double planar, angle; // metres, degrees
    int places;           // last places of the coordinate, where coarser
};

std::vector<CPoint2D> Compare(const CZrPJOperator& op, const std::vector<CPoint2D>& pts, bool inverse,
                              double metresPerUnit, const Allowance& allowed, Worst& worst,
                              std::string& firstFault) {
    std::vector<CPoint2D> array = pts;
    if (inverse)
        op.Inverse(&array[0].x, sizeof(CPoint2D), &array[0].y, sizeof(CPoint2D), array.size());
    else
        op.Forward(&array[0].x, sizeof(CPoint2D), &array[0].y, sizeof(CPoint2D), array.size());
    for (size_t i = 0; i < pts.size(); ++i) {
        CPoint2D single = pts[i];
        if (!(inverse ? op.Inverse(single) : op.Forward(single))) continue;
        bool bad;
        if (inverse) {
            const double dx = LongitudeDifference(array[i].x, single.x);
            const double dy = std::fabs(array[i].y - single.y);
            worst.angle = std::max({worst.angle, dx, dy});
            worst.beyond += dx > std::max(kVectorAngleBound, Ulp(single.x)) ||
                            dy > std::max(kVectorAngleBound, Ulp(single.y));
            worst.lastPlace += (dx > kVectorAngleBound && dx <= Ulp(single.x)) ||
                               (dy > kVectorAngleBound && dy <= Ulp(single.y));
            bad = dx > std::max(allowed.angle, Ulp(single.x)) || dy > std::max(allowed.angle, Ulp(single.y));
        } else {
            const double dx = std::fabs(array[i].x - single.x), dy = std::fabs(array[i].y - single.y);
            const double d = std::hypot(dx, dy) * metresPerUnit;
            worst.planar = std::max(worst.planar, d);
            const double bound = kVectorPlanarBound / metresPerUnit;
            worst.beyond += dx > std::max(bound, Ulp(single.x)) || dy > std::max(bound, Ulp(single.y));
            worst.lastPlace += (dx > bound && dx <= Ulp(single.x)) || (dy > bound && dy <= Ulp(single.y));
            bad = d > std::max(allowed.planar,
                               allowed.places * std::hypot(Ulp(single.x), Ulp(single.y)) * metresPerUnit);
        }
        ++worst.points;
        if (bad && firstFault.empty()) {
            char text[256];
            std::snprintf(text, sizeof text, "%s (%.17g, %.17g): array (%.17g, %.17g) single (%.17g, %.17g)",
                          inverse ? "inverse" : "forward", pts[i].x, pts[i].y, array[i].x, array[i].y,
                          single.x, single.y);
            firstFault = text;
        }
    }
    return array;
}
} // namespace

// The baseline's own grid: its longitudes from the central meridian and
// latitudes, the poles and edge meridians included, and two points outside.
std::vector<CPoint2D> BaselineGrid(const Definition& s) {
    std::vector<CPoint2D> pts;
    for (double lat : {-90.0, -40.0, 0.0, 60.0, 90.0})
        for (double dl : {-180.0, -100.0, 0.0, 45.0, 180.0})
            pts.emplace_back(s.lon0 + dl, lat);
    pts.emplace_back(s.lon0 + 190.0, 95.0);
    pts.emplace_back(s.lon0 - 200.0, -100.0);
    return pts;
}

// The whole globe, densely, and the points the scalar path keeps.
std::vector<CPoint2D> GlobeGrid(const Definition& s) {
    std::vector<CPoint2D> pts = Sweep(s);
    const std::vector<CPoint2D> awkward = Awkward(s);
    pts.insert(pts.end(), awkward.begin(), awkward.end());
    return pts;
}

// What each grid allows. The baseline's grid: the bound itself, 1 nm and
// 1e-14 degrees, or one last place of the coordinate where that is coarser
// (a northing past 8.4e6 m, a longitude past 64 degrees): the vector sine,
// cosine, arctangent, arcsine, exponential and logarithm round as the C
// library does there, so nothing else may differ. The globe reaches tens of
// thousands of kilometres, where a last place is 3.7 to 7.5 nm, and a
// Lambert radius past the far pole is 5e7 m: 25 nm, or three last places of
// the coordinate (30 nm each past 1.3e8 feet); there the C library's own
// rare misroundings (one argument in a few thousand) still show.
struct SweepGrid {
    const char* name;
    std::vector<CPoint2D> (*points)(const Definition&);
    Allowance allowed;
};
const SweepGrid kGrids[] = {{"baseline", BaselineGrid, {kVectorPlanarBound, kVectorAngleBound, 1}},
                            {"globe", GlobeGrid, {2.5e-8, 6e-14, 3}}};

// Over every set-up of the projection baseline for every kind with a kernel,
// each instruction set the CPU has gives the scalar path's results within
// the bound.
TEST(ProjectionArrays, EveryInstructionSetWithinTheBoundOverTheBaseline) {
    if (ScalarPathForced()) GTEST_SKIP() << "the scalar path is forced";
    const char* env = std::getenv("ZRPRJ_SIMD");
    for (const char* target : kTargets) {
        if (!zrpj::BatchUsePath(target)) continue; // the CPU lacks it
        for (const SweepGrid& grid : kGrids)
            for (long kind : kVectorKinds) {
                Worst worst;
                std::string fault;
                for (int e = 0; e < 2; ++e)
                    for (int h = 0; h < 2; ++h)
                        for (int mode = 1; mode <= 3; ++mode) {
                            if (kind != 43007 && kind != 43020 && mode != 2) continue;
                            const BaselineEarth& earth = kBaselineEarths[e];
                            const BaselineHemisphere& hs = kBaselineHemispheres[h];
                            Definition s{"",
                                         kind,
                                         earth.a,
                                         0.0,
                                         hs.lon0,
                                         hs.lat0,
                                         hs.phi1,
                                         hs.phi2,
                                         mode,
                                         hs.k0,
                                         hs.fe,
                                         hs.fn,
                                         hs.unitFactor,
                                         hs.divisor,
                                         hs.lon0 - 180.0,
                                         hs.lon0 + 180.0,
                                         -90.0,
                                         90.0};
                            CZrPJOperator op = Build(s);
                            op.SetFlattening(earth.f);
                            ASSERT_EQ(op.Create(), 1) << kind;
                            const double metresPerUnit = s.divisor / s.unitFactor;
                            const std::vector<CPoint2D> projected =
                                Compare(op, grid.points(s), false, metresPerUnit, grid.allowed, worst, fault);
                            Compare(op, projected, true, metresPerUnit, grid.allowed, worst, fault);
                        }
                EXPECT_TRUE(fault.empty()) << kind << " on " << target << ", " << grid.name << ": " << fault;
                std::printf("[ figures  ] %ld on %-6s %-8s: largest difference %.3g m, %.3g deg; of %ld, %ld "
                            "beyond 1 nm / 1e-14 deg by one last place of the coordinate, %ld by more\n",
                            kind, target, grid.name, worst.planar, worst.angle, worst.points, worst.lastPlace,
                            worst.beyond);
            }
    }
    zrpj::BatchUsePath(env ? env : "auto");
}

// The vector path's elementary functions against the C library's, which the
// scalar path calls, on every instruction set: they agree in all but a few
// arguments per thousand, and there by one unit in the last place. (Those are
// the C library's own misroundings: its exp, log, atan and asin are not
// correctly rounded everywhere, and where they differ the vector functions'
// results were checked to be the correctly rounded ones.) Highway's own
// functions, which the path used before, differed in 1.4 to 30 per cent of
// these arguments and by up to two units.
TEST(ProjectionArrays, VectorElementaryFunctionsRoundAsTheCLibraryDoes) {
    if (ScalarPathForced()) GTEST_SKIP() << "the scalar path is forced";
    constexpr double kMisroundedShare = 0.005;
    constexpr std::size_t kCount = 64 * zrpj::kBatchBlock;
    struct Function {
        zrpj::BatchMath f;
        const char* name;
        double lo, hi; // the arguments' range, or (exponent) their logarithms'.
        bool exponent;
        double (*ref)(double, double);
    };
    const Function kFunctions[] = {
        {zrpj::BatchMath::kExp, "exp", -20.0, 20.0, false, [](double x, double) { return std::exp(x); }},
        {zrpj::BatchMath::kLog, "log", -20.0, 20.0, true, [](double x, double) { return std::log(x); }},
        {zrpj::BatchMath::kLog, "log near 1", 0.9, 1.1, false, [](double x, double) { return std::log(x); }},
        {zrpj::BatchMath::kAtan, "atan", -10.0, 10.0, true, [](double x, double) { return std::atan(x); }},
        {zrpj::BatchMath::kAtan, "atan", -2.0, 2.0, false, [](double x, double) { return std::atan(x); }},
        {zrpj::BatchMath::kAtan2, "atan2", -3.0, 3.0, false,
         [](double y, double x) { return std::atan2(y, x); }},
        {zrpj::BatchMath::kAsin, "asin", -1.0, 1.0, false, [](double x, double) { return std::asin(x); }},
        {zrpj::BatchMath::kSin, "sin", -7.0, 7.0, false, [](double x, double) { return std::sin(x); }},
        {zrpj::BatchMath::kCos, "cos", -7.0, 7.0, false, [](double x, double) { return std::cos(x); }},
    };
    // Arguments spread by the golden ratio's fractional multiples.
    auto spread = [](std::size_t i, double lo, double hi) {
        const double f = std::fmod(0.6180339887498949 * static_cast<double>(i + 1), 1.0);
        return lo + (hi - lo) * f;
    };
    const char* env = std::getenv("ZRPRJ_SIMD");
    for (const char* target : kTargets) {
        if (!zrpj::BatchUsePath(target)) continue;
        for (const Function& fn : kFunctions) {
            std::vector<double> x(kCount), y(kCount), out(kCount);
            for (std::size_t i = 0; i < kCount; ++i) {
                x[i] = spread(i, fn.lo, fn.hi);
                if (fn.exponent) x[i] = std::exp(x[i]);
                y[i] = spread(i + kCount, -2.0, 2.0);
            }
            zrpj::BatchMathForTest(fn.f, x.data(), y.data(), out.data(), kCount);
            std::size_t differing = 0;
            double worst = 0.0;
            for (std::size_t i = 0; i < kCount; ++i) {
                const double expected = fn.ref(x[i], y[i]);
                if (out[i] == expected) continue;
                ++differing;
                worst = std::max(worst, std::fabs(out[i] - expected) / Ulp(expected));
            }
            EXPECT_LE(worst, 1.0) << fn.name << " on " << target;
            EXPECT_LE(differing, kMisroundedShare * kCount) << fn.name << " on " << target;
        }
    }
    zrpj::BatchUsePath(env ? env : "auto");
}

// The isometric latitude is odd in phi. Taken as ln((1 + sin phi) / cos phi)
// south of the equator, 1 + sin phi cancelled and kept the sine's rounding
// (a micrometre at -88 degrees), and the vector path, whose sine rounds
// otherwise, had to leave the south to the scalar one. Mirror latitudes now
// give mirror northings on both paths, to the bit.
TEST(ProjectionArrays, MirrorLatitudesGiveMirrorNorthings) {
    Definition mercator = kDefinitions[7];
    CZrPJOperator op = Build(mercator);
    ASSERT_EQ(op.Create(), 1);
    std::vector<CPoint2D> north, south;
    for (double lat = 0.5; lat < 89.0; lat += 0.75) {
        north.emplace_back(15.0, lat);
        south.emplace_back(15.0, -lat);
    }
    std::vector<CPoint2D> arrayNorth = north, arraySouth = south;
    op.Forward(&arrayNorth[0].x, sizeof(CPoint2D), &arrayNorth[0].y, sizeof(CPoint2D), arrayNorth.size());
    op.Forward(&arraySouth[0].x, sizeof(CPoint2D), &arraySouth[0].y, sizeof(CPoint2D), arraySouth.size());
    for (size_t i = 0; i < north.size(); ++i) {
        CPoint2D n = north[i], s = south[i];
        ASSERT_TRUE(op.Forward(n) && op.Forward(s));
        EXPECT_EQ(s.y, -n.y) << "single point at latitude " << north[i].y;
        EXPECT_EQ(arraySouth[i].y, -arrayNorth[i].y) << "array at latitude " << north[i].y;
    }
}
