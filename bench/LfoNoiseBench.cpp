// Cost of the modulation and noise sources per sample frame: the LFO with a still rate and offset
// (one increment per block), as the HFO with a moving pitch (one table lookup per sample) and with
// a moving offset; the noise plain, filtered and held.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "BenchEngine.h"
#include "engine/QX_EngineHost.h"
#include "modules/modulation/QX_DSP_LFO.h"
#include "modules/sources/QX_DSP_Noise.h"

namespace {

using Lfo = QX_DSP_LFO;
using Noise = QX_DSP_Noise;

constexpr int kBlock = 128;
constexpr int kRate = 48000;
constexpr int kSine = 0;
constexpr int kTrap = 16;

// Rate (a glide over the block), offset (a wobble) and amount 1, written once; the module then
// stays idle so that only the LFO is measured.
class FixedSignals : public QX_ModuleBase {
public:
    enum Output : int { kRateOut, kOffsetOut, kAmountOut };

    explicit FixedSignals(QX_EngineHost* host) : QX_ModuleBase(host, false) {
        for (int k = kRateOut; k <= kAmountOut; ++k) {
            float* out = makeOutput(k);
            for (int i = 0; i < kBlock + kModuleBufferSpare; ++i) {
                const auto x = static_cast<float>(i);
                const float values[] = {0.5f + 0.0001f * x, 0.001f * x, 1.0f};
                out[i] = values[k];
            }
        }
    }
    void render(int, int) override { setIdle(); }
};

enum class LfoMode { StillRate, MovingPitch, MovingOffset };

void runLfo(benchmark::State& state, LfoMode mode, int shape) {
    auto engine = std::make_unique<BenchEngine>(kBlock, kRate);
    auto* signals = new FixedSignals(engine.get());
    engine->modules[engine->moduleCount++] = signals;
    auto* lfo = new Lfo(engine.get(), false);
    engine->modules[engine->moduleCount++] = lfo;
    signals->connect(lfo, lfo->moduleIndex, FixedSignals::kRateOut, Lfo::kPinRate, 0, 0, 0);
    signals->connect(lfo, lfo->moduleIndex, FixedSignals::kOffsetOut, Lfo::kPinPhaseOffset, 0, 0, 0);
    signals->connect(lfo, lfo->moduleIndex, FixedSignals::kAmountOut, Lfo::kPinAmount, 0, 0, 0);
    lfo->prepare();
    const std::uint32_t now = engine->sampleClock;
    lfo->receiveEvent(now, Lfo::kPinShape, kEventStill, shape, 0.0f, nullptr);
    if (mode == LfoMode::MovingPitch) {
        lfo->receiveEvent(now, Lfo::kPinRateUnit, kEventStill, 0, 0.0f, nullptr);
        lfo->receiveEvent(now, Lfo::kPinRate, kEventMoving, 0, 0.0f, nullptr);
    }
    if (mode == LfoMode::MovingOffset) {
        lfo->receiveEvent(now, Lfo::kPinPhaseOffset, kEventMoving, 0, 0.0f, nullptr);
    }
    engine->runChunk(kBlock);

    for (auto _ : state) {
        engine->runChunk(kBlock);
        benchmark::DoNotOptimize(lfo->outputs[0][kBlock - 1]);
    }
    state.counters["ns_per_frame"] = benchmark::Counter(static_cast<double>(state.iterations()) * kBlock,
                                                        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_LfoSineStillRate(benchmark::State& state) { runLfo(state, LfoMode::StillRate, kSine); }
BENCHMARK(BM_LfoSineStillRate);

void BM_HfoTrapMovingPitch(benchmark::State& state) { runLfo(state, LfoMode::MovingPitch, kTrap); }
BENCHMARK(BM_HfoTrapMovingPitch);

void BM_LfoSineMovingOffset(benchmark::State& state) { runLfo(state, LfoMode::MovingOffset, kSine); }
BENCHMARK(BM_LfoSineMovingOffset);

void runNoise(benchmark::State& state, float lowpass, float highpass, float tone) {
    auto engine = std::make_unique<BenchEngine>(kBlock, kRate);
    auto* noise = new Noise(engine.get(), false);
    engine->modules[engine->moduleCount++] = noise;
    noise->prepare();
    const std::uint32_t now = engine->sampleClock;
    noise->receiveEvent(now, Noise::kPinLowpass, kEventStill, 0, lowpass, nullptr);
    noise->receiveEvent(now, Noise::kPinHighpass, kEventStill, 0, highpass, nullptr);
    noise->receiveEvent(now, Noise::kPinTone, kEventStill, 0, tone, nullptr);
    engine->runChunk(kBlock);

    for (auto _ : state) {
        engine->runChunk(kBlock);
        benchmark::DoNotOptimize(noise->outputs[0][kBlock - 1]);
    }
    state.counters["ns_per_frame"] = benchmark::Counter(static_cast<double>(state.iterations()) * kBlock,
                                                        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_NoisePlain(benchmark::State& state) { runNoise(state, 0.0f, 0.0f, 0.0f); }
BENCHMARK(BM_NoisePlain);

void BM_NoiseFiltered(benchmark::State& state) { runNoise(state, 0.5f, 0.02f, 0.0f); }
BENCHMARK(BM_NoiseFiltered);

void BM_NoiseFilteredHeld(benchmark::State& state) { runNoise(state, 0.5f, 0.02f, 8.0f); }
BENCHMARK(BM_NoiseFilteredHeld);

}  // namespace
