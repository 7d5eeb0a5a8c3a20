#include "modules/modulation/Velkor2ControlSettings.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "modules/modulation/QX_DSP_Velkor2_Control.h"

using namespace velkor2_control;
using Control = QX_DSP_Velkor2_Control;

namespace {

constexpr float kStartTempo = 12.0f;           // BPM / 10: 120 BPM
constexpr std::int32_t kHfoTargetFirstFm = 5;  // "Main FM" .. "Sub - FM" on "HFO Target"
constexpr std::int32_t kHfoTargetLastFm = 8;
constexpr float kFmDoubling = 2.0f;
constexpr float kLfoTickScale = 4.0f;
constexpr float kEchoMsPerBeat = 600.0f;       // over BPM / 10
constexpr float kEchoLengthQuarter = 0.25f;
constexpr float kEchoOffset = 1.8000001f;
constexpr float kEchoStepNudge = 0.000001f;
constexpr float kEchoDotted = 1.5f;
constexpr float kFilter2Base = 0.8f;

template <class Table>
bool inTable(const Table& table, std::int32_t option) {
    return option >= 0 && option < optionCount(table);
}

constexpr std::uint32_t lfoDirty(int lfo) { return Velkor2ControlSettings::kDirtyLfo1 << lfo; }

}  // namespace

Velkor2ControlSettings::Velkor2ControlSettings() {
    std::fill(std::begin(lfoTicks), std::end(lfoTicks), kLfoBeats[0].ticks);
    restart();
}

void Velkor2ControlSettings::restart() {
    tempo = kStartTempo;
    echoBeats = 0.0f;
    echoLength = 0.0f;
    echoStep = 0;
    echoDotted = 0;
    filter2Active = 0;
    filter2Offset = 0.0f;
    gainMode = 0;
    eqActive = 0;
    eqPost = 0;
    chorusMode = 0;
    chorusMix = kChorusOffMix;
    chorusRate = 0.0f;
    chorusSep = 0.0f;
    chorusDepth = 0.0f;
    chorusMelt = 0.0f;
}

std::uint32_t Velkor2ControlSettings::store(int pin, std::int32_t option, float value) {
    // Switches and option lists count by their integer; out-of-list options are refused.
    switch (pin) {
        case Control::kPinEchoRate:
            if (!inTable(kEchoRates, option)) {
                return 0;
            }
            echoBeats = kEchoRates[option].beats;
            return kDirtyEcho;
        case Control::kPinEchoStep:
            echoStep = option;
            return kDirtyEcho;
        case Control::kPinEchoDotted:
            echoDotted = option;
            return kDirtyEcho;
        case Control::kPinLfo1Beat:
        case Control::kPinLfo1Beat + 3:
        case Control::kPinLfo1Beat + 6: {
            const int lfo = (pin - Control::kPinLfo1Beat) / 3;
            if (!inTable(kLfoBeats, option)) {
                return 0;
            }
            lfoTicks[lfo] = kLfoBeats[option].ticks;
            return lfoDirty(lfo);
        }
        case Control::kPinLfo1Sync:
        case Control::kPinLfo1Sync + 3:
        case Control::kPinLfo1Sync + 6: {
            const int lfo = (pin - Control::kPinLfo1Sync) / 3;
            lfoSync[lfo] = option;
            return lfoDirty(lfo);
        }
        case Control::kPinLfo3Track:
            lfo3Track = option;
            return lfoDirty(2);
        case Control::kPinFilter2Active:
            filter2Active = option;
            return kDirtyFilter;
        case Control::kPinGainMode:
            if (!inTable(kLimiterRoutings, option)) {
                return 0;
            }
            gainMode = option;
            return kDirtyGain;
        case Control::kPinEqActive:
            eqActive = option;
            return kDirtyEq;
        case Control::kPinEqPost:
            eqPost = option;
            return kDirtyEq;
        case Control::kPinChorusMode:
            chorusMode = option;
            return kDirtyChorusMode;
        default:
            break;
    }
    // Values: a non-finite one is refused and the last good one kept.
    if (!std::isfinite(value)) {
        return 0;
    }
    switch (pin) {
        case Control::kPinTempo:
            tempo = value;
            return kDirtyTempo;
        case Control::kPinEchoLength:
            echoLength = value;
            return kDirtyEcho;
        case Control::kPinLfo1Rate:
        case Control::kPinLfo1Rate + 3:
        case Control::kPinLfo1Rate + 6: {
            const int lfo = (pin - Control::kPinLfo1Rate) / 3;
            lfoRates[lfo] = value;
            return lfoDirty(lfo);
        }
        case Control::kPinHfoOct:
            hfoOct = value;
            return kDirtyHfoPitch;
        case Control::kPinHfoSemi:
            hfoSemi = value;
            return kDirtyHfoPitch;
        case Control::kPinHfoTune:
            hfoTune = value;
            return kDirtyHfoPitch;
        case Control::kPinHfoDepth:
            hfoDepth = value;
            return kDirtyHfoLevel;
        case Control::kPinHfoLevel:
            hfoLevel = value;
            return kDirtyHfoLevel;
        case Control::kPinFilter2Offset:
            filter2Offset = value;
            return kDirtyFilter;
        case Control::kPinResonance:
            resonance = value;
            return kDirtyFilter;
        case Control::kPinChorusMix:
            chorusMix = value;
            return kDirtyChorusMode;
        case Control::kPinChorusRate:
            chorusRate = value;
            return kDirtyChorusMelt;
        case Control::kPinChorusSep:
            chorusSep = value;
            return kDirtyChorusMelt;
        case Control::kPinChorusDepth:
            chorusDepth = value;
            return kDirtyChorusMelt;
        case Control::kPinChorusMelt:
            chorusMelt = value;
            return kDirtyChorusMelt;
        default:
            return 0;
    }
}

float Velkor2ControlSettings::echoTime() const {
    float length = echoLength;
    if (echoStep != 0) {
        length = std::trunc(length + kEchoStepNudge);
    }
    if (echoDotted != 0) {
        length *= kEchoDotted;
    }
    const float t = (kEchoMsPerBeat / tempo) * echoBeats * length * kEchoLengthQuarter - kEchoOffset;
    return t > 0.0f ? t : 0.0f;  // a NaN from a zero tempo floors as well
}

// A sync value of 0 is the synced setting.
float Velkor2ControlSettings::lfoRate(int lfo) const {
    return lfoSync[lfo] == 0 ? tempo / lfoTicks[lfo] * kLfoTickScale : lfoRates[lfo];
}

std::int32_t Velkor2ControlSettings::lfo3Tracking() const { return lfoSync[kLfos - 1] == 0 ? 0 : lfo3Track; }

float Velkor2ControlSettings::hfoScale() const {
    return hfoTarget >= kHfoTargetFirstFm && hfoTarget <= kHfoTargetLastFm ? kFmDoubling : 1.0f;
}

float Velkor2ControlSettings::resonanceOut() const {
    return filter2Active != 0 ? resonance * (kFilter2Base - filter2Offset) : resonance;
}

std::int32_t Velkor2ControlSettings::eqFirstCode() const { return eqActive == 0 || eqPost == 0 ? 1 : 0; }

std::int32_t Velkor2ControlSettings::eqSecondCode() const { return eqActive == 0 || eqPost != 0 ? 1 : 0; }

const LimiterRouting& Velkor2ControlSettings::limiterRouting() const { return kLimiterRoutings[gainMode]; }
