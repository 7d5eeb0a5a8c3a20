// The open editor's 16 ms tick, through the plug-in as a host drives it: headless (effEditOpen
// without a parent, effEditIdle runs the tick) with nothing changed, and after one knob's
// parameter moved; and the whole process with the editor in a real X11 window, sleeping.
// "core_pct": for the headless ticks, the share of one core they cost at the window's 62.5 ticks
// per second; for the window, the share the whole process takes while it sits there.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "BenchPlugin.h"
#include "host/PluginFactory.h"
#include "vst/VstAbi.h"

// Last: Xlib's macros (None, Status...) would clash with the names above.
#include <X11/Xlib.h>

namespace {

using namespace vst;
using bench::parameterIndex;

constexpr double kTicksPerSecond = 1000.0 / 16.0;
constexpr int kSettleTicks = 200;  // meters fall back, panels settle
constexpr unsigned kHostWindowWidth = 1024;  // pixels, room for the editor
constexpr unsigned kHostWindowHeight = 768;
// Written between cold ticks, as the 16 ms of other work between two ticks would: well past the
// core's own caches (48 KiB L1, 1 MiB L2 here).
constexpr std::size_t kOtherWorkBytes = std::size_t{8} << 20;
constexpr std::size_t kCacheLineBytes = 64;
constexpr int kColdTicks = 2000;

AEffect* openPlugin() {
    AEffect* effect = createVelkorEffect(&bench::minimalHostCallback);
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
    effect->dispatcher(effect, effSetBlockSize, 0, 256, nullptr, 0.0f);
    return effect;
}

void closePlugin(AEffect* effect) {
    effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

void idleTick(AEffect* effect) { effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f); }

void openEditorHeadless(AEffect* effect) {
    effect->dispatcher(effect, effEditOpen, 0, 0, nullptr, 0.0f);
    for (int i = 0; i < kSettleTicks; ++i) {
        idleTick(effect);
    }
}

double cpuSeconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Argument 0: nothing changed between ticks; 1: "LPF Cutoff" moved before each tick.
void BM_EditorTick(benchmark::State& state) {
    AEffect* effect = openPlugin();
    openEditorHeadless(effect);
    const bool moveKnob = state.range(0) != 0;
    const int cutoff = parameterIndex(effect, "LPF Cutoff");
    if (cutoff < 0) {
        state.SkipWithError("no LPF Cutoff parameter");
    }
    float value = 0.25f;
    const double cpuBefore = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    for (auto _ : state) {
        if (moveKnob) {
            value = value == 0.25f ? 0.75f : 0.25f;
            effect->setParameter(effect, cutoff, value);
        }
        idleTick(effect);
    }
    const double perTick =
        (cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - cpuBefore) / static_cast<double>(state.iterations());
    state.counters["core_pct"] = 100.0 * perTick * kTicksPerSecond;
    closePlugin(effect);
}

// An idle tick with nothing changed whose code and data had to come back from memory, as in the
// window's thread, which sleeps 16 ms between ticks; a hot loop of ticks hides that cost.
void BM_EditorTickCold(benchmark::State& state) {
    AEffect* effect = openPlugin();
    openEditorHeadless(effect);
    std::vector<std::uint8_t> otherWork(kOtherWorkBytes);
    double total = 0.0;
    for (auto _ : state) {
        for (std::size_t i = 0; i < otherWork.size(); i += kCacheLineBytes) {
            ++otherWork[i];
        }
        benchmark::ClobberMemory();
        const auto start = std::chrono::steady_clock::now();
        idleTick(effect);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        total += seconds;
    }
    state.counters["core_pct"] = 100.0 * total / static_cast<double>(state.iterations()) * kTicksPerSecond;
    closePlugin(effect);
}

// The editor in a child of a window of ours on $DISPLAY (an Xvfb will do), its own thread
// ticking; each iteration sleeps a second, so the process's CPU time is all the editor's.
void BM_EditorWindowIdle(benchmark::State& state) {
    Display* display = std::getenv("DISPLAY") != nullptr ? XOpenDisplay(nullptr) : nullptr;
    if (display == nullptr) {
        state.SkipWithError("no X display");
        for (auto _ : state) {
        }
        return;
    }
    const Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, kHostWindowWidth,
                                              kHostWindowHeight, 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);
    AEffect* effect = openPlugin();
    void* parentHandle = reinterpret_cast<void*>(static_cast<std::uintptr_t>(parent));
    if (effect->dispatcher(effect, effEditOpen, 0, 0, parentHandle, 0.0f) == 0) {
        state.SkipWithError("the editor's window did not open");
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));  // first paint and meters settle
    const double cpuBefore = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const auto wallBefore = std::chrono::steady_clock::now();
    for (auto _ : state) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    const double cpu = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuBefore;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
    state.counters["core_pct"] = 100.0 * cpu / wall;
    closePlugin(effect);
    XDestroyWindow(display, parent);
    XCloseDisplay(display);
}

}  // namespace

BENCHMARK(BM_EditorTick)->Arg(0)->Arg(1);
BENCHMARK(BM_EditorTickCold)->Iterations(kColdTicks)->UseManualTime();
BENCHMARK(BM_EditorWindowIdle)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);
