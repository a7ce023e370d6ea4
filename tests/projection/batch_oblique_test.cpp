// The array forwards of Laborde's oblique Mercator and of the oblique
// transformation against their single-point routines, on every instruction
// set the CPU has: over the grid's area and well beyond it (a dense sweep and
// random points) each point the vector kernel finishes agrees with the
// single-point routine within a nanometre, and each point it leaves to the
// scalar path (a pole, the turned pole, non-numbers, longitudes a turn out)
// comes out exactly as the single-point routine makes it, refusals restored
// and counted.
#include "geodesy/ZrPJMath.h"
#include "projection/ZrPJBatch_p.h"
#include "projection/ZrPJOperator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {
constexpr double kDeg = CZrPJMath::kDegToRad;
// Both forwards are angles (a sphere latitude, a turned longitude and
// latitude) times the radius, each angle from a chain of logarithm,
// exponential and arctangent that the vector path and the C library round
// alike in all but a few arguments per thousand, there by a last place. A
// last place of an angle near a radian is a last place of the radius on the
// ground (0.93 nm for the earth), and the chains carry a few: the bound is
// eight last places of the radius, or of the coordinate where that is
// larger (a turned longitude of 18000 km), and never below a nanometre.
constexpr double kPlanarBound = 1e-9;
constexpr int kLastPlaces = 8;

double Ulp(double v) {
    return std::fabs(std::nextafter(v, HUGE_VAL) - v);
}

bool ScalarPathForced() {
    const char* env = std::getenv("ZRPRJ_SIMD");
    return env && std::string(env) == "scalar";
}

struct ObliqueCase {
    const char* name;
    long kind;
    double a, invF;
    double lon0, lat0, phi1, lam1, alpha; // degrees
    double k0, fe, fn;
    double lonMin, lonMax, latMin, latMax; // the sweep's box, degrees
};

// Madagascar's grid as published (and turned further, and south of the
// equator's mirror), the rotated pole of a climate model across the
// antimeridian, a transverse and a polar turn of the globe. The boxes reach
// far past each grid's use, to the poles and the antipode.
const ObliqueCase kCases[] = {
    {"Laborde Madagascar", 43066, 6378388.0, 297.0, 46.4372291666667, -18.9, 0, 0, 18.9, 0.9995, 400000.0,
     800000.0, 30.0, 65.0, -45.0, 10.0},
    {"Laborde far afield", 43066, 6378388.0, 297.0, 46.4372291666667, -18.9, 0, 0, 18.9, 0.9995, 400000.0,
     800000.0, -134.0, 226.0, -90.0, 90.0},
    {"Laborde turned 60", 43066, 6378137.0, 298.257223563, 10.0, 35.0, 0, 0, 60.0, 1.0, 0.0, 0.0, -20.0,
     40.0, 10.0, 60.0},
    {"Laborde on the equator", 43066, 6378137.0, 298.257223563, -60.0, 0.0, 0, 0, 0.0, 1.0, 0.0, 0.0, -80.0,
     -40.0, -25.0, 25.0},
    {"rotated pole", 43076, 6378137.0, 298.257223563, 180.0, 0, 39.25, -162.0, 0, 1.0, 1e5, -2e5, -180.0,
     180.0, -90.0, 90.0},
    {"transverse turn", 43076, 6371000.0, 0.0, -30.0, 0, 0.0, 45.0, 0, 1.0, 0.0, 0.0, -180.0, 180.0, -90.0,
     90.0},
    {"polar turn", 43076, 6371000.0, 0.0, 0.0, 0, 90.0, 0.0, 0, 1.0, 0.0, 0.0, -180.0, 180.0, -90.0, 90.0},
    {"southern pole", 43076, 6371000.0, 0.0, 10.0, 0, -60.0, 100.0, 0, 1.0, 0.0, 0.0, -180.0, 180.0, -90.0,
     90.0},
};

