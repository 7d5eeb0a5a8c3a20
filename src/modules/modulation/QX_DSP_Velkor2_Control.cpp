#include "modules/modulation/QX_DSP_Velkor2_Control.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "engine/QX_EngineHost.h"
#include "modules/modulation/ControlValues.h"
#include "modules/modulation/Velkor2ControlTables.h"

using control_values::truncatedInt;
using namespace velkor2_control;

namespace {

constexpr std::int32_t kOscModeSync = 5;      // "Osc Mode" option
constexpr std::int32_t kHfoTargetFilter = 4;  // "HFO Target" "Filter Cutoff"
constexpr std::int32_t kPlayModeMono = 0;     // "Mono,Legato,Poly,"
constexpr std::int32_t kPlayModeLegato = 1;
constexpr std::int32_t kMeltSystemB = 1;
constexpr std::int32_t kMeltACircuit = 0;     // "Circuit,Tape,"
constexpr std::int32_t kMeltATape = 1;
constexpr float kSwitchOn = 10.0f;            // the fvalue of the oscillator-sync and HFO filter switches

constexpr float kMeltBPeriodSeconds = 0.35f;  // melt A's second timer
constexpr float kMeltAPitchScale = 0.03f;
constexpr float kMeltABlendScale = 200.0f;
constexpr float kGlideTimeScale = 100.0f;     // seconds to the glides' ms / 10
constexpr float kChorusMeltSpan = 1.5f;
constexpr std::int32_t kLongestPeriod = 1 << 30;  // samples; keeps the counters far from overflow

float drawCentred(SharedRandom& random, float scale) { return random.next(scale) - 0.5f; }

std::int32_t periodSamples(float samples) { return std::clamp(truncatedInt(samples), 0, kLongestPeriod); }

template <class Table>
bool inTable(const Table& table, std::int32_t option) {
    return option >= 0 && option < optionCount(table);
}

}  // namespace

QX_DSP_Velkor2_Control::QX_DSP_Velkor2_Control(QX_EngineHost* owner, bool asleep)
    : QX_ModuleBase(owner, asleep), sampleRate_(static_cast<float>(owner->sampleRateInt)) {
    periodB_ = periodSamples(kMeltBPeriodSeconds * sampleRate_);
    chooseRender();
}

void QX_DSP_Velkor2_Control::prepare() {
    sampleRate_ = static_cast<float>(host->sampleRateInt);
    settings_.restart();
    meltSystem_ = 0;
    periodA_ = 0;
    periodB_ = periodSamples(kMeltBPeriodSeconds * sampleRate_);
    std::fill(std::begin(counters_), std::end(counters_), 0);
    randA_ = 0.0f;
    randB_ = 0.0f;
    meltACutoff_ = 0.0f;
    meltBCutoff_ = 0.0f;
    dirty_ = Settings::kDirtyAll;
    chooseRender();
}

void QX_DSP_Velkor2_Control::handleEvent(const Event& event, int) {
    const float value = event.fvalue;
    const std::int32_t option = event.ivalue;
    const std::uint32_t time = localTime;
    switch (event.pin) {
        case kPinHfoShape:
            if (inTable(kHfoWaves, option)) {
                sendCode(time, kOutHfoWave, kHfoWaves[option].wave, 0.0f);
            }
            return;
        case kPinSubOscWave:
            if (inTable(kSubOscWaves, option)) {
                sendCode(time, kOutSubOscWave, kSubOscWaves[option].wave, 0.0f);
            }
            return;
        case kPinOscMode: {
            const bool sync = option == kOscModeSync;
            sendCode(time, kOutOsc2Sync, sync ? 1 : 0, sync ? kSwitchOn : 0.0f);
            return;
        }
        case kPinHfoTarget: {
            settings_.hfoTarget = option;
            dirty_ |= Settings::kDirtyHfoLevel;
            const bool filter = option == kHfoTargetFilter;
            sendCode(time, kOutHfoFilter, filter ? 1 : 0, filter ? kSwitchOn : 0.0f);
            return;
        }
        case kPinPlayMode: {
            const bool mono = option == kPlayModeMono || option == kPlayModeLegato;
            const bool legato = option == kPlayModeLegato;
            sendCode(time, kOutMono, mono ? 1 : 0, mono ? 1.0f : 0.0f);
            sendCode(time, kOutLegato, legato ? 1 : 0, legato ? 1.0f : 0.0f);
            return;
        }
        case kPinMasterVolume:
            if (std::isfinite(value)) {
                sendValue(time, kOutMasterVolume, value);
            }
            return;
        case kPinMeltAMode:
            if (option == kMeltACircuit || option == kMeltATape) {
                const bool tape = option == kMeltATape;
                sendCode(time, kOutMeltACircuit, tape ? 0 : 1, tape ? 0.0f : 1.0f);
                sendCode(time, kOutMeltATape, tape ? 1 : 0, tape ? 1.0f : 0.0f);
            }
            return;
        case kPinMeltAPitch:
        case kPinMeltAJump:
        case kPinMeltAAmp:
        case kPinMeltABlend:
            if (std::isfinite(value)) {
                float* const melt[] = {&settings_.meltAPitch, &settings_.meltAJump, &settings_.meltAAmp,
                                       &settings_.meltABlend};
                *melt[event.pin - kPinMeltAPitch] = value;
            }
            return;
        case kPinMeltASpeed: {
            const float period = sampleRate_ / value;
            if (std::isfinite(period)) {
                periodA_ = periodSamples(period);
            }
            return;
        }
        case kPinMeltSystem:
            meltSystem_ = option;
            dirty_ |= Settings::kDirtyMeltA;
            sendMeltCutoff(time);
            chooseRender();
            return;
        case kPinMeltBWow:
        case kPinMeltBFlutter: {
            const float seconds = 1.0f / value;
            if (!std::isfinite(seconds)) {
                return;
            }
            const bool wow = event.pin == kPinMeltBWow;
            (wow ? periodWow_ : periodFlutter_) = periodSamples(sampleRate_ * seconds);
            sendValue(time, wow ? kOutMeltBWowTime : kOutMeltBFlutterTime, seconds * kGlideTimeScale);
            return;
        }
        case kPinMeltACutoff:
        case kPinMeltBCutoff:
            if (std::isfinite(value)) {
                (event.pin == kPinMeltACutoff ? meltACutoff_ : meltBCutoff_) = value;
                sendMeltCutoff(time);
            }
            return;
        default:
            dirty_ |= settings_.store(event.pin, option, value);
            return;
    }
}

