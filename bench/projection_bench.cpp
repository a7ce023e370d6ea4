// The library and PROJ side by side over the same million points. Each case
// pairs a Zr_ run with a Proj_ run of the same job; tools/bench.sh prints the
// points per second of both and their ratio.
#include <ZrPrj50/ZrPrj50.h>
#include "model/ZrPJCoordSys.h"

#include <benchmark/benchmark.h>
#include <proj.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
constexpr int kPoints = 1000000;

// A grid of points inside the box, longitude in x and latitude in y.
std::vector<CPoint2D> Grid(double lon0, double lon1, double lat0, double lat1) {
    std::vector<CPoint2D> pts;
    pts.reserve(kPoints);
    const int side = static_cast<int>(std::sqrt(static_cast<double>(kPoints)));
    for (int i = 0; i < kPoints; ++i) {
        const double u = (i % side + 0.5) / side, v = (i / side % side + 0.5) / side;
        pts.emplace_back(lon0 + u * (lon1 - lon0), lat0 + v * (lat1 - lat0));
    }
    return pts;
}

struct Case {
    const char* name;
    long code;                // catalogue code of our system (0: built from parts)
    const char* projTarget;   // PROJ definition of the same projected CRS
    const char* projSource;   // PROJ geographic CRS
    double lon0, lon1, lat0, lat1;
};

const Case kCases[] = {
    {"UTM50N", 32650, "EPSG:32650", "EPSG:4326", 114.0, 120.0, 0.0, 60.0},
    {"GaussKrueger20", 21420, "EPSG:21420", "EPSG:4214", 114.0, 120.0, 18.0, 53.0},
};

// Our side: CZrPJCoordSys::Forward/Inverse over the array.
void ZrProject(benchmark::State& state, const Case& c, bool inverse) {
    CZrPJCoordSys cs;
    if (!cs.Set(static_cast<tagPJCoordSysType>(c.code))) {
        state.SkipWithError("catalogue row not available");
        return;
    }
    const std::vector<CPoint2D> geo = Grid(c.lon0, c.lon1, c.lat0, c.lat1);
    std::vector<CPoint2D> input = geo;
    if (inverse) cs.Forward(input.data(), kPoints);
    std::vector<CPoint2D> work(kPoints);
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(work.data(), input.data(), kPoints * sizeof(CPoint2D));
        state.ResumeTiming();
        if (inverse)
            cs.Inverse(work.data(), kPoints);
        else
            cs.Forward(work.data(), kPoints);
        benchmark::DoNotOptimize(work.data());
    }
    state.counters["points/s"] = benchmark::Counter(static_cast<double>(kPoints) * state.iterations(),
                                                    benchmark::Counter::kIsRate);
}

// PROJ's side: a CRS-to-CRS operation, longitude/latitude order, over the
// same array with proj_trans_generic.
void ProjProject(benchmark::State& state, const Case& c, bool inverse) {
    PJ_CONTEXT* ctx = proj_context_create();
    PJ* raw = proj_create_crs_to_crs(ctx, c.projSource, c.projTarget, nullptr);
    PJ* op = raw ? proj_normalize_for_visualization(ctx, raw) : nullptr;
    if (raw) proj_destroy(raw);
    if (!op) {
        state.SkipWithError("PROJ could not build the operation");
        proj_context_destroy(ctx);
        return;
    }
    const std::vector<CPoint2D> geo = Grid(c.lon0, c.lon1, c.lat0, c.lat1);
    std::vector<CPoint2D> input = geo;
    const size_t stride = sizeof(CPoint2D);
    if (inverse) proj_trans_generic(op, PJ_FWD, &input[0].x, stride, kPoints, &input[0].y, stride, kPoints,
                                    nullptr, 0, 0, nullptr, 0, 0);
    std::vector<CPoint2D> work(kPoints);
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(work.data(), input.data(), kPoints * sizeof(CPoint2D));
        state.ResumeTiming();
        proj_trans_generic(op, inverse ? PJ_INV : PJ_FWD, &work[0].x, stride, kPoints, &work[0].y, stride,
                           kPoints, nullptr, 0, 0, nullptr, 0, 0);
        benchmark::DoNotOptimize(work.data());
    }
    state.counters["points/s"] = benchmark::Counter(static_cast<double>(kPoints) * state.iterations(),
                                                    benchmark::Counter::kIsRate);
    proj_destroy(op);
    proj_context_destroy(ctx);
}

int RegisterAll() {
    for (const Case& c : kCases) {
        for (bool inverse : {false, true}) {
            const char* dir = inverse ? "Inverse" : "Forward";
            char name[128];
            std::snprintf(name, sizeof name, "Zr_%s_%s", c.name, dir);
            benchmark::RegisterBenchmark(name, [&c, inverse](benchmark::State& s) { ZrProject(s, c, inverse); })
                ->Unit(benchmark::kMillisecond)
                ->MinTime(1.0);
            std::snprintf(name, sizeof name, "Proj_%s_%s", c.name, dir);
            benchmark::RegisterBenchmark(name, [&c, inverse](benchmark::State& s) { ProjProject(s, c, inverse); })
                ->Unit(benchmark::kMillisecond)
                ->MinTime(1.0);
        }
    }
    return 0;
}
const int kRegistered = RegisterAll();
} // namespace

BENCHMARK_MAIN();