CZrPJOperator Build(const ObliqueCase& c) {
    CZrPJOperator op;
    op.SetKind(c.kind);
    op.SetSemiMajorAxis(c.a);
    op.SetFlattening(c.invF > 0.0 ? 1.0 / c.invF : 0.0);
    op.SetCentralMeridian(c.lon0 * kDeg);
    op.SetCentralParallel(c.lat0 * kDeg);
    op.SetStandardParallel1(c.phi1 * kDeg);
    op.SetFirstPointLongitude(c.lam1 * kDeg);
    op.SetAzimuth(c.alpha * kDeg);
    op.SetScaleFactor(c.k0);
    op.SetFalseEasting(c.fe);
    op.SetFalseNorthing(c.fn);
    return op;
}

// A dense grid over the box (an odd side, so that blocks end mid-register),
// random points in it, and the points a kernel must leave to the scalar
// path: non-numbers, a turn out, the poles, the turned globe's poles and
// the antipodes of the centre and of the turned pole.
std::vector<CPoint2D> Points(const ObliqueCase& c) {
    constexpr int kSide = 97;
    constexpr int kRandom = 4000;
    std::vector<CPoint2D> pts;
    for (int i = 0; i < kSide; ++i)
        for (int j = 0; j < kSide; ++j)
            pts.emplace_back(c.lonMin + (c.lonMax - c.lonMin) * i / (kSide - 1),
                             c.latMin + (c.latMax - c.latMin) * j / (kSide - 1));
    std::mt19937_64 rng(0x1ab0dULL + static_cast<unsigned long long>(c.kind));
    std::uniform_real_distribution<double> lon(c.lonMin, c.lonMax), lat(c.latMin, c.latMax);
    for (int i = 0; i < kRandom; ++i) {
        const double x = lon(rng);
        pts.emplace_back(x, lat(rng));
    }
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = HUGE_VAL;
    const double poleLon = c.lon0 + c.lam1, poleLat = c.phi1;
    const std::vector<CPoint2D> awkward = {
        {nan, 10.0},           {c.lon0, nan},        {inf, 20.0},           {c.lon0, -inf},
        {c.lon0 + 545.0, 5.0}, {c.lon0, 90.0},       {c.lon0 + 3.0, -90.0}, {c.lon0, 95.0},
        {c.lon0 + 180.0, 0.0}, {180.0, c.lat0},      {-180.0, -c.lat0},     {c.lon0, c.lat0},
        {c.lam1, poleLat},     {c.lam1, -poleLat},   {poleLon, poleLat},    {poleLon + 180.0, -poleLat},
        {c.lon0, poleLat},     {c.lon0, -poleLat},   {c.lon0 + 180.0, poleLat}, {c.lon0 + 180.0, -poleLat},
        {c.lon0 - c.lam1, 90.0 - poleLat},           {c.lon0 + 180.0 - c.lam1, poleLat - 90.0}};
    pts.insert(pts.end(), awkward.begin(), awkward.end());
    return pts;
}

