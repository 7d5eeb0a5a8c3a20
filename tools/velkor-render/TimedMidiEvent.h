// One short MIDI message placed on the render timeline in seconds; MIDI files and command-line
// note lists both become lists of these.
#pragma once

#include <array>
#include <cstdint>

namespace render {

struct TimedMidiEvent {
    double seconds;
    std::array<std::uint8_t, 3> bytes;  // status, data1, data2 (0 when the message has fewer)
};

}  // namespace render
