// Cost of a geodesic on a system's ellipsoid: on longitude/latitude, and on
// projected points, which pay for two unprojections and their checks.
#include "model/ZrPJGeodesic.h"
#include "model/ZrPJCoordSys.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

CZrPJGeodesic Geodesic(bool projected) {
    CZrPJCoordSys cs;
    if (projected) {
        cs.Set(static_cast<tagPJCoordSysType>(21420)); // Beijing 1954 Gauss-Krueger zone 20
    } else {
        CZrPJGeoCoordSys gcs;
        gcs.Set(static_cast<tagGeoCoordSysType>(4326));
        cs.SetEarth(gcs, 10000);
    }
    CZrPJGeodesic geodesic;
    geodesic.Set(cs);
    return geodesic;
}

// Beijing to Tianjin, in each system's coordinates.
void BM_GeodesicInverse(benchmark::State& state) {
    const bool projected = state.range(0) != 0;
    const CZrPJGeodesic geodesic = Geodesic(projected);
    CPoint2D p1(116.4074, 39.9042), p2(117.2, 39.1);
    geodesic.FromGeographic(p1);
    geodesic.FromGeographic(p2);
    double azi1 = 0, azi2 = 0, s12 = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(geodesic.Inverse(p1, p2, azi1, azi2, s12));
        benchmark::DoNotOptimize(s12);
    }
}
BENCHMARK(BM_GeodesicInverse)->Arg(0)->Arg(1);

void BM_GeodesicDirect(benchmark::State& state) {
    const bool projected = state.range(0) != 0;
    const CZrPJGeodesic geodesic = Geodesic(projected);
    CPoint2D p1(116.4074, 39.9042), p2;
    geodesic.FromGeographic(p1);
    double azi2 = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(geodesic.Direct(p1, 150.0, 1.0e5, p2, azi2));
        benchmark::DoNotOptimize(p2);
    }
}
BENCHMARK(BM_GeodesicDirect)->Arg(0)->Arg(1);

// A 64-vertex ring of half a degree's radius (vertices 2 pi / 64 apart).
void BM_GeodesicArea(benchmark::State& state) {
    const CZrPJGeodesic geodesic = Geodesic(false);
    CPoint2D ring[64];
    for (int k = 0; k < 64; ++k)
        ring[k] = CPoint2D(116.4 + 0.5 * std::cos(k * 0.09817477042468103),
                           39.9 + 0.5 * std::sin(k * 0.09817477042468103));
    double perimeter = 0, area = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(geodesic.Area(ring, 64, perimeter, area));
        benchmark::DoNotOptimize(area);
    }
}
BENCHMARK(BM_GeodesicArea);

} // namespace
