// Cost of making the synthesis tables: the shared build every first plug-in instance pays, and
// the per-instance rate tables remade on each sample-rate change.
#include "engine/RateTables.h"
#include "engine/SharedSynthTables.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Each iteration is one first acquire (a full build) and one last release (a free).
void BM_SharedSynthTablesBuild(benchmark::State& state) {
    for (auto _ : state) {
        const SharedSynthTables* tables = SharedSynthTables::acquire();
        benchmark::DoNotOptimize(tables->waveTables[SharedSynthTables::kLastBuiltWave]);
        SharedSynthTables::release();
    }
}
BENCHMARK(BM_SharedSynthTablesBuild)->Unit(benchmark::kMillisecond);

void BM_RateTablesBuild(benchmark::State& state) {
    auto tables = std::make_unique<RateTables>();
    for (auto _ : state) {
        tables->build(48000);
        benchmark::DoNotOptimize(tables->pitchCos2[2048]);
    }
}
BENCHMARK(BM_RateTablesBuild)->Unit(benchmark::kMicrosecond);

}  // namespace
