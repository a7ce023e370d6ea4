// Cost of a catalogue lookup and of Set(code), for a row of each family.
#include "model/ZrPJCoordSys.h"
#include "model/catalogue/ZrProjectedCatalogue.h"

#include <benchmark/benchmark.h>

namespace {
// UTM, Gauss-Krueger, Japanese zone, world, national, State Plane.
const long kCodes[] = {32650, 21420, 32763, 54009, 27700, 32148};

void BM_FindProjectedRow(benchmark::State& state) {
    const long code = kCodes[state.range(0)];
    ZrProjectedRow row;
    for (auto _ : state)
        benchmark::DoNotOptimize(ZrFindProjectedRow(code, row));
}
BENCHMARK(BM_FindProjectedRow)->DenseRange(0, 5);

void BM_CoordSysSet(benchmark::State& state) {
    const auto code = static_cast<tagPJCoordSysType>(kCodes[state.range(0)]);
    CZrPJCoordSys cs;
    for (auto _ : state)
        benchmark::DoNotOptimize(cs.Set(code));
}
BENCHMARK(BM_CoordSysSet)->DenseRange(0, 5);
} // namespace
