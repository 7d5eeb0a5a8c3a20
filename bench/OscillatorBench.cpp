// Cost of one wavetable oscillator per sample frame: still pitch (one increment per block),
// moving pitch (one increment per sample), and the pulse that reads its table twice.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "BenchEngine.h"
#include "engine/QX_EngineHost.h"
#include "modules/sources/QX_DSP_OSC_Multi_Out_x8.h"

namespace {

using Osc = QX_DSP_OSC_Multi_Out_x8;

constexpr int kBlock = 128;
constexpr int kRate = 48000;
constexpr int kSaw = 1;
constexpr int kPulse = 8;

// Pitch (a glide over the block, or a constant), level 1, ratio 0.1 and width 0.3, written once;
// the module then stays idle so that only the oscillator is measured.
class FixedSignals : public QX_ModuleBase {
public:
    enum Output : int { kPitch, kLevel, kRatio, kWidth, kZero };

    FixedSignals(QX_EngineHost* host, bool glide) : QX_ModuleBase(host, false) {
        const float values[] = {0.5f, 1.0f, 0.1f, 0.3f, 0.0f};
        for (int k = kPitch; k <= kZero; ++k) {
            float* out = makeOutput(k);
            for (int i = 0; i < kBlock + kModuleBufferSpare; ++i) {
                out[i] = values[k] + (glide && k == kPitch ? 0.001f * static_cast<float>(i) : 0.0f);
            }
        }
    }
    void render(int, int) override { setIdle(); }
};

void runOscillator(benchmark::State& state, bool movingPitch, int wave) {
    auto engine = std::make_unique<BenchEngine>(kBlock, kRate);
    auto add = [&engine](QX_ModuleBase* module) {
        engine->modules[engine->moduleCount++] = module;
        return module;
    };
    auto* signals = static_cast<FixedSignals*>(add(new FixedSignals(engine.get(), movingPitch)));
    auto* osc = static_cast<Osc*>(add(new Osc(engine.get(), false)));
    const int wiring[][2] = {{FixedSignals::kPitch, Osc::kPinPitch},   {FixedSignals::kLevel, Osc::kPinLevel},
                             {FixedSignals::kRatio, Osc::kPinRatio},   {FixedSignals::kWidth, Osc::kPinWidth},
                             {FixedSignals::kZero, Osc::kPinPhaseMod}, {FixedSignals::kZero, Osc::kPinSyncSource}};
    for (const auto& [output, pin] : wiring) {
        signals->connect(osc, osc->moduleIndex, output, pin, 0, 0, 0);
    }
    osc->prepare();
    const std::uint32_t now = engine->sampleClock;
    osc->receiveEvent(now, Osc::kPinCount, kEventStill, 1, 0.0f, nullptr);
    osc->receiveEvent(now, Osc::kPinActive, kEventStill, 2, 0.0f, nullptr);
    osc->receiveEvent(now, Osc::kPinLevel, kEventStill, 0, 1.0f, nullptr);
    osc->receiveEvent(now, Osc::kPinRatio, kEventStill, 0, 0.1f, nullptr);
    osc->receiveEvent(now, Osc::kPinWave, kEventStill, wave, 0.0f, nullptr);
    osc->receiveEvent(now, Osc::kPinPitch, movingPitch ? kEventMoving : kEventStill, 0, 0.5f, nullptr);
    engine->runChunk(kBlock);

    for (auto _ : state) {
        engine->runChunk(kBlock);
        benchmark::DoNotOptimize(osc->outputs[0][kBlock - 1]);
    }
    state.counters["ns_per_frame"] = benchmark::Counter(static_cast<double>(state.iterations()) * kBlock,
                                                        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_OscillatorSawStillPitch(benchmark::State& state) { runOscillator(state, false, kSaw); }
BENCHMARK(BM_OscillatorSawStillPitch);

void BM_OscillatorSawMovingPitch(benchmark::State& state) { runOscillator(state, true, kSaw); }
BENCHMARK(BM_OscillatorSawMovingPitch);

void BM_OscillatorPulseStillPitch(benchmark::State& state) { runOscillator(state, false, kPulse); }
BENCHMARK(BM_OscillatorPulseStillPitch);

}  // namespace
