// The whole instrument through its VST interface, as a host runs it: the cost of a block with no
// note, and with 1, 8 and 20 held voices (a saw through filter type A or Acid); and one voice
// without and with the whole effects chain (melt, chorus, echo, EQ) switched on.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "BenchPlugin.h"
#include "host/PluginFactory.h"
#include "vst/VstAbi.h"

namespace {

using namespace vst;
using bench::parameterIndex;

void set(AEffect* effect, const char* name, float value) {
    const int index = parameterIndex(effect, name);
    if (index >= 0) {
        effect->setParameter(effect, index, value);
    }
}

// Tape melt with wow, chorus, a 1/8 echo with feedback and shift, all three EQ bands after it.
void switchEffectsOn(AEffect* effect) {
    set(effect, "Melt A Mode", 1.0f);  // Tape
    set(effect, "Melt System", 1.0f);  // B
    set(effect, "Melt Depth", 0.5f);
    set(effect, "Melt B to Pitch %", 0.5f);
    set(effect, "Melt B Wow (Hz)", 0.5f);
    set(effect, "Melt Buffer", 0.5f);
    set(effect, "Cho Mode", 1.0f);
    set(effect, "Chorus Mix %", 0.5f);
    set(effect, "Chorus Depth (ms)", 0.5f);
    set(effect, "Chorus Rate (Hz)", 0.5f);
    set(effect, "Chorus Spread (ms)", 0.5f);
    set(effect, "Echo OnOff", 1.0f);
    set(effect, "Echo Rate", 0.75f);  // 1/8
    set(effect, "Echo Length", 0.5f);
    set(effect, "Echo FBK", 0.6f);
    set(effect, "Echo Shift", 0.6f);
    set(effect, "Echo LPF", 0.7f);
    set(effect, "Echo HPF", 0.2f);
    set(effect, "Echo Level", 0.7f);
    set(effect, "EQ Active", 1.0f);
    set(effect, "Pre-Post EQ", 1.0f);  // Post
    for (const char* gain : {"EQ 1 Gain dB", "EQ 2 Gain dB", "EQ 3 Gain dB"}) {
        set(effect, gain, 0.7f);
    }
    for (const char* width : {"EQ 1 Width", "EQ 2 Width", "EQ 3 Width"}) {
        set(effect, width, 0.5f);
    }
    set(effect, "EQ 1 Freq Hz", 0.01f);
    set(effect, "EQ 2 Freq Hz", 0.05f);
    set(effect, "EQ 3 Freq Hz", 0.3f);
}

void playPlugin(benchmark::State& state, float filterType, int voices, bool effects) {
    constexpr int kBlock = 256;
    AEffect* effect = createVelkorEffect(&bench::minimalHostCallback);
    for (int i = 3; i < effect->numParams; ++i) {
        effect->setParameter(effect, i, 0.0f);
    }
    for (const char* name : {"Osc1 Mix", "Amp Sustain %", "Gain", "Master Volume %"}) {
        set(effect, name, 0.7f);
    }
    set(effect, "Osc1 Wave", 1.0f / 14.0f);  // Saw
    set(effect, "LPF Cutoff", 0.6f);
    set(effect, "LPF Resonance", 0.3f);
    set(effect, "LPF Type", filterType);
    set(effect, "Play Mode", 1.0f);  // Poly
    set(effect, "Osc Harmonics", 1.0f);
    if (effects) {
        switchEffectsOn(effect);
    }
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
    effect->dispatcher(effect, effSetBlockSize, 0, kBlock, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);

    std::vector<VstMidiEvent> notes(static_cast<std::size_t>(voices));
    std::vector<std::uint8_t> storage(sizeof(VstEvents) + sizeof(VstEvent*) * notes.size());
    auto* events = reinterpret_cast<VstEvents*>(storage.data());
    events->numEvents = voices;
    for (int v = 0; v < voices; ++v) {
        VstMidiEvent& note = notes[static_cast<std::size_t>(v)];
        std::memset(&note, 0, sizeof note);
        note.type = kVstMidiType;
        note.byteSize = sizeof note;
        note.midiData[0] = static_cast<char>(0x90);
        note.midiData[1] = static_cast<char>(36 + v * 2);
        note.midiData[2] = 100;
        events->events[v] = reinterpret_cast<VstEvent*>(&note);
    }
    std::vector<float> in(kBlock), outL(kBlock), outR(kBlock);
    float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {outL.data(), outR.data()};
    if (voices > 0) {
        effect->dispatcher(effect, effProcessEvents, 0, 0, events, 0.0f);
    }
    for (int i = 0; i < 64; ++i) {
        effect->processReplacing(effect, inputs, outputs, kBlock);
    }
    for (auto _ : state) {
        effect->processReplacing(effect, inputs, outputs, kBlock);
        benchmark::DoNotOptimize(outL.data());
    }
    state.SetItemsProcessed(state.iterations() * kBlock);  // items: sample frames
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

void BM_PluginFilterA(benchmark::State& state) { playPlugin(state, 0.0f, static_cast<int>(state.range(0)), false); }
void BM_PluginFilterAcid(benchmark::State& state) {
    playPlugin(state, 8.0f / 9.0f, static_cast<int>(state.range(0)), false);
}
// Argument 0: effects off, 1: on; the difference is the effects chain's cost per sample frame.
void BM_PluginEffects(benchmark::State& state) { playPlugin(state, 0.0f, 1, state.range(0) != 0); }

}  // namespace

BENCHMARK(BM_PluginFilterA)->Arg(0)->Arg(1)->Arg(8)->Arg(20);
BENCHMARK(BM_PluginFilterAcid)->Arg(1)->Arg(20);
BENCHMARK(BM_PluginEffects)->Arg(0)->Arg(1);
