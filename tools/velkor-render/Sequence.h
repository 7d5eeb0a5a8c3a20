// What the renderer plays: MIDI events in time order, the tempo the host reports along the way,
// and how long the music lasts before the tail.
#pragma once

#include <vector>

#include "velkor-render/TempoMap.h"
#include "velkor-render/TimedMidiEvent.h"

namespace render {

struct Sequence {
    std::vector<TimedMidiEvent> events;  // sorted by time, ties in delivery order
    TempoMap tempo;
    double lengthSeconds = 0.0;  // at least the time of the last event
};

}  // namespace render
