// Grid shifts per point, the library beside PROJ on the same file and the
// same million points: ours through CZrHorizontalShiftGrid::Apply (degrees
// in and out, the conversion to radians included), PROJ's through
// proj_trans_generic over "+proj=hgridshift +grids=FILE" (radians, as that
// operation takes them); geoid heights likewise against vgridshift. Cases
// whose grid proj-data does not ship here are skipped.
#include "transform/ZrGrid.h"

#include <benchmark/benchmark.h>
#include <proj.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {
constexpr int kGridPoints = 1000000;
constexpr double kDeg = M_PI / 180;

struct GridCase {
    const char* name;
    const char* file;
    double lon0, lon1, lat0, lat1; // a box inside the grid
    bool geoid;
};

const GridCase kGridCases[] = {
    {"BETA2007_DHDN_to_ETRS89", "BETA2007.gsb", 6.5, 14.5, 47.5, 54.5, false},
    {"NTF_to_RGF93", "ntf_r93.gsb", -4.5, 8.0, 42.5, 51.0, false},
    {"NZGD49_to_NZGD2000", "nzgd2kgrid0005.gsb", 167.0, 178.0, -46.0, -35.0, false},
    {"EGM96_geoid_height", "egm96_15.gtx", -179.0, 179.0, -80.0, 80.0, true},
};

std::vector<CPoint2D> BoxPoints(const GridCase& c) {
    std::vector<CPoint2D> pts;
    pts.reserve(kGridPoints);
    const int side = static_cast<int>(std::sqrt(static_cast<double>(kGridPoints)));
    for (int i = 0; i < kGridPoints; ++i) {
        const double u = (i % side + 0.5) / side, v = (i / side % side + 0.5) / side;
        pts.emplace_back(c.lon0 + u * (c.lon1 - c.lon0), c.lat0 + v * (c.lat1 - c.lat0));
    }
    return pts;
}

void CountGridPoints(benchmark::State& state) {
    state.counters["points/s"] = benchmark::Counter(static_cast<double>(kGridPoints) * state.iterations(),
                                                    benchmark::Counter::kIsRate);
}

void ZrGrid(benchmark::State& state, const GridCase& c, bool inverse) {
    std::string reason;
    std::vector<CPoint2D> input = BoxPoints(c), work(kGridPoints);
    std::vector<double> heights(kGridPoints);
    if (c.geoid) {
        auto grid = CZrGeoidGrid::Open(c.file, &reason);
        if (!grid) {
            state.SkipWithError(reason.c_str());
            return;
        }
        for (auto _ : state) {
            for (int i = 0; i < kGridPoints; ++i)
                grid->HeightDeg(input[i].x, input[i].y, heights[i]);
            benchmark::DoNotOptimize(heights.data());
            benchmark::ClobberMemory();
        }
        CountGridPoints(state);
        return;
    }
    auto grid = CZrHorizontalShiftGrid::Open(c.file, &reason);
    if (!grid) {
        state.SkipWithError(reason.c_str());
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(work.data(), input.data(), kGridPoints * sizeof(CPoint2D));
        state.ResumeTiming();
        grid->Apply(work.data(), kGridPoints, inverse ? 0 : 1);
        benchmark::DoNotOptimize(work.data());
        benchmark::ClobberMemory();
    }
    CountGridPoints(state);
}

void ProjGrid(benchmark::State& state, const GridCase& c, bool inverse) {
    std::string path;
    if (!ZrFindGrid(c.file, path)) {
        state.SkipWithError("grid not installed");
        return;
    }
    PJ_CONTEXT* ctx = proj_context_create();
    const std::string def =
        std::string(c.geoid ? "+proj=vgridshift +multiplier=1" : "+proj=hgridshift") + " +grids=" + path;
    PJ* op = proj_create(ctx, def.c_str());
    if (!op) {
        state.SkipWithError("PROJ cannot open the grid");
        proj_context_destroy(ctx);
        return;
    }
    std::vector<CPoint2D> input = BoxPoints(c);
    for (CPoint2D& p : input)
        p = CPoint2D(p.x * kDeg, p.y * kDeg);
    std::vector<CPoint2D> work(kGridPoints);
    std::vector<double> z(kGridPoints);
    const size_t stride = sizeof(CPoint2D);
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(work.data(), input.data(), kGridPoints * sizeof(CPoint2D));
        std::fill(z.begin(), z.end(), 0.0);
        state.ResumeTiming();
        proj_trans_generic(op, inverse ? PJ_INV : PJ_FWD, &work[0].x, stride, kGridPoints, &work[0].y, stride,
                           kGridPoints, c.geoid ? z.data() : nullptr, sizeof(double),
                           c.geoid ? kGridPoints : 0, nullptr, 0, 0);
        benchmark::DoNotOptimize(work.data());
        benchmark::ClobberMemory();
    }
    proj_destroy(op);
    proj_context_destroy(ctx);
    CountGridPoints(state);
}

int RegisterGridCases() {
    for (const GridCase& c : kGridCases) {
        for (bool inverse : {false, true}) {
            if (c.geoid && inverse) continue;
            const char* dir = c.geoid ? "" : inverse ? "_Inverse" : "_Forward";
            char name[128];
            std::snprintf(name, sizeof name, "Zr_Grid_%s%s", c.name, dir);
            benchmark::RegisterBenchmark(name, [&c, inverse](benchmark::State& s) { ZrGrid(s, c, inverse); })
                ->Unit(benchmark::kMillisecond)
                ->MinTime(1.0);
            std::snprintf(name, sizeof name, "Proj_Grid_%s%s", c.name, dir);
            benchmark::RegisterBenchmark(name,
                                         [&c, inverse](benchmark::State& s) { ProjGrid(s, c, inverse); })
                ->Unit(benchmark::kMillisecond)
                ->MinTime(1.0);
        }
    }
    return 0;
}
const int kGridRegistered = RegisterGridCases();
} // namespace
