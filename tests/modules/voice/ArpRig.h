// The arpeggiator under test: a probe on its MIDI output, parameters sent as the core sends them
// (engineering value and its tenths) and clock pulses at chosen samples.
#pragma once

#include <cstdint>
#include <vector>

#include "modules/voice/QX_DSP_Midi_Phrase_Arp.h"
#include "support/ProbeModule.h"
#include "support/TestEngine.h"

namespace arp_test {

using Arp = QX_DSP_Midi_Phrase_Arp;

constexpr std::int32_t noteOnWord(int note, int velocity = 100, int channel = 0) {
    return packMidi(0x90 + channel, note, velocity);
}
constexpr std::int32_t noteOffWord(int note, int velocity = 100, int channel = 0) {
    return packMidi(0x80 + channel, note, velocity);
}

// A word seen on the arpeggiator's output, `offset` samples after the rig's start.
struct ArpOut {
    std::int64_t offset;
    std::int32_t word;
    bool operator==(const ArpOut&) const = default;
};

struct ArpRig {
    explicit ArpRig(int blockLength = 128) : engine(blockLength) {
        arp = engine.add<Arp>(false);
        probe = engine.add<ProbeModule>(false);
        arp->connect(probe, probe->moduleIndex, Arp::kOutputMidi, 0, 0, 0, 0);
        engine.prepareAll();
        start = engine.sampleClock;
    }

    void midi(std::int64_t offset, std::int32_t word) { event(offset, Arp::kPinMidi, word, 0.0f); }
    // A parameter as the core sends it: the engineering value and its tenths.
    void param(std::int64_t offset, int pin, float engineering) {
        event(offset, pin, tenths(engineering), engineering);
    }
    void option(std::int64_t offset, int pin, int index) { param(offset, pin, 0.1f * static_cast<float>(index)); }
    void pulse(std::int64_t offset) {
        event(offset, Arp::kPinClock, 1, 1.0f);
        event(offset + 1, Arp::kPinClock, 0, 0.0f);
    }
    void event(std::int64_t offset, int pin, std::int32_t ivalue, float fvalue) {
        arp->receiveEvent(start + static_cast<std::uint32_t>(offset), pin, kEventStill, ivalue, fvalue, nullptr);
    }
    // The arpeggiator on in `mode` with range index `range`, the defaults otherwise (120 BPM, one
    // step per beat, gate 50 %).
    void arpOn(int mode, int range = 0) {
        option(0, Arp::kPinMode, mode);
        option(0, Arp::kPinRange, range);
        option(0, Arp::kPinRate, 3);
        param(0, Arp::kPinTempo, 12.0f);
        param(0, Arp::kPinGate, 0.5f);
        param(0, Arp::kPinHalf, 1.0f);
        option(0, Arp::kPinOnOff, 1);
    }

    std::vector<ArpOut> run(int frames) {
        engine.run(frames);
        std::vector<ArpOut> out;
        for (const auto& e : probe->events) {
            out.push_back({static_cast<std::int64_t>(static_cast<std::int32_t>(e.time - start)), e.ivalue});
        }
        return out;
    }

    TestEngine engine;
    Arp* arp;
    ProbeModule* probe;
    std::uint32_t start;
};

}  // namespace arp_test
