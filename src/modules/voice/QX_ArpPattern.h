// The arpeggiator's note list and walk: keys in order of arrival, the cycle and random orders over
// them and their octaves. Knows nothing of time; the arpeggiator module asks it for one note per step.
#pragma once

#include <cstdint>

class SharedRandom;

class QX_ArpPattern {
public:
    // Random mode draws from the instrument's shared source, interleaved with its other callers.
    explicit QX_ArpPattern(SharedRandom& random) : random_(random) {}

    static constexpr int kCapacity = 32;  // usable entries of the note list
    static constexpr std::uint8_t kEmpty = 0xFF;

    // "Arp Mode" option indices; 0 means no mode has arrived yet.
    static constexpr int kModeOff = 0;
    static constexpr int kCycleUp = 1;
    static constexpr int kCycleDown = 2;
    static constexpr int kCycleUpDown = 3;
    static constexpr int kCycleUpDown2 = 4;
    static constexpr int kRandom = 5;

    struct Note {
        int note;
        int velocity;
        int channel;
    };

    void clear();  // empties the list and the key counts and ends the phrase
    void setMode(int mode);
    void setRange(int rangeIndex);
    int mode() const { return mode_; }
    bool phraseOn() const { return phraseOn_; }

    // A key pressed: returns true when it starts a new phrase.
    bool press(int note, int velocity, int channel);
    void release(int note);

    // The next note of the walk; false when the step plays nothing (no phrase, an empty slot or a
    // note above 127).
    bool step(Note& out);

private:
    bool cycleStep(Note& out);
    bool randomStep(Note& out);
    void findPosition();
    bool bounces() const;
    int randomInt(int n);

    std::uint8_t notes_[kCapacity + 1] = {};
    std::uint8_t vels_[kCapacity + 1] = {};
    std::uint8_t chans_[kCapacity + 1] = {};
    std::uint8_t keyCount_[128] = {};
    int last_ = -1;
    int heldCount_ = 0;
    bool phraseOn_ = false;
    int pos_ = 0;
    int dir_ = 1;
    int startDir_ = 1;
    int octave_ = 0;
    int startOctave_ = 0;
    int span_ = 0;
    int mode_ = kModeOff;
    SharedRandom& random_;
};
