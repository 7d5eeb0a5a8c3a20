// The voice allocator's voices: each one's state word, the time of its last start and the note
// waiting behind its steal fade, and the choice of a free voice or of one to steal.
#pragma once

#include <cstdint>

#include "engine/QX_VoiceAllocatorBase.h"

class QX_VoiceTable {
public:
    static constexpr int kMaxVoices = 20;

    // State words; the steal flags (kVoiceStealMarked, kVoiceStealFading) also carry the note.
    static constexpr std::uint32_t kFree = 0;
    static constexpr std::uint32_t kSounding = 0x80000000;  // + note
    static constexpr std::uint32_t kReleased = 0x0000F000;  // the note is no longer recorded
    static constexpr std::uint32_t kStealFlags = kVoiceStealMarked | kVoiceStealFading;
    static constexpr std::uint32_t kNoteBits = 0x00000FFF;

    // Clamped to 0..kMaxVoices.
    void setCount(int count);
    int count() const { return count_; }
    bool has(int voice) const { return voice >= 0 && voice < count_; }
    void clear();

    std::uint32_t state(int voice) const { return state_[voice]; }
    void setState(int voice, std::uint32_t state) { state_[voice] = state; }
    bool stealing(int voice) const { return (state_[voice] & kStealFlags) != 0; }
    int note(int voice) const { return static_cast<int>(state_[voice] & 0x7F); }
    std::uint32_t startTime(int voice) const { return start_[voice]; }
    std::int32_t pending(int voice) const { return pending_[voice]; }

    // Sounding from `now`.
    void start(int voice, int note, std::uint32_t now);
    // To be stolen: keeps a steal flag it has, else marks it; `pending` (a note-on word, or 0 for
    // none) starts when the fade ends.
    void markForSteal(int voice, int note, std::uint32_t startTime, std::int32_t pending);
    void dropPending(int voice) { pending_[voice] = 0; }
    // The voice mixer has begun the fade of a marked voice.
    void markFading(int voice);

    // The lowest free voice, or -1.
    int firstFree() const;
    // Among voices started before `now`: the oldest already being stolen, else the oldest released,
    // else the oldest sounding; ties keep the lowest voice. -1 when none started before now.
    int toSteal(std::uint32_t now) const;

private:
    int count_ = 0;
    std::uint32_t state_[kMaxVoices] = {};
    std::uint32_t start_[kMaxVoices] = {};
    std::int32_t pending_[kMaxVoices] = {};  // 0: no note waits
};
