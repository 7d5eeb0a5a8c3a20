// Standard MIDI File reader (formats 0 and 1): merges the tracks by time, turns ticks into seconds
// through the tempo changes, and rejects malformed input with a message instead of reading on.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "velkor-render/Sequence.h"

namespace render {

class MidiFile {
public:
    // Throw std::runtime_error naming the fault and its byte offset. The initial tempo holds
    // until the file's first tempo event.
    static MidiFile parse(std::span<const std::uint8_t> bytes,
                          double initialBpm = TempoMap::kDefaultBpm);
    static MidiFile load(const std::string& path, double initialBpm = TempoMap::kDefaultBpm);

    int format() const { return format_; }
    int trackCount() const { return trackCount_; }
    const Sequence& sequence() const { return sequence_; }

private:
    MidiFile() = default;

    int format_ = 0;
    int trackCount_ = 0;
    Sequence sequence_;
};

}  // namespace render
