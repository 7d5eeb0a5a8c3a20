// Cost per sample frame of the master-bus EQ channel (three bands, coefficients held or swept per
// sample) and of the pitch shifter (melt crossfade with a moving pitch, echo crossfade held).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>

#include "BenchEngine.h"
#include "engine/QX_EngineHost.h"
#include "modules/effects/QX_DSP_BiQuad_Coeff.h"
#include "modules/effects/QX_DSP_BiQuad_Multi_Engine.h"
#include "modules/effects/QX_DSP_PitchShifter.h"

namespace {

using Coeff = QX_DSP_BiQuad_Coeff;
using EqEngine = QX_DSP_BiQuad_Multi_Engine;
using Shifter = QX_DSP_PitchShifter;

constexpr int kBlock = 128;
constexpr int kRate = 48000;
constexpr int kBands = 3;

// Audio (a sine), a band frequency (Hz / 10), width, gain (a sweep or a constant) and a pitch
// modulation (a sweep), written once; the module then stays idle so that only the effect counts.
class FixedSignals : public QX_ModuleBase {
public:
    enum Output : int { kAudio, kFrequency, kWidth, kGain, kPitch, kCount };

    FixedSignals(QX_EngineHost* host, bool sweep) : QX_ModuleBase(host, false) {
        for (int k = kAudio; k < kCount; ++k) {
            float* out = makeOutput(k);
            for (int i = 0; i < kBlock + kModuleBufferSpare; ++i) {
                const float t = static_cast<float>(i);
                const float moving = sweep ? 1.0f : 0.0f;
                const float values[] = {0.5f * std::sin(0.05f * t), 150.0f, 0.6f, 0.3f - 0.002f * t * moving,
                                        0.002f + 0.00001f * t};
                out[i] = values[k];
            }
        }
    }
    void render(int, int) override { setIdle(); }
};

template <class Module>
Module* add(BenchEngine& engine, Module* module) {
    engine.modules[engine.moduleCount++] = module;
    return module;
}

void countFrames(benchmark::State& state) {
    state.counters["ns_per_frame"] = benchmark::Counter(static_cast<double>(state.iterations()) * kBlock,
                                                        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void runEq(benchmark::State& state, bool movingGain) {
    auto engine = std::make_unique<BenchEngine>(kBlock, kRate);
    auto* signals = add(*engine, new FixedSignals(engine.get(), movingGain));
    Coeff* coeffs[kBands];
    for (Coeff*& c : coeffs) {
        c = add(*engine, new Coeff(engine.get(), false));
    }
    auto* eq = add(*engine, new EqEngine(engine.get(), false));
    signals->connect(eq, eq->moduleIndex, FixedSignals::kAudio, EqEngine::kPinInput, 0, 0, 0);
    const std::uint32_t now = engine->sampleClock;
    for (int b = 0; b < kBands; ++b) {
        Coeff* c = coeffs[b];
        signals->connect(c, c->moduleIndex, FixedSignals::kFrequency, Coeff::kPinFrequency, 0, 0, 0);
        signals->connect(c, c->moduleIndex, FixedSignals::kWidth, Coeff::kPinWidth, 0, 0, 0);
        signals->connect(c, c->moduleIndex, FixedSignals::kGain, Coeff::kPinGain, 0, 0, 0);
        for (int k = 0; k <= Coeff::kStreams; ++k) {
            c->connect(eq, eq->moduleIndex, k, EqEngine::streamPin(b, k), 0, 0, 0);
        }
        c->prepare();
        c->receiveEvent(now, Coeff::kPinGain, movingGain ? kEventMoving : kEventStill, 0, 0.3f, nullptr);
    }
    eq->prepare();
    eq->receiveEvent(now, EqEngine::kPinInput, kEventMoving, 0, 0.0f, nullptr);
    engine->runChunk(kBlock);
    engine->runChunk(kBlock);
    for (auto _ : state) {
        engine->runChunk(kBlock);
        benchmark::DoNotOptimize(eq->outputs[0][kBlock - 1]);
    }
    countFrames(state);
}

void BM_EqThreeBandsStill(benchmark::State& state) { runEq(state, false); }
BENCHMARK(BM_EqThreeBandsStill);

void BM_EqThreeBandsMovingGain(benchmark::State& state) { runEq(state, true); }
BENCHMARK(BM_EqThreeBandsMovingGain);

void runShifter(benchmark::State& state, int mode, bool movingPitch) {
    auto engine = std::make_unique<BenchEngine>(kBlock, kRate);
    auto* signals = add(*engine, new FixedSignals(engine.get(), false));
    auto* shifter = add(*engine, new Shifter(engine.get(), false));
    signals->connect(shifter, shifter->moduleIndex, FixedSignals::kAudio, Shifter::kPinInput, 0, 0, 0);
    signals->connect(shifter, shifter->moduleIndex, FixedSignals::kPitch, Shifter::kPinPitch, 0, 0, 0);
    shifter->prepare();
    const std::uint32_t now = engine->sampleClock;
    shifter->receiveEvent(now, Shifter::kPinMode, kEventStill, mode, 0.0f, nullptr);
    shifter->receiveEvent(now, Shifter::kPinScale, kEventStill, 0, 0.0f, nullptr);
    shifter->receiveEvent(now, Shifter::kPinPitch, movingPitch ? kEventMoving : kEventStill, 0, 0.0f, nullptr);
    shifter->receiveEvent(now, Shifter::kPinInput, kEventMoving, 0, 0.0f, nullptr);
    engine->runChunk(kBlock);
    for (auto _ : state) {
        engine->runChunk(kBlock);
        benchmark::DoNotOptimize(shifter->outputs[0][kBlock - 1]);
    }
    countFrames(state);
}

void BM_PitchShifterMeltMovingPitch(benchmark::State& state) { runShifter(state, 1, true); }
BENCHMARK(BM_PitchShifterMeltMovingPitch);

void BM_PitchShifterEchoStillPitch(benchmark::State& state) { runShifter(state, 4, false); }
BENCHMARK(BM_PitchShifterEchoStillPitch);

}  // namespace
