// Reading a PROJJSON text: ours and PROJ's over the same document, the one
// PROJ itself writes for UTM zone 50N (about 2 KiB with its usage and ids).
// "points/s" counts imports, so tools/bench.sh prints them beside PROJ's.
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

void CountImports(benchmark::State& state) {
    state.counters["points/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void Zr_ProjjsonImport(benchmark::State& state) {
    const CString text(ProjjsonOfUtm50().c_str());
    CZrPJCoordSys cs;
    if (!ZrImportCoordSys(text, cs)) {
        state.SkipWithError("the PROJJSON of EPSG:32650 was refused");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(ZrImportCoordSys(text, cs));
    CountImports(state);
}

void Proj_ProjjsonImport(benchmark::State& state) {
    const std::string text = ProjjsonOfUtm50();
    PJ_CONTEXT* ctx = proj_context_create();
    for (auto _ : state) {
        PJ* crs = proj_create(ctx, text.c_str());
        benchmark::DoNotOptimize(crs);
        proj_destroy(crs);
    }
    proj_context_destroy(ctx);
    CountImports(state);
}

} // namespace

BENCHMARK(Zr_ProjjsonImport);
BENCHMARK(Proj_ProjjsonImport);