void QX_DSP_Velkor2_Control::chooseRender() {
    if (meltSystem_ == kMeltSystemB) {
        useRender(&QX_DSP_Velkor2_Control::renderMeltB);
    } else {
        useRender(&QX_DSP_Velkor2_Control::renderMeltA);
    }
}

void QX_DSP_Velkor2_Control::renderMeltA(int, int count) { renderStretch<false>(count); }

void QX_DSP_Velkor2_Control::renderMeltB(int, int count) { renderStretch<true>(count); }

std::int64_t QX_DSP_Velkor2_Control::stepPeriod(int timer) const {
    std::int32_t period = periodA_;
    if (timer == kTimerA && meltSystem_ == kMeltSystemB) {
        period = periodWow_;
    } else if (timer == kTimerB) {
        period = meltSystem_ == kMeltSystemB ? periodFlutter_ : periodB_;
    }
    // Never more than one step per block, so an unset or hostile speed cannot flood the event pool.
    return std::max(period, blockLength - 1);
}

// Runs the timers sample by sample in effect: the stretch is cut at every step, so the steps land
// on the same samples however the engine splits its chunks.
template <bool SystemB>
void QX_DSP_Velkor2_Control::renderStretch(int count) {
    const int timers = settings_.chorusMode != 0 ? kTimers : kTimerChorus;
    std::int64_t periods[kTimers] = {};
    for (int t = 0; t < timers; ++t) {
        periods[t] = stepPeriod(t);
    }
    int offset = 0;
    bool stretchStart = true;
    for (;;) {
        int next = count;
        for (int t = 0; t < timers; ++t) {
            const std::int64_t wait = std::max<std::int64_t>(periods[t] - counters_[t], 0);
            next = static_cast<int>(std::min<std::int64_t>(next, offset + wait));
        }
        if (stretchStart && next > 0) {
            const bool none[kTimers] = {};
            moment<SystemB>(localTime, none, true);
            stretchStart = false;
        }
        if (next >= count) {
            for (int t = 0; t < timers; ++t) {
                counters_[t] += count - offset;
            }
            return;
        }
        bool due[kTimers] = {};
        for (int t = 0; t < timers; ++t) {
            counters_[t] += next - offset + 1;
            due[t] = counters_[t] > periods[t];
            if (due[t]) {
                counters_[t] = 0;
            }
        }
        moment<SystemB>(localTime + static_cast<std::uint32_t>(next), due, stretchStart);
        stretchStart = false;
        offset = next + 1;
    }
}

// One sample's work in a fixed order: the melt steps, the chorus melt, then (at a stretch's start,
// where every input event lands) the outputs whose groups are due.
template <bool SystemB>
void QX_DSP_Velkor2_Control::moment(std::uint32_t time, const bool (&due)[kTimers], bool stretchStart) {
    SharedRandom& random = host->sharedRandom;
    if constexpr (SystemB) {
        if (due[kTimerA]) {
            sendValue(time, kOutMeltBWow, drawCentred(random, 1.0f));
        }
        if (due[kTimerB]) {
            sendValue(time, kOutMeltBFlutter, drawCentred(random, 1.0f));
        }
    } else {
        if (due[kTimerA]) {
            randA_ = drawCentred(random, 1.0f);
            dirty_ |= Settings::kDirtyMeltA;
        }
        if (due[kTimerB]) {
            randB_ = drawCentred(random, 1.0f);
            dirty_ |= Settings::kDirtyMeltA;
        }
        if (dirty_ & Settings::kDirtyMeltA) {
            dirty_ &= ~Settings::kDirtyMeltA;
            const Settings& s = settings_;
            sendValue(time, kOutMeltAPitch, (randB_ * s.meltAJump + s.meltAPitch) * randA_ * kMeltAPitchScale);
            sendValue(time, kOutMeltABlend, randB_ * s.meltAJump * kMeltABlendScale + s.meltABlend);
            sendValue(time, kOutMeltAAmp, s.meltAAmp * randA_);
        }
    }
    const bool chorusMeltDue = stretchStart && (dirty_ & Settings::kDirtyChorusMelt) != 0;
    if (settings_.chorusMode != 0 && (due[kTimerChorus] || chorusMeltDue)) {
        sendChorusMelt(time);
    }
    if (stretchStart) {
        sendDerived(time);
    }
}

