// Cost per sample frame of the echo and chorus delay lines: the mono line with a still time and
// feedback, with a sweeping time, the stereo whole-sample delay, and the chorus core with two and
// three swept taps.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>

#include "BenchEngine.h"
#include "engine/QX_EngineHost.h"
#include "modules/effects/QX_DSP_Chorus3v.h"
#include "modules/effects/QX_DSP_Delay.h"
#include "modules/effects/QX_DSP_Delay_ST.h"

namespace {

constexpr int kBlock = 128;
constexpr int kRate = 48000;

// Signals written once for the whole ring; the module then stays idle so that only the delay
// line is measured.
class FixedSignals : public QX_ModuleBase {
public:
    enum Output : int { kLeft, kRight, kTime, kDepth, kModulation1, kModulation2, kModulation3, kCount };

    explicit FixedSignals(QX_EngineHost* host) : QX_ModuleBase(host, false) {
        for (int k = kLeft; k < kCount; ++k) {
            float* out = makeOutput(k);
            for (int i = 0; i < kBlock + kModuleBufferSpare; ++i) {
                const float t = static_cast<float>(i);
                const float values[] = {0.5f * std::sin(0.05f * t),
                                        0.5f * std::cos(0.03f * t),
                                        48.2f + 0.01f * t,  // hundredths of a second, sweeping
                                        0.4f,
                                        0.5f * std::sin(0.001f * t),
                                        0.5f * std::cos(0.0013f * t),
                                        0.5f * std::sin(0.0017f * t)};
                out[i] = values[k];
            }
        }
    }
    void render(int, int) override { setIdle(); }
};

struct Bench {
    Bench() : engine(std::make_unique<BenchEngine>(kBlock, kRate)) {
        signals = add(new FixedSignals(engine.get()));
    }
    template <class Module>
    Module* add(Module* module) {
        engine->modules[engine->moduleCount++] = module;
        return module;
    }
    void wire(QX_ModuleBase* to, int output, int pin) { signals->connect(to, to->moduleIndex, output, pin, 0, 0, 0); }
    void event(QX_ModuleBase* to, int pin, int kind, std::int32_t ivalue, float fvalue) {
        to->receiveEvent(engine->sampleClock, pin, kind, ivalue, fvalue, nullptr);
    }
    void measure(benchmark::State& state, const float* watched) {
        engine->runChunk(kBlock);
        engine->runChunk(kBlock);
        for (auto _ : state) {
            engine->runChunk(kBlock);
            benchmark::DoNotOptimize(watched[kBlock - 1]);
        }
        state.counters["ns_per_frame"] = benchmark::Counter(static_cast<double>(state.iterations()) * kBlock,
                                                            benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    }

    std::unique_ptr<BenchEngine> engine;
    FixedSignals* signals;
};

void runLine(benchmark::State& state, bool movingTime) {
    Bench bench;
    auto* line = bench.add(new QX_DSP_Delay(bench.engine.get(), false));
    bench.wire(line, FixedSignals::kLeft, QX_DSP_Delay::kPinInput);
    if (movingTime) {
        bench.wire(line, FixedSignals::kTime, QX_DSP_Delay::kPinTime);
    }
    line->prepare();
    bench.event(line, QX_DSP_Delay::kPinSize, kEventStill, 0, 0.0f);
    if (!movingTime) {
        bench.event(line, QX_DSP_Delay::kPinTime, kEventStill, 482, 48.2f);
        bench.event(line, QX_DSP_Delay::kPinFeedback, kEventStill, 5, 0.5f);
    }
    bench.measure(state, line->outputs[0]);
}

void BM_DelayStillTimeWithFeedback(benchmark::State& state) { runLine(state, false); }
BENCHMARK(BM_DelayStillTimeWithFeedback);

void BM_DelaySweepingTime(benchmark::State& state) { runLine(state, true); }
BENCHMARK(BM_DelaySweepingTime);

void BM_StereoDelay(benchmark::State& state) {
    Bench bench;
    auto* delay = bench.add(new QX_DSP_Delay_ST(bench.engine.get(), false));
    bench.wire(delay, FixedSignals::kLeft, QX_DSP_Delay_ST::kPinLeft);
    bench.wire(delay, FixedSignals::kRight, QX_DSP_Delay_ST::kPinRight);
    delay->prepare();
    bench.event(delay, QX_DSP_Delay_ST::kPinSize, kEventStill, 8, 0.8f);
    bench.event(delay, QX_DSP_Delay_ST::kPinTime, kEventStill, 18, 1.8f);
    bench.measure(state, delay->outputs[1]);
}
BENCHMARK(BM_StereoDelay);

void runChorus(benchmark::State& state, int taps) {
    Bench bench;
    auto* chorus = bench.add(new QX_DSP_Chorus3v(bench.engine.get(), false));
    bench.wire(chorus, FixedSignals::kLeft, QX_DSP_Chorus3v::kPinInput);
    bench.wire(chorus, FixedSignals::kDepth, QX_DSP_Chorus3v::kPinDepth);
    for (int tap = 0; tap < QX_DSP_Chorus3v::kTaps; ++tap) {
        bench.wire(chorus, FixedSignals::kModulation1 + tap, QX_DSP_Chorus3v::kPinFirstModulation + tap);
    }
    chorus->prepare();
    bench.event(chorus, QX_DSP_Chorus3v::kPinTaps, kEventStill, taps, 0.1f * static_cast<float>(taps));
    bench.measure(state, chorus->outputs[0]);
}

void BM_ChorusTwoTaps(benchmark::State& state) { runChorus(state, 2); }
BENCHMARK(BM_ChorusTwoTaps);

void BM_ChorusThreeTaps(benchmark::State& state) { runChorus(state, 3); }
BENCHMARK(BM_ChorusThreeTaps);

}  // namespace
