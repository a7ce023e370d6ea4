// A search as a type-ahead field runs it, once per key stroke: a query over
// the whole index (catalogue, EPSG, ESRI), the first 50 hits kept. Beside it,
// PROJ's own name search (proj_create_from_name, projinfo's) over its
// database. "points/s" counts searches.
#include <ZrPrj50/ZrPrj50.h>

#include <benchmark/benchmark.h>
#include <proj.h>

#include <string>
#include <vector>

namespace {

const char* const kQueries[] = {
    "L", "Lambert 93", "GK zone 20", "4490", "British National Grid", "北京54 高斯 20带"};

void CountSearches(benchmark::State& state) {
    state.counters["points/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void Zr_Search(benchmark::State& state) {
    const std::string query = kQueries[state.range(0)];
    std::vector<ZrSearchHit> hits;
    ZrSearchCoordSys(query, hits, 50); // builds the index outside the timing
    for (auto _ : state)
        benchmark::DoNotOptimize(ZrSearchCoordSys(query, hits, 50));
    state.SetLabel(query);
    CountSearches(state);
}

void Proj_Search(benchmark::State& state) {
    const std::string query = kQueries[state.range(0)];
    PJ_CONTEXT* ctx = proj_context_create();
    const PJ_TYPE types[] = {PJ_TYPE_GEOGRAPHIC_2D_CRS, PJ_TYPE_PROJECTED_CRS};
    for (auto _ : state) {
        PJ_OBJ_LIST* list = proj_create_from_name(ctx, "EPSG", query.c_str(), types, 2, 1, 50, nullptr);
        benchmark::DoNotOptimize(list);
        proj_list_destroy(list);
    }
    proj_context_destroy(ctx);
    state.SetLabel(query);
    CountSearches(state);
}

} // namespace

BENCHMARK(Zr_Search)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);
BENCHMARK(Proj_Search)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);
