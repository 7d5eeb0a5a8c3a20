// Cost of one multi-mode filter per sample frame in 24 dB: a biquad law, a two-pole law and Acid,
// with a still cutoff (coefficients held) and a moving one (coefficients per sample).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>

#include "BenchEngine.h"
#include "engine/QX_EngineHost.h"
#include "modules/effects/QX_DSP_Multi_Filter.h"

namespace {

using Filter = QX_DSP_Multi_Filter;

constexpr int kBlock = 128;
constexpr int kRate = 48000;
constexpr int kLawA = 1;
constexpr int kLawG = 7;
constexpr int kAcid = 9;

// Input (a sine), cutoff (a sweep over the block, or a constant) and resonance, written once; the
// module then stays idle so that only the filter is measured.
class FixedSignals : public QX_ModuleBase {
public:
    enum Output : int { kInput, kCutoff, kResonance };

    FixedSignals(QX_EngineHost* host, bool sweep) : QX_ModuleBase(host, false) {
        for (int k = kInput; k <= kResonance; ++k) {
            float* out = makeOutput(k);
            for (int i = 0; i < kBlock + kModuleBufferSpare; ++i) {
                const float t = static_cast<float>(i);
                const float values[] = {0.5f * std::sin(0.05f * t), 0.6f + (sweep ? 0.002f * t : 0.0f), 0.5f};
                out[i] = values[k];
            }
        }
    }
    void render(int, int) override { setIdle(); }
};

void runFilter(benchmark::State& state, int type, bool movingCutoff) {
    auto engine = std::make_unique<BenchEngine>(kBlock, kRate);
    auto add = [&engine](QX_ModuleBase* module) {
        engine->modules[engine->moduleCount++] = module;
        return module;
    };
    auto* signals = static_cast<FixedSignals*>(add(new FixedSignals(engine.get(), movingCutoff)));
    auto* filter = static_cast<Filter*>(add(new Filter(engine.get(), false)));
    const int wiring[][2] = {{FixedSignals::kInput, Filter::kPinInput},
                             {FixedSignals::kCutoff, Filter::kPinCutoff},
                             {FixedSignals::kResonance, Filter::kPinResonance}};
    for (const auto& [output, pin] : wiring) {
        signals->connect(filter, filter->moduleIndex, output, pin, 0, 0, 0);
    }
    filter->prepare();
    const std::uint32_t now = engine->sampleClock;
    filter->receiveEvent(now, Filter::kPinCutoffUnit, kEventStill, 0, 0.0f, nullptr);
    filter->receiveEvent(now, Filter::kPinPerSample, kEventStill, 1, 0.0f, nullptr);
    filter->receiveEvent(now, Filter::kPinMode, kEventStill, 1, 0.1f, nullptr);
    filter->receiveEvent(now, Filter::kPinType, kEventStill, type, 0.0f, nullptr);
    filter->receiveEvent(now, Filter::kPinResonance, kEventStill, 0, 0.5f, nullptr);
    filter->receiveEvent(now, Filter::kPinCutoff, movingCutoff ? kEventMoving : kEventStill, 0, 0.6f, nullptr);
    filter->receiveEvent(now, Filter::kPinInput, kEventMoving, 0, 0.0f, nullptr);
    engine->runChunk(kBlock);
    engine->runChunk(kBlock);

    for (auto _ : state) {
        engine->runChunk(kBlock);
        benchmark::DoNotOptimize(filter->outputs[0][kBlock - 1]);
    }
    state.counters["ns_per_frame"] = benchmark::Counter(static_cast<double>(state.iterations()) * kBlock,
                                                        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_FilterLawAStillCutoff(benchmark::State& state) { runFilter(state, kLawA, false); }
BENCHMARK(BM_FilterLawAStillCutoff);

void BM_FilterLawAMovingCutoff(benchmark::State& state) { runFilter(state, kLawA, true); }
BENCHMARK(BM_FilterLawAMovingCutoff);

void BM_FilterLawGMovingCutoff(benchmark::State& state) { runFilter(state, kLawG, true); }
BENCHMARK(BM_FilterLawGMovingCutoff);

void BM_FilterAcidStillCutoff(benchmark::State& state) { runFilter(state, kAcid, false); }
BENCHMARK(BM_FilterAcidStillCutoff);

}  // namespace
