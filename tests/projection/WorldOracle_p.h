#pragma once

// Test helpers for the azimuthal, world and oblique Mercator kinds: build an
// operator from degrees, run a grid through Forward against PROJ and back
// through Inverse, and print the worst differences.
#include "geodesy/ZrPJMath.h"
#include "projection/ZrPJOperator.h"
#include "support/ProjOracle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace worldoracle {

constexpr double kDeg = CZrPJMath::kDegToRad;
// Forward agreement with the oracle: PROJ's usual bar, a tenth of a
// millimetre on the ground.
constexpr double kForwardTolerance = 1e-4;
// Forward then inverse, as a length on the ground: the latitude error and the
// longitude error times cos(latitude) (so that a pole's free longitude does
// not count), a tenth of a millimetre.
constexpr double kRoundTripTolerance = 1e-4;
// The same for an angle compared on its own: one nanodegree (0.1 mm).
constexpr double kAngleTolerance = 1e-9;
// One degree of arc on the equator (WGS 84).
constexpr double kMetresPerDegree = 111319.49079327357;

constexpr double kWgs84A = 6378137.0, kWgs84F = 1.0 / 298.257223563;

// One definition, angles in degrees, no false origin.
struct Definition {
    long kind;
    double a = kWgs84A, f = kWgs84F;
    double lon0 = 0.0, lat0 = 0.0, phi1 = 0.0, phi2 = 0.0, lon1 = 0.0, lon2 = 0.0;
    double k0 = 1.0, alpha = 0.0;
};

inline CZrPJOperator Build(const Definition& d) {
    CZrPJOperator op;
    op.SetKind(d.kind);
    op.SetSemiMajorAxis(d.a);
    op.SetFlattening(d.f);
    op.SetCentralMeridian(d.lon0 * kDeg);
    op.SetCentralParallel(d.lat0 * kDeg);
    op.SetStandardParallel1(d.phi1 * kDeg);
    op.SetStandardParallel2(d.phi2 * kDeg);
    op.SetFirstPointLongitude(d.lon1 * kDeg);
    op.SetSecondPointLongitude(d.lon2 * kDeg);
    op.SetScaleFactor(d.k0);
    op.SetAzimuth(d.alpha * kDeg);
    op.SetFalseEasting(0.0);
    op.SetFalseNorthing(0.0);
    return op;
}

inline std::string Num(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

// Short form for labels.
inline std::string Label(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

inline bool BitIdentical(const CPoint2D& a, const CPoint2D& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Great-circle angle between two points, degrees.
inline double AngleDeg(double lon1, double lat1, double lon2, double lat2) {
    const double p1 = lat1 * kDeg, p2 = lat2 * kDeg, dl = (lon2 - lon1) * kDeg;
    const double c = std::sin(p1) * std::sin(p2) + std::cos(p1) * std::cos(p2) * std::cos(dl);
    return std::acos(c > 1.0 ? 1.0 : (c < -1.0 ? -1.0 : c)) / kDeg;
}

inline double LonDifference(double a, double b) {
    double d = std::fmod(a - b, 360.0);
    if (d > 180.0) d -= 360.0;
    if (d < -180.0) d += 360.0;
    return std::fabs(d);
}

// Forward then inverse of one point: the error in metres on the ground.
inline double RoundTripError(const CZrPJOperator& op, double lon, double lat, const CPoint2D& xy) {
    CPoint2D back = xy;
    if (!op.Inverse(back)) return HUGE_VAL;
    const double dlat = std::fabs(back.y - lat);
    const double dlon = LonDifference(back.x, lon) * std::cos(lat * kDeg);
    return (dlat > dlon ? dlat : dlon) * kMetresPerDegree;
}

// A rectangle of points in degrees, both ends included; with maxFromCentre
// set, only points within that great-circle angle of (lonC, latC).
struct Grid {
    double lonFrom, lonTo, lonStep, latFrom, latTo, latStep;
    double maxFromCentre = 0.0, lonC = 0.0, latC = 0.0;
};

template <class Visit> void ForEachPoint(const Grid& g, Visit visit) {
    for (double lat = g.latFrom; lat <= g.latTo + 1e-9; lat += g.latStep)
        for (double lon = g.lonFrom; lon <= g.lonTo + 1e-9; lon += g.lonStep)
            if (g.maxFromCentre <= 0.0 || AngleDeg(g.lonC, g.latC, lon, lat) <= g.maxFromCentre)
                visit(lon, lat);
}

// Every grid point must project with both (unless skip says it lies where
// the comparison does not apply), agree within the forward tolerance and come
// back within the round-trip tolerance. Prints the worst figures.
template <class Skip>
void CompareWithOracle(const std::string& name, const CZrPJOperator& op, const std::string& projDef,
                       const Grid& grid, double roundTripTolerance, Skip skip) {
    ProjOracle oracle(projDef);
    ASSERT_TRUE(oracle.ok()) << name << ": " << projDef;
    double worstForward = 0.0, worstRoundTrip = 0.0;
    int points = 0;
    ForEachPoint(grid, [&](double lon, double lat) {
        CPoint2D xy(lon, lat);
        double px = 0.0, py = 0.0;
        const bool theirs = oracle.Forward(lon, lat, px, py);
        if (skip(px, py)) return;
        const int ours = op.Forward(xy);
        EXPECT_TRUE(ours && theirs) << name << " at (" << lon << ", " << lat << ")";
        if (!ours || !theirs) return;
        ++points;
        const double d = std::hypot(xy.x - px, xy.y - py);
        EXPECT_LE(d, kForwardTolerance) << name << " at (" << lon << ", " << lat << ")";
        const double rt = RoundTripError(op, lon, lat, xy);
        EXPECT_LE(rt, roundTripTolerance) << name << " round trip at (" << lon << ", " << lat << ")";
        worstForward = d > worstForward ? d : worstForward;
        worstRoundTrip = rt > worstRoundTrip ? rt : worstRoundTrip;
    });
    std::printf("[ figures  ] %-36s forward %9.3g mm   round trip %9.3g mm   (%d points)\n", name.c_str(),
                worstForward * 1e3, worstRoundTrip * 1e3, points);
}

inline void CompareWithOracle(const std::string& name, const CZrPJOperator& op, const std::string& projDef,
                              const Grid& grid, double roundTripTolerance = kRoundTripTolerance) {
    CompareWithOracle(name, op, projDef, grid, roundTripTolerance, [](double, double) { return false; });
}

// Round trip alone, for the kinds computed in this library's own form.
inline void RoundTrip(const std::string& name, const CZrPJOperator& op, const Grid& grid, double tolerance) {
    double worst = 0.0;
    ForEachPoint(grid, [&](double lon, double lat) {
        CPoint2D xy(lon, lat);
        ASSERT_TRUE(op.Forward(xy)) << name << " at (" << lon << ", " << lat << ")";
        const double rt = RoundTripError(op, lon, lat, xy);
        EXPECT_LE(rt, tolerance) << name << " round trip at (" << lon << ", " << lat << ")";
        worst = rt > worst ? rt : worst;
    });
    std::printf("[ figures  ] %-36s round trip %9.3g mm\n", name.c_str(), worst * 1e3);
}

} // namespace worldoracle
