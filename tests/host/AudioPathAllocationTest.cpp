#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "support/AllocationWatch.h"
#include "support/PluginPlayer.h"

namespace {

using namespace vst;

// Every section of the instrument switched on, so the whole graph renders.
const char* const kSwitchedOn[] = {
    "Lfo1 On/Off", "Lfo2 On/Off", "Lfo3 On/Off", "Hfo On/Off", "Aft On/Off",   "Env On/Off",
    "Echo OnOff",  "Echo Pong",   "EQ Active",   "Seq OnOff",  "Filter2 Active", "Arp OnOff",
};
const char* const kTurnedUp[] = {
    "Osc1 Mix",   "Osc2 Mix",    "SubOsc Mix",     "Noise Mix",   "Amp Sustain %", "LPF Cutoff",
    "Gain",       "Master Volume %", "Lfo1 Depth", "Lfo2 Depth",  "Lfo3 Depth",    "HFO Depth",
    "Env1 Level", "Melt Depth",  "Melt A Pitch",   "Echo Level",  "Echo FBK",      "Chorus Mix %",
    "Chorus Depth (ms)", "Cho Mode", "Osc Drift", "Filter Env Level", "Filter Saturation %",
};

struct PreparedEvents {
    std::vector<VstMidiEvent> midi;
    std::vector<std::uint8_t> storage;

    VstEvents* prepare(std::initializer_list<std::array<std::uint8_t, 3>> messages) {
        midi.assign(messages.size(), VstMidiEvent{});
        storage.assign(sizeof(VstEvents) + sizeof(VstEvent*) * messages.size(), 0);
        auto* events = reinterpret_cast<VstEvents*>(storage.data());
        events->numEvents = static_cast<int32>(messages.size());
        std::size_t i = 0;
        for (const auto& bytes : messages) {
            midi[i].type = kVstMidiType;
            midi[i].byteSize = sizeof(VstMidiEvent);
            midi[i].deltaFrames = static_cast<int32>(i * 7);
            std::memcpy(midi[i].midiData, bytes.data(), 3);
            events->events[i] = reinterpret_cast<VstEvent*>(&midi[i]);
            ++i;
        }
        return events;
    }
};

TEST(HostAudioPath, ProcessingEverythingTakesNoMemory) {
    PluginPlayer player(48000.0f, 512);
    for (const char* name : kSwitchedOn) {
        player.set(name, 1.0f);
    }
    for (const char* name : kTurnedUp) {
        player.set(name, 0.7f);
    }
    player.setShown("Play Mode", "Poly");
    player.start();
    player.renderUntil(4096);  // settled: first-block work is done

    AEffect* effect = player.host.effect;
    std::vector<float> inL(512), inR(512), outL(512), outR(512);
    float* inputs[2] = {inL.data(), inR.data()};
    float* outputs[2] = {outL.data(), outR.data()};
    PreparedEvents chord, bend, release;
    VstEvents* chordEvents = chord.prepare({{{0x90, 60, 100}}, {{0x90, 64, 90}}, {{0x90, 67, 80}}, {{0xB0, 64, 127}}});
    VstEvents* bendEvents = bend.prepare({{{0xE0, 0, 100}}, {{0xD0, 90, 0}}, {{0xB0, 1, 64}}, {{0xB0, 74, 20}}});
    VstEvents* releaseEvents = release.prepare({{{0x80, 60, 0}}, {{0xB0, 64, 0}}, {{0xB0, 123, 0}}});

    long taken = 0;
    bool finite = true;
    for (int block = 0; block < 400; ++block) {
        if (block == 200) {
            effect->dispatcher(effect, effSetProgram, 0, 3, nullptr, 0.0f);  // fade, apply, fade in
        }
        AllocationWatch watch;
        if (block % 100 == 0) {
            effect->dispatcher(effect, effProcessEvents, 0, 0, chordEvents, 0.0f);
        } else if (block % 100 == 30) {
            effect->dispatcher(effect, effProcessEvents, 0, 0, bendEvents, 0.0f);
        } else if (block % 100 == 70) {
            effect->dispatcher(effect, effProcessEvents, 0, 0, releaseEvents, 0.0f);
        }
        effect->processReplacing(effect, inputs, outputs, block % 3 == 0 ? 1 : 512);
        taken += watch.allocations();
        for (float v : outL) {
            finite = finite && std::isfinite(v);
        }
    }
    EXPECT_EQ(taken, 0);
    EXPECT_TRUE(finite);
}

}  // namespace
