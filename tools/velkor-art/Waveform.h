// The waveforms the option displays draw, by the item names of the instrument's option lists:
// one period as a function of phase 0..1, roughly within -1..1 (the display scales it).
#pragma once

#include <string_view>

namespace art {

struct Waveform {
    const char* name;
    double (*value)(double phase);
};

// Null when no waveform has this name.
const Waveform* findWaveform(std::string_view name);

}  // namespace art
