#include "modules/voice/QX_DSP_Midi_Phrase_Arp.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/QX_EngineHost.h"
#include "modules/voice/MidiWord.h"

using namespace midi_word;

namespace {

// "Arp Rate" options "x8,x4,x2,1,2,4,8,16,32," as steps per beat.
constexpr float kRateTable[] = {0.125f, 0.25f, 0.5f, 1.0f, 2.0f, 4.0f, 8.0f, 16.0f, 32.0f};
constexpr int kRateCount = static_cast<int>(sizeof kRateTable / sizeof kRateTable[0]);
constexpr int kDefaultRate = 3;
constexpr float kMinGate = 0.05f;   // "Arp Gate %" 5..95
constexpr float kMaxGate = 0.95f;
constexpr double kLegatoGate = 1.05;  // legato steps overlap the next one
constexpr float kMinTempo = 0.1f;     // BPM / 10
constexpr float kMaxTempo = 100.0f;
constexpr float kMinFactor = 1.0f;    // "Arp Half" 1.0 or 1.5
constexpr float kMaxFactor = 1.5f;
constexpr double kSecondsPerMinuteTenth = 6.0;  // 60 s / (BPM / 10 units)
constexpr std::uint8_t kConstantVelocity = 127;
constexpr std::int32_t kSustainPedalOn = kSustainPedal | 127 << 16;
constexpr std::uint32_t kLegatoOverlap = 2;  // samples the old note outlasts the new note-on

bool atOrAfter(std::uint32_t time, std::uint32_t reference) {
    return static_cast<std::int32_t>(time - reference) >= 0;
}

}  // namespace

QX_DSP_Midi_Phrase_Arp::QX_DSP_Midi_Phrase_Arp(QX_EngineHost* owner, bool asleep)
    : QX_ModuleBase(owner, asleep), pattern_(owner->sharedRandom) {}

void QX_DSP_Midi_Phrase_Arp::prepare() {
    pattern_.clear();
    pattern_.setMode(QX_ArpPattern::kModeOff);
    pattern_.setRange(0);
    on_ = false;
    hold_ = false;
    legato_ = false;
    sustainOut_ = -1;
    allOffChannel_ = 0;
    gate_ = 0.5f;
    tempo_ = 12.0f;
    rate_ = kRateTable[kDefaultRate];
    factor_ = 1.0f;
    std::memset(stepVel_, kConstantVelocity, sizeof stepVel_);
    velStep_ = 0;
    sounding_ = 0;
    offTime_ = 0;
    setIdle();
}

bool QX_DSP_Midi_Phrase_Arp::passing() const { return !on_ || pattern_.mode() == QX_ArpPattern::kModeOff; }

void QX_DSP_Midi_Phrase_Arp::send(std::uint32_t time, std::int32_t word) {
    sendEvent(time, kOutputMidi, kEventStill, word, 0.0f, nullptr);
}

void QX_DSP_Midi_Phrase_Arp::render(int, int count) {
    if (sustainOut_ >= 0) {
        send(localTime, kSustainPedal | sustainOut_ << 16);
        sustainOut_ = -1;
    }
    const std::uint32_t end = localTime + static_cast<std::uint32_t>(count);
    if (offTime_ != 0 && !atOrAfter(offTime_, end)) {
        send(offTime_, sounding_);
        offTime_ = 0;
    }
    if (offTime_ == 0) {
        setIdle();
    }
}

void QX_DSP_Midi_Phrase_Arp::handleEvent(const Event& event, int) {
    switch (event.pin) {
        case kPinMidi:
            midiIn(event.ivalue);
            break;
        case kPinAllOffChannel:
            allOffChannel_ = std::clamp(event.ivalue, 0, 15);
            break;
        case kPinClock:
            if (event.ivalue != 0 && on_) {
                step(localTime);
            }
            break;
        case kPinTempo:
            if (std::isfinite(event.fvalue)) {
                tempo_ = std::clamp(event.fvalue, kMinTempo, kMaxTempo);
            }
            break;
        case kPinGate:
            if (std::isfinite(event.fvalue)) {
                gate_ = std::clamp(event.fvalue, kMinGate, kMaxGate);
            }
            break;
        case kPinMode:
            switchMode(event.ivalue);
            break;
        case kPinRange:
            pattern_.setRange(event.ivalue);
            break;
        case kPinVelocityMode:
            constVel_ = event.ivalue != 0;
            break;
        case kPinRate:
            rate_ = kRateTable[std::clamp(event.ivalue, 0, kRateCount - 1)];
            break;
        case kPinOnOff:
            switchOnOff(event.ivalue != 0);
            break;
        case kPinHold:
            switchHold(event.ivalue != 0);
            break;
        case kPinHalf:
            if (std::isfinite(event.fvalue)) {
                factor_ = std::clamp(event.fvalue, kMinFactor, kMaxFactor);
            }
            break;
        case kPinSustain:
            if (!on_) {
                sustainOut_ = event.ivalue != 0 ? data2(kSustainPedalOn) : 0;
            }
            break;
        case kPinLegato:
            legato_ = event.ivalue != 0;
            break;
        default:
            break;
    }
}

