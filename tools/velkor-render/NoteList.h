// Notes typed on the command line ("60:0:1:100,E4:0.5:1") and the MIDI events that play them.
#pragma once

#include <string_view>
#include <vector>

#include "velkor-render/Sequence.h"

namespace render {

// Syntax: KEY:START:LENGTH[:VELOCITY[:CHANNEL]] entries separated by commas, where KEY is a MIDI
// key 0..127 or a name such as C4, F#3, Bb2 (C4 = 60), START and LENGTH are seconds, VELOCITY is
// 1..127 (default 100) and CHANNEL is 1..16 (default 1).
class NoteList {
public:
    struct Note {
        int key;
        double startSeconds;
        double lengthSeconds;
        int velocity;
        int channel;  // 1..16
    };

    static constexpr int kDefaultVelocity = 100;
    static constexpr int kDefaultChannel = 1;

    // Throws std::invalid_argument naming the entry and the field at fault.
    static NoteList parse(std::string_view text);

    const std::vector<Note>& notes() const { return notes_; }

    // Note-offs sort before note-ons at the same time, so a repeated key retriggers cleanly.
    Sequence toSequence(double bpm = TempoMap::kDefaultBpm) const;

private:
    std::vector<Note> notes_;
};

}  // namespace render
