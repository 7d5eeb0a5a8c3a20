#include "modules/voice/QX_DSP_MPE_Switch.h"

#include <algorithm>
#include <iterator>

namespace {

// Far beyond any depth-scaled MPE value; only keeps overflow and NaN out of the voice.
constexpr float kSignalLimit = 100000.0f;

float limited(float x) { return x == x ? std::clamp(x, -kSignalLimit, kSignalLimit) : 0.0f; }

int multiplierGroup(int pin) {
    const auto* pins = QX_DSP_MPE_Switch::kMultiplierPins;
    const auto* found = std::find(pins, pins + QX_DSP_MPE_Switch::kMultipliedGroups, pin);
    return found == pins + QX_DSP_MPE_Switch::kMultipliedGroups ? -1 : static_cast<int>(found - pins);
}

}  // namespace

QX_DSP_MPE_Switch::QX_DSP_MPE_Switch(QX_EngineHost* owner, bool asleep) : QX_ModuleBase(owner, asleep) {
    for (int g = 0; g < kGroups; ++g) {
        makeOutput(g);
    }
}

void QX_DSP_MPE_Switch::setInput(int pin, const float* source) {
    QX_ModuleBase::setInput(pin, source);
    if (pin < 0 || pin >= kModulePins) {
        return;
    }
    const float* signal = inputSources[pin] != nullptr ? source : nullptr;
    if (pin < kSignalPins) {
        signals_[pin] = signal;
    } else if (const int g = multiplierGroup(pin); g >= 0) {
        multipliers_[g] = signal;
    }
}

// A changed source copies one more block, and a still output is announced again so that its
// readers sample the new constant.
void QX_DSP_MPE_Switch::refreshGroup(int group) {
    countdowns_[group] = blockLength;
    if (sentKinds_[group] == kEventStill) {
        sentKinds_[group] = -1;
    }
}

void QX_DSP_MPE_Switch::handleEvent(const Event& event, int) {
    const int pin = event.pin;
    const int kind = event.kind != kEventStill ? kEventMoving : kEventStill;
    if (pin == kPinChannel) {
        if (event.ivalue != channel_) {
            std::fill(std::begin(countdowns_), std::end(countdowns_), blockLength);
            std::fill(std::begin(sentKinds_), std::end(sentKinds_), -1);
        }
        // The first MIDI channel arrives as -1 and reads member channel 1.
        channel_ = std::clamp(event.ivalue, 0, kMemberChannels - 1);
        return;
    }
    if (pin < kSignalPins) {
        kinds_[pin] = kind;
        const int group = pin / kMemberChannels;
        if (pin == group * kMemberChannels + channel_) {
            refreshGroup(group);
        }
        return;
    }
    if (const int g = multiplierGroup(pin); g >= 0) {
        multiplierKinds_[g] = kind;
        refreshGroup(g);
    }
}

void QX_DSP_MPE_Switch::render(int pos, int count) {
    bool copying = false;
    for (int g = 0; g < kGroups; ++g) {
        if (signals_[g * kMemberChannels] == nullptr || countdowns_[g] <= 0) {
            continue;
        }
        const int selected = g * kMemberChannels + channel_;
        const float* multiplier = g < kMultipliedGroups ? multipliers_[g] : nullptr;
        const int kind = kinds_[selected] | (g < kMultipliedGroups ? multiplierKinds_[g] : kEventStill);
        if (kind == kEventStill) {
            countdowns_[g] -= count;
        }
        copying = copying || countdowns_[g] > 0;

        float* out = outputs[g] + pos;
        const float* in = signals_[selected] != nullptr ? signals_[selected] + pos : nullptr;
        if (in == nullptr) {
            std::fill(out, out + count, 0.0f);
        } else if (multiplier == nullptr) {
            for (int i = 0; i < count; ++i) {
                out[i] = limited(in[i]);
            }
        } else {
            const float* factor = multiplier + pos;
            for (int i = 0; i < count; ++i) {
                out[i] = limited(in[i] * factor[i]);
            }
        }
        if (kind != sentKinds_[g]) {
            sentKinds_[g] = kind;
            sendEvent(localTime, g, kind, kind, out[0], nullptr);
        }
    }
    if (!copying) {
        setIdle();
    }
}
