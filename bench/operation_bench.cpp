// The default datum operation per point (the best candidate whose area of
// use holds the point) against PROJ's proj_trans_generic on the object
// proj_create_crs_to_crs makes for the same pair, which chooses per point
// the same way. DHDN -> ETRS89, where the choice is among BETA2007 and the
// Helmerts of the German states, WGS 84 -> OSGB36 (Helmerts only),
// Beijing 1954 / Gauss-Kruger zone 20 -> WGS 84, a projected side among six
// Helmerts and the zero shift (points beside an area are held against its
// projected box); NAD27 / Louisiana South and PROJ's chains through an
// intermediate system; and a time-dependent Helmert at a coordinate epoch.
#include "interop/ZrInterop.h"
#include "transform/ZrPJTranslator.h"

#include <benchmark/benchmark.h>
#include <proj.h>

#include <vector>

namespace {

constexpr int kPoints = 1000;

struct Pair {
    long from, to;
    double west, south, east, north;
};
const Pair kDhdn{4314, 4258, 6.0, 47.5, 14.8, 54.8};
const Pair kOsgb{4326, 4277, -5.5, 50.2, 1.7, 58.5};
const Pair kBeijingGk{21420, 4326, 114.0, 22.0, 120.0, 51.0};
// NAD27 / Louisiana South -> WGS 84: eleven candidates, the Gulf's offshore
// ones passed over onshore.
const Pair kLouisiana{26782, 4326, -93.9, 28.9, -88.8, 31.0};
// SIRGAS-Chile 2010 -> WGS 84: EPSG joins them by nothing; PROJ's chains
// through SAD69 and PSAD56, two Helmerts each, and the zero shift.
const Pair kChileChains{8949, 4326, -75.0, -55.0, -67.0, -18.0};

// A 40 x 25 grid over the box, in the source system's coordinates.
std::vector<CPoint2D> Points(const Pair& p) {
    std::vector<CPoint2D> out;
    CZrPJCoordSys src;
    ZrCoordSysFromEpsg(p.from, src);
    for (int i = 0; i < kPoints; ++i) {
        const double u = (i % 40) / 39.0, v = (i / 40) / 24.0;
        CPoint2D pt(p.west + u * (p.east - p.west), p.south + v * (p.north - p.south));
        if (src.GetType() != PJ_CS_EARTH) src.Forward(&pt, 1);
        out.push_back(pt);
    }
    return out;
}

void ZrDefault(benchmark::State& state, const Pair& p) {
    CZrPJCoordSys src, des;
    CZrPJTranslator t;
    if (!ZrCoordSysFromEpsg(p.from, src) || !ZrCoordSysFromEpsg(p.to, des) ||
        !ZrSetTranslatorBestOperation(t, src, nullptr, des, nullptr, false)) {
        state.SkipWithError("no operation");
        return;
    }
    const std::vector<CPoint2D> points = Points(p);
    std::vector<CPoint2D> work(points);
    for (auto _ : state) {
        work = points;
        t.Convert(work.data(), kPoints, 1);
        benchmark::DoNotOptimize(work.data());
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}

void ProjDefault(benchmark::State& state, const Pair& p) {
    PJ_CONTEXT* ctx = proj_context_create();
    PJ* raw = proj_create_crs_to_crs(ctx, ("EPSG:" + std::to_string(p.from)).c_str(),
                                     ("EPSG:" + std::to_string(p.to)).c_str(), nullptr);
    PJ* op = raw ? proj_normalize_for_visualization(ctx, raw) : nullptr;
    if (raw) proj_destroy(raw);
    if (!op) {
        state.SkipWithError("PROJ has no operation");
        proj_context_destroy(ctx);
        return;
    }
    const std::vector<CPoint2D> points = Points(p);
    std::vector<double> x(kPoints), y(kPoints);
    for (auto _ : state) {
        for (int i = 0; i < kPoints; ++i) {
            x[static_cast<size_t>(i)] = points[static_cast<size_t>(i)].x;
            y[static_cast<size_t>(i)] = points[static_cast<size_t>(i)].y;
        }
        proj_trans_generic(op, PJ_FWD, x.data(), sizeof(double), kPoints, y.data(), sizeof(double), kPoints,
                           nullptr, 0, 0, nullptr, 0, 0);
        benchmark::DoNotOptimize(x.data());
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
    proj_destroy(op);
    proj_context_destroy(ctx);
}

} // namespace

BENCHMARK_CAPTURE(ZrDefault, DhdnToEtrs89, kDhdn);
BENCHMARK_CAPTURE(ProjDefault, DhdnToEtrs89, kDhdn);
BENCHMARK_CAPTURE(ZrDefault, Wgs84ToOsgb36, kOsgb);
BENCHMARK_CAPTURE(ProjDefault, Wgs84ToOsgb36, kOsgb);
BENCHMARK_CAPTURE(ZrDefault, BeijingGkToWgs84, kBeijingGk);
BENCHMARK_CAPTURE(ProjDefault, BeijingGkToWgs84, kBeijingGk);
BENCHMARK_CAPTURE(ZrDefault, LouisianaSouthToWgs84, kLouisiana);
BENCHMARK_CAPTURE(ProjDefault, LouisianaSouthToWgs84, kLouisiana);
BENCHMARK_CAPTURE(ZrDefault, ChileThroughIntermediate, kChileChains);
BENCHMARK_CAPTURE(ProjDefault, ChileThroughIntermediate, kChileChains);

namespace {

// A time-dependent Helmert per point at a coordinate epoch: ITRF2014 ->
// ETRF2000 (EPSG 8405) in geographic 3D, against PROJ's operation for
// EPSG:7912 -> EPSG:7931 given the epoch as t.
constexpr double kEpoch = 2024.5;
const Pair kItrf{9000, 9067, -10.0, 36.0, 30.0, 70.0};

void ZrTimeDependent(benchmark::State& state) {
    CZrPJCoordSys src, des;
    CZrPJTranslator t;
    if (!ZrCoordSysFromEpsg(kItrf.from, src) || !ZrCoordSysFromEpsg(kItrf.to, des) ||
        !ZrSetTranslatorEpsgOperation(t, src, des, 8405)) {
        state.SkipWithError("no operation");
        return;
    }
    t.SetEpoch(kEpoch);
    std::vector<CPoint3D> points;
    for (const CPoint2D& p : Points(kItrf))
        points.emplace_back(p.x, p.y, 100.0);
    std::vector<CPoint3D> work(points);
    for (auto _ : state) {
        work = points;
        t.Convert(work.data(), kPoints, 1);
        benchmark::DoNotOptimize(work.data());
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}

void ProjTimeDependent(benchmark::State& state) {
    PJ_CONTEXT* ctx = proj_context_create();
    PJ* raw = proj_create_crs_to_crs(ctx, "EPSG:7912", "EPSG:7931", nullptr);
    PJ* op = raw ? proj_normalize_for_visualization(ctx, raw) : nullptr;
    if (raw) proj_destroy(raw);
    if (!op) {
        state.SkipWithError("PROJ has no operation");
        proj_context_destroy(ctx);
        return;
    }
    const std::vector<CPoint2D> points = Points(kItrf);
    std::vector<double> x(kPoints), y(kPoints), z(kPoints), t(kPoints, kEpoch);
    for (auto _ : state) {
        for (int i = 0; i < kPoints; ++i) {
            x[static_cast<size_t>(i)] = points[static_cast<size_t>(i)].x;
            y[static_cast<size_t>(i)] = points[static_cast<size_t>(i)].y;
            z[static_cast<size_t>(i)] = 100.0;
        }
        proj_trans_generic(op, PJ_FWD, x.data(), sizeof(double), kPoints, y.data(), sizeof(double), kPoints,
                           z.data(), sizeof(double), kPoints, t.data(), sizeof(double), kPoints);
        benchmark::DoNotOptimize(x.data());
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
    proj_destroy(op);
    proj_context_destroy(ctx);
}

} // namespace

BENCHMARK(ZrTimeDependent);
BENCHMARK(ProjTimeDependent);
