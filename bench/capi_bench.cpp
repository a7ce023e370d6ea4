// The C interface's column path against the C++ translator it stands on, and
// PROJ over the same columns: WGS 84 longitude/latitude to UTM zone 50N, a
// million points in the zone's band. bench/python_bench.py sets the Python
// module's figure beside these.
#include <ZrPrj50/ZrPrj50.h>
#include <ZrPrj50/zrprj.h>
#include "interop/ZrResolve.h"

#include <benchmark/benchmark.h>
#include <proj.h>

#include <cstring>
#include <random>
#include <vector>

namespace {
constexpr int kPoints = 1000000;

// Uniform in UTM zone 50's band, 18 to 53 degrees north, as the Python bench draws them.
void Band(std::vector<double>& lon, std::vector<double>& lat) {
    std::mt19937_64 rng(50);
    std::uniform_real_distribution<double> u(114.0, 120.0), v(18.0, 53.0);
    lon.resize(kPoints);
    lat.resize(kPoints);
    for (int i = 0; i < kPoints; ++i) {
        lon[i] = u(rng);
        lat[i] = v(rng);
    }
}

void CountPoints(benchmark::State& state) {
    state.counters["points/s"] =
        benchmark::Counter(static_cast<double>(kPoints) * state.iterations(), benchmark::Counter::kIsRate);
}

// The C++ path: the translator over an array of points.
void Zr_Translator(benchmark::State& state) {
    CZrPJCoordSys wgs, utm;
    CZrPJTranslator translator;
    if (!ZrResolveCoordSys("EPSG:4326", wgs) || !ZrResolveCoordSys("EPSG:32650", utm) ||
        !translator.Set(wgs, utm)) {
        state.SkipWithError("translator not valid");
        return;
    }
    std::vector<double> lon, lat;
    Band(lon, lat);
    std::vector<CPoint2D> input(kPoints), work(kPoints);
    for (int i = 0; i < kPoints; ++i)
        input[i] = CPoint2D(lon[i], lat[i]);
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(work.data(), input.data(), kPoints * sizeof(CPoint2D));
        state.ResumeTiming();
        translator.Convert(work.data(), kPoints, 1);
        benchmark::DoNotOptimize(work.data());
        benchmark::ClobberMemory();
    }
    CountPoints(state);
}

// The C interface over two separate columns, as NumPy hands them over.
void Zr_Columns(benchmark::State& state) {
    zr_crs *wgs = nullptr, *utm = nullptr;
    zr_transformer* t = nullptr;
    if (zr_crs_from_epsg(4326, &wgs) != ZR_OK || zr_crs_from_epsg(32650, &utm) != ZR_OK ||
        zr_transformer_create(wgs, utm, &t) != ZR_OK) {
        state.SkipWithError("transformer not made");
        return;
    }
    std::vector<double> lon, lat, x(kPoints), y(kPoints);
    Band(lon, lat);
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(x.data(), lon.data(), kPoints * sizeof(double));
        std::memcpy(y.data(), lat.data(), kPoints * sizeof(double));
        state.ResumeTiming();
        zr_transform(t, ZR_FORWARD, kPoints, x.data(), sizeof(double), y.data(), sizeof(double), nullptr, 0,
                     nullptr);
        benchmark::DoNotOptimize(x.data());
        benchmark::ClobberMemory();
    }
    CountPoints(state);
    zr_transformer_destroy(t);
    zr_crs_destroy(utm);
    zr_crs_destroy(wgs);
}

// PROJ over the same two columns: what pyproj's Transformer.transform runs.
void Proj_Columns(benchmark::State& state) {
    PJ_CONTEXT* ctx = proj_context_create();
    PJ* raw = proj_create_crs_to_crs(ctx, "EPSG:4326", "EPSG:32650", nullptr);
    PJ* op = raw ? proj_normalize_for_visualization(ctx, raw) : nullptr;
    if (!op) {
        state.SkipWithError("PROJ could not build the operation");
        proj_context_destroy(ctx);
        return;
    }
    std::vector<double> lon, lat, x(kPoints), y(kPoints);
    Band(lon, lat);
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(x.data(), lon.data(), kPoints * sizeof(double));
        std::memcpy(y.data(), lat.data(), kPoints * sizeof(double));
        state.ResumeTiming();
        proj_trans_generic(op, PJ_FWD, x.data(), sizeof(double), kPoints, y.data(), sizeof(double), kPoints,
                           nullptr, 0, 0, nullptr, 0, 0);
        benchmark::DoNotOptimize(x.data());
        benchmark::ClobberMemory();
    }
    CountPoints(state);
    proj_destroy(op);
    proj_destroy(raw);
    proj_context_destroy(ctx);
}

int Register() {
    benchmark::RegisterBenchmark("Zr_Translator_WGS84_to_UTM50N", Zr_Translator)
        ->Unit(benchmark::kMillisecond)
        ->MinTime(1.0);
    benchmark::RegisterBenchmark("Zr_Columns_WGS84_to_UTM50N", Zr_Columns)
        ->Unit(benchmark::kMillisecond)
        ->MinTime(1.0);
    benchmark::RegisterBenchmark("Proj_Columns_WGS84_to_UTM50N", Proj_Columns)
        ->Unit(benchmark::kMillisecond)
        ->MinTime(1.0);
    return 0;
}
const int kRegistered = Register();
} // namespace
