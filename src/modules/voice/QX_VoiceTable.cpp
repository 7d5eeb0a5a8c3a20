#include "modules/voice/QX_VoiceTable.h"

#include <algorithm>
#include <iterator>

namespace {

bool earlier(std::uint32_t a, std::uint32_t b) { return static_cast<std::int32_t>(a - b) < 0; }

}  // namespace

void QX_VoiceTable::setCount(int count) { count_ = std::clamp(count, 0, kMaxVoices); }

void QX_VoiceTable::clear() {
    std::fill(std::begin(state_), std::end(state_), kFree);
    std::fill(std::begin(start_), std::end(start_), 0U);
    std::fill(std::begin(pending_), std::end(pending_), 0);
}

void QX_VoiceTable::start(int voice, int note, std::uint32_t now) {
    state_[voice] = kSounding + static_cast<std::uint32_t>(note);
    start_[voice] = now;
}

void QX_VoiceTable::markForSteal(int voice, int note, std::uint32_t startTime, std::int32_t pending) {
    const std::uint32_t flag = state_[voice] & kStealFlags;
    state_[voice] = static_cast<std::uint32_t>(note) | (flag != 0 ? flag : kVoiceStealMarked);
    start_[voice] = startTime;
    pending_[voice] = pending;
}

void QX_VoiceTable::markFading(int voice) {
    if (state_[voice] & kVoiceStealMarked) {
        state_[voice] = (state_[voice] & ~kVoiceStealMarked) | kVoiceStealFading;
    }
}

int QX_VoiceTable::firstFree() const {
    for (int v = 0; v < count_; ++v) {
        if (state_[v] == kFree) {
            return v;
        }
    }
    return -1;
}

int QX_VoiceTable::toSteal(std::uint32_t now) const {
    constexpr int kNoRank = 3;
    int best = -1;
    int bestRank = kNoRank;
    for (int v = 0; v < count_; ++v) {
        if (!earlier(start_[v], now)) {
            continue;
        }
        const int rank = (state_[v] & kStealFlags) ? 0 : (state_[v] & kReleased) ? 1 : 2;
        if (rank < bestRank || (rank == bestRank && earlier(start_[v], start_[best]))) {
            best = v;
            bestRank = rank;
        }
    }
    return best;
}
