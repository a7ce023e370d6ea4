// Set-up from interchange forms, ours and PROJ's side by side; "points/s"
// counts set-ups, so tools/bench.sh prints them beside PROJ's:
// - a PROJJSON text, the one PROJ itself writes for UTM zone 50N (about 2 KiB
//   with its usage and ids);
// - a WKT2:2019 text, PROJ's own for RGF93 / Lambert-93 (EPSG:2154);
// - an EPSG code built from the data file (2154, not in the catalogue) once
//   the process has built it before, against PROJ's proj_create of
//   "EPSG:2154" in a context that has cached it.
// The first call in a fresh process is first_call.sh's.
#include <ZrPrj50/ZrPrj50.h>

#include <benchmark/benchmark.h>
#include <proj.h>

#include <string>

namespace {

std::string ProjjsonOfUtm50() {
    PJ_CONTEXT* ctx = proj_context_create();
    PJ* crs = proj_create(ctx, "EPSG:32650");
    const char* j = crs ? proj_as_projjson(ctx, crs, nullptr) : nullptr;
    std::string text = j ? j : "";
    proj_destroy(crs);
    proj_context_destroy(ctx);
    return text;
}

std::string Wkt2OfLambert93() {
    PJ_CONTEXT* ctx = proj_context_create();
    PJ* crs = proj_create(ctx, "EPSG:2154");
    const char* w = crs ? proj_as_wkt(ctx, crs, PJ_WKT2_2019, nullptr) : nullptr;
    std::string text = w ? w : "";
    proj_destroy(crs);
    proj_context_destroy(ctx);
    return text;
}

void CountImports(benchmark::State& state) {
    state.counters["points/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// One text read again and again, by the library and by PROJ.
void ZrImport(benchmark::State& state, const std::string& source, const char* refusal) {
    const CString text(source.c_str());
    CZrPJCoordSys cs;
    if (!ZrImportCoordSys(text, cs)) {
        state.SkipWithError(refusal);
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(ZrImportCoordSys(text, cs));
    CountImports(state);
}

void ProjCreate(benchmark::State& state, const std::string& text) {
    PJ_CONTEXT* ctx = proj_context_create();
    for (auto _ : state) {
        PJ* crs = proj_create(ctx, text.c_str());
        benchmark::DoNotOptimize(crs);
        proj_destroy(crs);
    }
    proj_context_destroy(ctx);
    CountImports(state);
}

void Zr_ProjjsonImport(benchmark::State& state) {
    ZrImport(state, ProjjsonOfUtm50(), "the PROJJSON of EPSG:32650 was refused");
}

void Proj_ProjjsonImport(benchmark::State& state) {
    ProjCreate(state, ProjjsonOfUtm50());
}

void Zr_Wkt2Import(benchmark::State& state) {
    ZrImport(state, Wkt2OfLambert93(), "the WKT2 of EPSG:2154 was refused");
}

void Proj_Wkt2Import(benchmark::State& state) {
    ProjCreate(state, Wkt2OfLambert93());
}

void Zr_EpsgWarm(benchmark::State& state) {
    CZrPJCoordSys cs;
    if (!ZrCoordSysFromEpsg(2154, cs)) {
        state.SkipWithError("EPSG:2154 was refused");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(ZrCoordSysFromEpsg(2154, cs));
    CountImports(state);
}

void Proj_EpsgWarm(benchmark::State& state) {
    PJ_CONTEXT* ctx = proj_context_create();
    proj_destroy(proj_create(ctx, "EPSG:2154"));
    for (auto _ : state) {
        PJ* crs = proj_create(ctx, "EPSG:2154");
        benchmark::DoNotOptimize(crs);
        proj_destroy(crs);
    }
    proj_context_destroy(ctx);
    CountImports(state);
}

} // namespace

BENCHMARK(Zr_ProjjsonImport);
BENCHMARK(Proj_ProjjsonImport);
BENCHMARK(Zr_Wkt2Import)->Unit(benchmark::kMicrosecond);
BENCHMARK(Proj_Wkt2Import)->Unit(benchmark::kMicrosecond);
BENCHMARK(Zr_EpsgWarm)->Unit(benchmark::kMicrosecond);
BENCHMARK(Proj_EpsgWarm)->Unit(benchmark::kMicrosecond);
