// A timed message to one module input: a parameter change, a MIDI message or a signal between
// modules. Times are engine samples (the core's sampleClock).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

// Event kinds sent on module outputs: a reader picks per-sample or per-block routines by them.
constexpr std::uint16_t kEventStill = 0;   // constant from this time on (parameters, MIDI)
constexpr std::uint16_t kEventMoving = 1;  // changes sample by sample from this time on

struct Event {
    std::uint32_t time;
    std::uint16_t pin;
    std::uint16_t kind;
    std::int32_t ivalue;  // tenths of a parameter's engineering value, or a packed MIDI message
    float fvalue;         // a parameter's engineering value, 0 for MIDI
    void* data;           // a parameter's storage, or null
    Event* next;
};

// A MIDI message inside the engine: status | data1 << 8 | data2 << 16.
constexpr std::int32_t packMidi(int status, int data1, int data2) {
    return (status & 0xFF) | ((data1 & 0xFF) << 8) | ((data2 & 0xFF) << 16);
}

// The integer sent beside a parameter's engineering value; for option lists, the option index.
inline std::int32_t tenths(float engineering) {
    const double scaled = std::trunc(static_cast<double>(engineering) * 10.0 + 1000.5);
    if (std::isnan(scaled)) {
        return 0;  // a NaN has no integer; converting it would be undefined
    }
    // Out-of-range values saturate instead of overflowing the conversion.
    return static_cast<std::int32_t>(std::clamp(scaled, -2.0e9, 2.0e9)) - 1000;
}
