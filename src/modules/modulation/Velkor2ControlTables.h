// The lookup tables of the synth control logic: wave numbers, echo beats, LFO beat lengths and the
// limiter routing codes, each indexed by the option of the parameter that selects it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velkor2_control {

struct WaveChoice {
    const char* option;
    std::int32_t wave;  // wave number as the oscillator or LFO reads it
};

// "HFO Shape"
constexpr WaveChoice kHfoWaves[] = {
    {"Sine", 0}, {"Triangle", 1}, {"Pulse", 2}, {"Saw", 3}, {"Trap", 16}, {"Peak", 9}, {"Random", 11},
};

// "SubOsc Wave"
constexpr WaveChoice kSubOscWaves[] = {
    {"Sine", 0}, {"Square", 7}, {"Triangle", 3}, {"Vox", 11}, {"Vox2", 12}, {"Vox3", 13}, {"Funk", 14},
};

struct EchoRate {
    const char* option;
    float beats;
};

// "Echo Rate"
constexpr EchoRate kEchoRates[] = {
    {"1b", 4.0f}, {"1/2", 2.0f}, {"1/4", 1.0f}, {"1/8", 0.5f}, {"1/16", 0.25f},
};

struct LfoBeat {
    const char* option;
    float ticks;  // beat length in ticks, 960 to "1b"
};

// "Lfo1 Beat", "Lfo2 Beat", "Lfo3 Beat"
constexpr LfoBeat kLfoBeats[] = {
    {"16b", 15360.0f}, {"8b", 7680.0f}, {"4b", 3840.0f}, {"2b", 1920.0f}, {"1b", 960.0f}, {"2/1", 480.0f},
    {"1/1", 240.0f},   {"1/2", 120.0f}, {"1/4", 60.0f},  {"1/8", 30.0f},  {"1/16", 15.0f},
};

struct LimiterRouting {
    const char* option;
    std::int32_t postLimiter;  // output 40
    std::int32_t preLimiter;   // output 41
};

// "Gain Mode"
constexpr LimiterRouting kLimiterRoutings[] = {
    {"Post", 1, 2}, {"Pre", 2, 1}, {"Off", 1, 1},
};

template <class Entry, std::size_t N>
constexpr int optionCount(const Entry (&)[N]) {
    return static_cast<int>(N);
}

static_assert(optionCount(kHfoWaves) == 7 && optionCount(kSubOscWaves) == 7);
static_assert(optionCount(kEchoRates) == 5 && optionCount(kLfoBeats) == 11 && optionCount(kLimiterRoutings) == 3);

}  // namespace velkor2_control