void QX_DSP_Midi_Phrase_Arp::midiIn(std::int32_t word) {
    const bool allOff = type(word) == kController && isAllNotesOff(word);
    if (allOff) {
        // The allocator silences everything on this word itself; only forget what is held.
        pattern_.clear();
        offTime_ = 0;
        sounding_ = 0;
    }
    if (passing() || allOff) {
        send(localTime, word);
        return;
    }
    if (isNoteOn(word)) {
        if (pattern_.press(note(word), data2(word), channelNibble(word))) {
            velStep_ = -1;
            endSounding(localTime - 1);
        }
    } else if (isNoteOff(word)) {
        if (!hold_) {
            pattern_.release(note(word));
        }
    } else {
        send(localTime, word);
    }
}

void QX_DSP_Midi_Phrase_Arp::endSounding(std::uint32_t time) {
    if (offTime_ != 0) {
        send(time, sounding_);
        offTime_ = 0;
    }
}

void QX_DSP_Midi_Phrase_Arp::switchOnOff(bool on) {
    if (on == on_) {
        return;
    }
    on_ = on;
    pattern_.clear();
    endSounding(localTime);
    if (on) {
        send(localTime, kAllNotesOff + allOffChannel_);
    }
}

void QX_DSP_Midi_Phrase_Arp::switchMode(int mode) {
    const int before = pattern_.mode();
    pattern_.setMode(mode);
    if ((before == QX_ArpPattern::kModeOff) != (pattern_.mode() == QX_ArpPattern::kModeOff)) {
        pattern_.clear();
        endSounding(localTime);
    }
}

void QX_DSP_Midi_Phrase_Arp::switchHold(bool hold) {
    const bool released = hold_ && !hold;
    hold_ = hold;
    if (released && on_) {
        pattern_.clear();
        endSounding(localTime);
    }
}

void QX_DSP_Midi_Phrase_Arp::step(std::uint32_t time) {
    if (pattern_.mode() == QX_ArpPattern::kModeOff || !pattern_.phraseOn()) {
        return;
    }
    const double stepLen = std::trunc(kSecondsPerMinuteTenth / tempo_ / (factor_ * rate_) * host->sampleRateInt);
    velStep_ = constVel_ ? (velStep_ + 1) % kVelocitySteps : 0;
    const double length = std::round(stepLen * (legato_ ? kLegatoGate : static_cast<double>(gate_)));
    const std::uint32_t nextOff = time + static_cast<std::uint32_t>(length);
    QX_ArpPattern::Note note{};
    if (pattern_.step(note)) {
        play(note, time, nextOff);
    }
}

void QX_DSP_Midi_Phrase_Arp::play(const QX_ArpPattern::Note& n, std::uint32_t time, std::uint32_t nextOff) {
    const int velocity = constVel_ ? stepVel_[std::max(velStep_, 0)] : n.velocity;
    if (velocity == 0) {
        return;  // a rest
    }
    const std::int32_t noteOn = packMidi(kNoteOn + n.channel, n.note, velocity);
    const std::int32_t noteOff = packMidi(kNoteOff + n.channel, n.note, velocity);
    const bool stillSounding = offTime_ != 0 && atOrAfter(offTime_, time);
    if (stillSounding && legato_ && note(sounding_) == n.note) {
        offTime_ = nextOff == 0 ? 1 : nextOff;  // the sounding note just lasts longer
        return;
    }
    if (stillSounding) {
        send(legato_ ? time + kLegatoOverlap : time - 1, sounding_);
    }
    send(time, noteOn);
    sounding_ = noteOff;
    offTime_ = nextOff == 0 ? 1 : nextOff;
}
