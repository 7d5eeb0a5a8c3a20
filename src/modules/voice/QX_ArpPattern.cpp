#include "modules/voice/QX_ArpPattern.h"

#include <algorithm>
#include <cstring>

#include "engine/SharedRandom.h"

namespace {

constexpr int kOctave = 12;  // semitones
constexpr int kHighestNote = 127;
constexpr int kHighestRange = 3;  // "Arp Range" "1,2,3,4,"

}  // namespace

void QX_ArpPattern::clear() {
    std::memset(notes_, kEmpty, sizeof notes_);
    std::memset(vels_, 0, sizeof vels_);
    std::memset(chans_, 0, sizeof chans_);
    std::memset(keyCount_, 0, sizeof keyCount_);
    last_ = -1;
    heldCount_ = 0;
    phraseOn_ = false;
    pos_ = 0;
}

void QX_ArpPattern::setMode(int mode) {
    mode_ = std::clamp(mode, kModeOff, kRandom);
    const bool down = mode_ == kCycleDown;
    startOctave_ = down ? span_ : 0;
    startDir_ = down ? -1 : 1;
}

void QX_ArpPattern::setRange(int rangeIndex) {
    span_ = std::clamp(rangeIndex, 0, kHighestRange) * kOctave;
    if (mode_ == kCycleDown) {
        startOctave_ = span_;
    }
}

bool QX_ArpPattern::press(int note, int velocity, int channel) {
    note &= kHighestNote;
    ++heldCount_;
    if (heldCount_ > 1 && last_ == kCapacity - 1) {
        // A key that finds the list full leaves no trace, so its note-off finds nothing either.
        --heldCount_;
        return false;
    }
    if (keyCount_[note] < 0xFF) {
        ++keyCount_[note];
    }
    const bool starts = heldCount_ == 1;
    if (starts) {
        octave_ = startOctave_;
        phraseOn_ = true;
        pos_ = 0;
        last_ = -1;
        dir_ = startDir_;
    }
    ++last_;
    notes_[last_] = static_cast<std::uint8_t>(note);
    vels_[last_] = static_cast<std::uint8_t>(velocity & 0x7F);
    chans_[last_] = static_cast<std::uint8_t>(channel & 0x0F);
    return starts;
}

void QX_ArpPattern::release(int note) {
    note &= kHighestNote;
    if (keyCount_[note] == 0) {
        return;
    }
    --keyCount_[note];
    heldCount_ = std::max(heldCount_ - 1, 0);
    for (int i = last_; i >= 0; --i) {
        if (notes_[i] == note) {
            std::memmove(notes_ + i, notes_ + i + 1, static_cast<std::size_t>(last_ - i));
            std::memmove(vels_ + i, vels_ + i + 1, static_cast<std::size_t>(last_ - i));
            std::memmove(chans_ + i, chans_ + i + 1, static_cast<std::size_t>(last_ - i));
            notes_[last_] = kEmpty;
            --last_;
            break;
        }
    }
    if (last_ < 0) {
        phraseOn_ = false;
        heldCount_ = 0;
    }
}

bool QX_ArpPattern::step(Note& out) {
    if (mode_ == kModeOff || !phraseOn_ || last_ < 0) {
        return false;
    }
    return mode_ == kRandom ? randomStep(out) : cycleStep(out);
}

bool QX_ArpPattern::randomStep(Note& out) {
    const int i = randomInt(last_ + 1);
    if (notes_[i] == kEmpty) {
        return false;
    }
    const int note = notes_[i] + randomInt(span_ / kOctave + 1) * kOctave;
    if (note > kHighestNote) {
        return false;
    }
    out = {note, vels_[i], chans_[i]};
    return true;
}

bool QX_ArpPattern::cycleStep(Note& out) {
    findPosition();
    const int at = pos_;
    pos_ += dir_;
    if (notes_[at] == kEmpty || notes_[at] + octave_ > kHighestNote) {
        return false;
    }
    out = {notes_[at] + octave_, vels_[at], chans_[at]};
    return true;
}

bool QX_ArpPattern::bounces() const {
    return (mode_ == kCycleUpDown || mode_ == kCycleUpDown2) && (span_ > 0 || last_ > 0);
}

void QX_ArpPattern::findPosition() {
    // Each pass moves pos_ toward the list; a handful always suffices, the bound only guards.
    for (int pass = 0; pass < 8 && (pos_ > last_ || pos_ < 0); ++pass) {
        if (pos_ > last_) {
            octave_ += kOctave;
            if (octave_ <= span_) {
                pos_ = 0;
            } else if (bounces()) {
                pos_ = last_;
                octave_ = span_;
                dir_ = -1;
                if (mode_ == kCycleUpDown) {
                    --pos_;  // the top note is not played twice
                }
            } else {
                octave_ = 0;
                pos_ = 0;
            }
        } else {
            octave_ -= kOctave;
            if (octave_ < 0 && bounces()) {
                pos_ = mode_ == kCycleUpDown ? 1 : 0;  // Up/Dn does not play the bottom note twice
                octave_ = 0;
                dir_ = 1;
                continue;
            }
            if (octave_ < 0) {
                octave_ = span_;
            }
            pos_ = last_;
        }
    }
    pos_ = std::clamp(pos_, 0, std::max(last_, 0));
}

int QX_ArpPattern::randomInt(int n) {
    // next() stays below 1, but the product can round up to n as a float.
    return std::min(static_cast<int>(random_.next(1.0f) * static_cast<float>(n)), n - 1);
}