void QX_DSP_Velkor2_Control::sendChorusMelt(std::uint32_t time) {
    SharedRandom& random = host->sharedRandom;
    const Settings& s = settings_;
    dirty_ &= ~Settings::kDirtyChorusMelt;
    const float m = (random.next(kChorusMeltSpan) - 0.5f) * s.chorusMelt + 1.0f;
    sendValue(time, kOutChorusRate, s.chorusRate * m);
    sendValue(time, kOutChorusSepRate, s.chorusSep * s.chorusRate * m);
    const float m2 = 1.0f + (random.next(kChorusMeltSpan) - 0.5f) * s.chorusMelt;
    sendValue(time, kOutChorusDepth, m2 * s.chorusDepth);
}

// The outputs that follow their groups' flags, in their fixed order.
void QX_DSP_Velkor2_Control::sendDerived(std::uint32_t time) {
    const Settings& s = settings_;
    const auto take = [this](std::uint32_t flag) {
        const bool set = (dirty_ & flag) != 0;
        dirty_ &= ~flag;
        return set;
    };
    if (take(Settings::kDirtyChorusMode)) {
        if (s.chorusMode == 0) {
            sendCode(time, kOutChorusOn, 0, 0.0f);
            sendValue(time, kOutChorusMix, Settings::kChorusOffMix);
        } else if (s.chorusMode == 1 || s.chorusMode == 2) {
            sendCode(time, kOutChorusOn, 1, 1.0f);
            sendValue(time, kOutChorusMix, s.chorusMix);
        }
    }
    if (take(Settings::kDirtyEq)) {
        sendCode(time, kOutEqFirst, s.eqFirstCode(), static_cast<float>(s.eqFirstCode()));
        sendCode(time, kOutEqSecond, s.eqSecondCode(), static_cast<float>(s.eqSecondCode()));
    }
    if (take(Settings::kDirtyFilter)) {
        sendValue(time, kOutResonance, s.resonanceOut());
    }
    if (take(Settings::kDirtyGain)) {
        const LimiterRouting& routing = s.limiterRouting();
        sendCode(time, kOutPostLimiter, routing.postLimiter, static_cast<float>(routing.postLimiter));
        sendCode(time, kOutPreLimiter, routing.preLimiter, static_cast<float>(routing.preLimiter));
    }
    if (take(Settings::kDirtyTempo)) {
        dirty_ |= Settings::kDirtyEcho | Settings::kDirtyLfo1 | Settings::kDirtyLfo1 << 1 | Settings::kDirtyLfo1 << 2;
    }
    if (take(Settings::kDirtyEcho)) {
        sendValue(time, kOutEchoTime, s.echoTime());
    }
    for (int lfo = 0; lfo < kLfos; ++lfo) {
        if (take(Settings::kDirtyLfo1 << lfo)) {
            sendValue(time, kOutLfo1Rate + lfo, s.lfoRate(lfo));
            if (lfo == kLfos - 1) {
                sendCode(time, kOutLfo3Tracking, s.lfo3Tracking(), static_cast<float>(s.lfo3Tracking()));
            }
        }
    }
    if (take(Settings::kDirtyHfoPitch)) {
        sendValue(time, kOutHfoPitch, s.hfoPitch());
    }
    if (take(Settings::kDirtyHfoLevel)) {
        sendValue(time, kOutHfoDepth, s.hfoDepth * s.hfoScale());
        sendValue(time, kOutHfoLevel, s.hfoLevel * s.hfoScale());
    }
}

void QX_DSP_Velkor2_Control::sendMeltCutoff(std::uint32_t time) {
    sendValue(time, kOutMeltCutoff, meltSystem_ == kMeltSystemB ? meltBCutoff_ : meltACutoff_);
}

// Values travel with their truncation as the integer; a non-finite result is sent as 0.
void QX_DSP_Velkor2_Control::sendValue(std::uint32_t time, int output, float value) {
    const float safe = std::isfinite(value) ? value : 0.0f;
    sendEvent(time, output, kEventStill, truncatedInt(safe), safe, nullptr);
}

void QX_DSP_Velkor2_Control::sendCode(std::uint32_t time, int output, std::int32_t code, float value) {
    sendEvent(time, output, kEventStill, code, value, nullptr);
}
