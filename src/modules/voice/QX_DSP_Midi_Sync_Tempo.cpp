#include "modules/voice/QX_DSP_Midi_Sync_Tempo.h"

#include <algorithm>
#include <cmath>

#include "engine/QX_EngineHost.h"
#include "modules/voice/MidiWord.h"

using namespace midi_word;

namespace {

// "Seq Rate" / "Arp Rate" options "x8,x4,x2,1,2,4,8,16,32," as steps per beat.
constexpr double kRateTable[] = {0.125, 0.25, 0.5, 1.0, 2.0, 4.0, 8.0, 16.0, 32.0};
constexpr int kRateCount = static_cast<int>(sizeof kRateTable / sizeof kRateTable[0]);
constexpr double kMinTempo = 0.1;  // BPM / 10
constexpr double kMaxTempo = 100.0;
constexpr double kMinFactor = 1.0;  // "Half" 1.0 or 1.5
constexpr double kMaxFactor = 1.5;
// A step is due once the phase reaches 1 within rounding: summing the increment over a step must
// not make a step one sample late.
constexpr double kPhaseDue = 1.0 - 1e-9;

}  // namespace

QX_DSP_Midi_Sync_Tempo::QX_DSP_Midi_Sync_Tempo(QX_EngineHost* owner, bool asleep) : QX_ModuleBase(owner, asleep) {}

void QX_DSP_Midi_Sync_Tempo::prepare() {
    for (int c = 0; c < kClocks; ++c) {
        rate_[c] = 1.0;
        inc_[c] = 0.0;
        phase_[c] = 0.0;
        dirty_[c] = true;
        restart_[c] = true;
        active_[c] = inputs[kPinRate + c] != nullptr;
    }
    keysDown_ = 0;
    startTime_ = 0;
}

void QX_DSP_Midi_Sync_Tempo::suspendHook() {
    keysDown_ = 0;
    std::fill(std::begin(restart_), std::end(restart_), true);
}

void QX_DSP_Midi_Sync_Tempo::pulse(std::uint32_t time, int output) {
    sendEvent(time, output, kEventStill, 1, 1.0f, nullptr);
    sendEvent(time + 1, output, kEventStill, 0, 0.0f, nullptr);
}

void QX_DSP_Midi_Sync_Tempo::recompute(int c) {
    dirty_[c] = false;
    inc_[c] = 0.1 / (0.6 / (factor_[c] * rate_[c] * tempo_)) / host->sampleRateInt;
    const double elapsed = static_cast<double>(localTime - startTime_);
    double whole = 0.0;
    phase_[c] = std::modf(inc_[c] * elapsed, &whole);
    if (phase_[c] == 0.0) {
        phase_[c] = 1.0;
    }
}

void QX_DSP_Midi_Sync_Tempo::render(int, int count) {
    for (int c = 0; c < kClocks; ++c) {
        if (!active_[c]) {
            continue;
        }
        if (dirty_[c]) {
            recompute(c);
        }
        // The phase belongs to the sample about to be played: a clock fires where it reaches 1.
        double phase = phase_[c];
        const double inc = inc_[c];
        for (int s = 0; s < count; ++s) {
            if (phase >= kPhaseDue) {
                phase -= 1.0;
                pulse(localTime + static_cast<std::uint32_t>(s), kOutputClock + c);
            }
            phase += inc;
        }
        phase_[c] = phase;
    }
}

void QX_DSP_Midi_Sync_Tempo::handleEvent(const Event& event, int) {
    const int pin = event.pin;
    if (pin == kPinMidi) {
        midiIn(event.ivalue);
    } else if (pin == kPinTempo) {
        if (std::isfinite(event.fvalue)) {
            tempo_ = std::clamp(static_cast<double>(event.fvalue), kMinTempo, kMaxTempo);
            std::fill(std::begin(dirty_), std::end(dirty_), true);
        }
    } else if (pin >= kPinRate && pin < kPinRate + kClocks) {
        rate_[pin - kPinRate] = kRateTable[std::clamp(event.ivalue, 0, kRateCount - 1)];
        dirty_[pin - kPinRate] = true;
    } else if (pin >= kPinHold && pin < kPinHold + kClocks) {
        hold_[pin - kPinHold] = event.ivalue != 0;
        if (event.ivalue != 0) {
            restart_[pin - kPinHold] = true;
        }
    } else if (pin >= kPinFactor && pin < kPinFactor + kClocks) {
        if (std::isfinite(event.fvalue)) {
            factor_[pin - kPinFactor] = std::clamp(static_cast<double>(event.fvalue), kMinFactor, kMaxFactor);
            dirty_[pin - kPinFactor] = true;
        }
    }
}

void QX_DSP_Midi_Sync_Tempo::midiIn(std::int32_t word) {
    if (isNoteOn(word)) {
        if (++keysDown_ == 1) {
            firstKey();
        }
    } else if (isNoteOff(word)) {
        keysDown_ = std::max(keysDown_ - 1, 0);
    } else if ((word & 0xFFFF) == (kAllNotesOff | channel_) || (word & 0xFFFF) == (kAllSoundOff | channel_)) {
        keysDown_ = 0;
    }
}

void QX_DSP_Midi_Sync_Tempo::firstKey() {
    startTime_ = localTime;
    pulse(localTime, kOutputPhrase);
    for (int c = 0; c < kClocks; ++c) {
        if (!active_[c]) {
            continue;
        }
        if (hold_[c]) {
            if (restart_[c]) {
                restart_[c] = false;
                pulse(localTime, kOutputRestart + c);
            }
        } else {
            phase_[c] = 1.0;
            pulse(localTime, kOutputRestart + c);
        }
    }
}