bool BitIdentical(const CPoint2D& a, const CPoint2D& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The turned globe's inverse over the forward's own results (and the
// points the forward refused, which are beyond the map or not numbers): the
// same refusals, restored, and degrees within kAngleBound or two last places
// of the coordinate. A last place of a map coordinate of 18000 km is 3.7 nm,
// 3.3e-14 degrees, and the sines and arctangents of the two paths round it
// their own ways (2.4e-14 degrees measured, 2.7 nm).
constexpr double kAngleBound = 5e-14;
void CheckInverse(const CZrPJOperator& op, const std::vector<CPoint2D>& pts, const char* name,
                  const char* target) {
    std::vector<CPoint2D> array = pts;
    const long refused = op.Inverse(&array[0].x, sizeof(CPoint2D), &array[0].y, sizeof(CPoint2D), array.size());
    long expectedRefused = 0, faults = 0;
    for (size_t i = 0; i < pts.size(); ++i) {
        CPoint2D single = pts[i];
        if (!op.Inverse(single)) {
            ++expectedRefused;
            EXPECT_TRUE(BitIdentical(array[i], pts[i])) << name << " inverse on " << target << " changed";
            continue;
        }
        if (BitIdentical(array[i], single)) continue;
        // Longitudes on the ground: a half turn either way is one meridian,
        // and near a pole a longitude's degree is short.
        const double dx = std::fabs(std::remainder(array[i].x - single.x, 360.0)) * std::cos(single.y * kDeg);
        const double dy = std::fabs(array[i].y - single.y);
        // The turned longitude (up to a half turn) plus a central meridian of
        // 180 degrees is folded by a turn: two last places of a half turn.
        const double dxBound = std::max({kAngleBound, 2 * Ulp(single.x), 2 * Ulp(180.0)});
        const bool within = !ScalarPathForced() && dx <= dxBound &&
                            dy <= std::max(kAngleBound, 2 * Ulp(single.y));
        if (!within && ++faults <= 5)
            ADD_FAILURE() << name << " inverse on " << target << ": (" << pts[i].x << ", " << pts[i].y
                          << ") array (" << array[i].x << ", " << array[i].y << ") single (" << single.x
                          << ", " << single.y << ")";
    }
    EXPECT_EQ(faults, 0) << name << " inverse on " << target;
    EXPECT_EQ(refused, expectedRefused) << name << " inverse on " << target;
}

const char* const kTargets[] = {"sse2", "sse4", "avx2", "avx512"};
} // namespace

TEST(ObliqueArrays, EachInstructionSetProjectsAsTheSinglePointRoutine) {
    const char* env = std::getenv("ZRPRJ_SIMD");
    const bool exact = ScalarPathForced();
    for (const char* target : kTargets) {
        if (!exact && !zrpj::BatchUsePath(target)) continue; // the CPU lacks it
        for (const ObliqueCase& c : kCases) {
            CZrPJOperator op = Build(c);
            ASSERT_EQ(op.Create(), 1) << c.name;
            const std::vector<CPoint2D> pts = Points(c);
            std::vector<CPoint2D> array = pts;
            const long refused =
                op.Forward(&array[0].x, sizeof(CPoint2D), &array[0].y, sizeof(CPoint2D), array.size());
            long expectedRefused = 0, differing = 0, faults = 0;
            double worst = 0.0, worstPlaces = 0.0;
            for (size_t i = 0; i < pts.size(); ++i) {
                CPoint2D single = pts[i];
                if (!op.Forward(single)) {
                    ++expectedRefused;
                    EXPECT_TRUE(BitIdentical(array[i], pts[i]))
                        << c.name << " on " << target << ": (" << pts[i].x << ", " << pts[i].y
                        << ") refused but changed";
                    continue;
                }
                if (BitIdentical(array[i], single)) continue;
                ++differing;
                const double dx = std::fabs(array[i].x - single.x), dy = std::fabs(array[i].y - single.y);
                worst = std::max({worst, dx, dy});
                const double place = Ulp(std::max({std::fabs(single.x), std::fabs(single.y), c.a}));
                worstPlaces = std::max(worstPlaces, std::hypot(dx, dy) / place);
                const bool within = !exact && std::hypot(dx, dy) <= std::max(kPlanarBound, kLastPlaces * place);
                if (!within && ++faults <= 5)
                    ADD_FAILURE() << c.name << " on " << target << ": (" << pts[i].x << ", " << pts[i].y
                                  << ") array (" << array[i].x << ", " << array[i].y << ") single ("
                                  << single.x << ", " << single.y << ")";
            }
            EXPECT_EQ(faults, 0) << c.name << " on " << target;
            EXPECT_EQ(refused, expectedRefused) << c.name << " on " << target;
            if (c.kind == 43076) CheckInverse(op, array, c.name, target);
            std::printf("[ figures  ] %-22s on %-6s: %ld of %zu points not bit for bit, largest %.3g m, %.0f "
                        "last places\n",
                        c.name, CZrPJOperator::BatchPath(), differing, pts.size(), worst, worstPlaces);
        }
        if (exact) break;
    }
    if (!exact) zrpj::BatchUsePath(env ? env : "auto");
}
