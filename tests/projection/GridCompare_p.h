#pragma once

// Normal-aspect kinds: build an operator from degrees, run a grid of points
// through Forward against an oracle and back through Inverse, and log the
// worst differences as one line of the accuracy table.
#include "geodesy/ZrPJMath.h"
#include "projection/ZrPJOperator.h"
#include "support/ProjOracle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace gridcompare {
constexpr double kDeg = CZrPJMath::kDegToRad;
constexpr double kMillimetre = 1e-3;
// PROJ's usual bar for a forward projection that it and the formula agree on.
constexpr double kTenthMillimetre = 1e-4;
constexpr double kNanodegree = 1e-9;
// Inverse series of the conformal, authalic and rectifying latitudes are
// fourth order in e^2: a few nanoradians, i.e. up to 3e-7 degrees.
constexpr double kSeriesInverse = 3e-7;
// The same as a length on the ground: those series bring a point back
// within 2.4 mm.
constexpr double kSeriesInverseRoundTrip = 3e-3;
// One degree of arc on the equator (WGS 84), to state angles on the ground.
constexpr double kMetresPerDegree = 111319.49079327357;
constexpr double kWgs84A = 6378137.0, kWgs84F = 1.0 / 298.257223563;
constexpr double kGrs80A = 6378137.0, kGrs80F = 1.0 / 298.257222101;

// Angles in degrees, false origin in metres.
struct Definition {
    long kind;
    double a, f, lon0 = 0, lat0 = 0, phi1 = 0, phi2 = 0;
    int mode = 1;
    double k0 = 0, fe = 0, fn = 0, band = 0;
    double alpha = 0, lon1 = 0; // azimuth; first point longitude (the zoned grids' zone width)
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
    op.SetBandLatitude(d.band * kDeg);
    op.SetParallelMode(d.mode);
    op.SetScaleFactor(d.k0);
    op.SetFalseEasting(d.fe);
    op.SetFalseNorthing(d.fn);
    op.SetAzimuth(d.alpha * kDeg);
    op.SetFirstPointLongitude(d.lon1 * kDeg);
    return op;
}

inline bool BitIdentical(const CPoint2D& a, const CPoint2D& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

struct Grid {
    double lonFrom, lonTo, lonStep, latFrom, latTo, latStep; // degrees, ends included
};

struct Worst {
    double forward = 0; // metres from the oracle's point
    double roundTrip =
        0; // metres on the ground: max of |dlat| and |dlon| cos(lat), so a pole's longitude is no error
};

// expect(lon, lat, x, y) gives the oracle's point, or false to skip it.
template <class Expect> Worst CompareGrid(const CZrPJOperator& op, const Grid& g, Expect expect) {
    Worst w;
    for (double lat = g.latFrom; lat <= g.latTo + 1e-9; lat += g.latStep) {
        for (double lon = g.lonFrom; lon <= g.lonTo + 1e-9; lon += g.lonStep) {
            double ex, ey;
            if (!expect(lon, lat, ex, ey)) continue;
            CPoint2D p(lon, lat);
            EXPECT_NE(op.Forward(p), 0) << lon << ", " << lat;
            w.forward = std::max(w.forward, std::hypot(p.x - ex, p.y - ey));
            EXPECT_NE(op.Inverse(p), 0) << lon << ", " << lat;
            const double dlon = std::fabs(p.x - lon);
            const double dlonOnParallel = std::min(dlon, 360.0 - dlon) * std::cos(lat * kDeg);
            w.roundTrip = std::max(
                {w.roundTrip, std::fabs(p.y - lat) * kMetresPerDegree, dlonOnParallel * kMetresPerDegree});
        }
    }
    return w;
}

inline void Report(const char* kind, const char* oracle, const Worst& w) {
    std::printf("[accuracy] %s | %s | forward %.2g mm | round trip %.2g mm\n", kind, oracle, w.forward * 1e3,
                w.roundTrip * 1e3);
}

// One kind against PROJ over a grid, within the stated tolerances.
struct ProjCase {
    const char* name;
    Definition def;
    const char* proj; // PROJ's definition of the same projection
    Grid grid;
    double roundTrip = kSeriesInverseRoundTrip; // metres on the ground
    double forward = kTenthMillimetre;          // metres
};

inline void CheckAgainstProj(const ProjCase& c) {
    SCOPED_TRACE(c.name);
    ProjOracle proj(c.proj);
    ASSERT_TRUE(proj.ok());
    CZrPJOperator op = Build(c.def);
    ASSERT_EQ(op.Create(), 1);
    const Worst w = CompareGrid(op, c.grid, [&](double lon, double lat, double& x, double& y) {
        return proj.Forward(lon, lat, x, y);
    });
    EXPECT_LT(w.forward, c.forward);
    EXPECT_LT(w.roundTrip, c.roundTrip);
    Report(c.name, c.proj, w);
}
} // namespace gridcompare
