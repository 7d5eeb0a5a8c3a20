#include "modules/effects/QX_DSP_Multi_Filter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/QX_EngineHost.h"
#include "engine/QX_VoiceAllocatorBase.h"

using namespace filter_kernels;

namespace {

constexpr float kSilentLevel = 1.0e-6f;  // Acid and Milk below this on a silent input fall silent
constexpr float kMaxResonance = 1.0f;    // keeps every law's damping positive

float boundedResonance(float res) {
    res = res > 0.0f ? res : 0.0f;  // NaN lands here too
    return res < kMaxResonance ? res : kMaxResonance;
}

struct TypeRoutines {
    int type;
    QX_DSP_Multi_Filter::Routine twelve;
    QX_DSP_Multi_Filter::Routine twentyFour;
};

template <Law L>
constexpr TypeRoutines typeRow(int type) {
    return {type, &QX_DSP_Multi_Filter::renderLaw<L, 1>, &QX_DSP_Multi_Filter::renderLaw<L, 2>};
}

// The types a parameter or the netlist selects; the generator's further types pass the signal.
constexpr TypeRoutines kTypeRoutines[] = {
    typeRow<Law::A>(1),    typeRow<Law::B>(2),    typeRow<Law::C>(3), typeRow<Law::D>(4),
    typeRow<Law::E>(5),    typeRow<Law::F>(6),    typeRow<Law::G>(7), typeRow<Law::H>(8),
    typeRow<Law::Acid>(9), typeRow<Law::Milk>(10), typeRow<Law::HighPass>(QX_DSP_Multi_Filter::kHighPassType),
};

}  // namespace

QX_DSP_Multi_Filter::QX_DSP_Multi_Filter(QX_EngineHost* engine, bool asleep, QX_VoiceAllocatorBase* owner,
                                         int voiceNumber)
    : QX_ModuleBase(engine, asleep),
      owner_(owner),
      voiceNumber_(voiceNumber),
      input_{engine->silence, engine->silence},
      cutoffIn_(engine->silence),
      resonanceIn_(engine->silence) {
    for (int output = kOutputLeft; output < kFirstStream + kCoefficientStreams; ++output) {
        makeOutput(output);
    }
    prepare();
}

// Stereo comes from the wiring, which is done before prepare, so it stays.
void QX_DSP_Multi_Filter::prepare() {
    type_ = 0;
    stages_ = 1;
    hzMode_ = true;
    perSample_ = true;
    std::memset(memory_, 0, sizeof(memory_));
    current_ = {};
    recomputeCountdown_ = 0;
    cutoffMoving_ = 0;
    resonanceMoving_ = 0;
    auxMoving_ = 0;
    anyMoving_ = 0;
    inputMoving_ = 0;
    inputStillValue_ = 0.0f;
    inputSilent_ = false;
    idle_.restart(blockLength);
    clearRequest_ = false;
    announcement_.forget();
    on_ = 1;
    heldA_ = 1;
    heldB_ = 0;
    lastType_ = -1;
    routing_.setSwapped(false);
    frozen_ = false;
    setFilterRoutine(&QX_DSP_Multi_Filter::renderIdle);
}

void QX_DSP_Multi_Filter::suspendHook() { clearRequest_ = true; }

void QX_DSP_Multi_Filter::reset() { clearRequest_ = true; }

void QX_DSP_Multi_Filter::sleep() {
    clearRequest_ = true;
    QX_ModuleBase::sleep();
}

void QX_DSP_Multi_Filter::setInput(int pin, const float* source) {
    QX_ModuleBase::setInput(pin, source);
    const float* signal = source != nullptr ? source : host->silence;
    switch (pin) {
        case kPinInput:
            input_[0] = signal;
            break;
        case kPinInputRight:
            input_[1] = signal;
            routing_.setStereo(source != nullptr);
            break;
        case kPinCutoff:
            cutoffIn_ = signal;
            break;
        case kPinResonance:
            resonanceIn_ = signal;
            break;
        default:
            break;
    }
}

void QX_DSP_Multi_Filter::handleEvent(const Event& event, int pos) {
    idle_.restart(blockLength);
    const int moving = event.kind != kEventStill ? 1 : 0;
    bool recompute = false;
    switch (event.pin) {
        case kPinInput:
            inputMoving_ = moving;
            inputStillValue_ = moving != 0 ? 1.0f : input_[0][pos];
            break;
        case kPinInputRight:
            return;
        case kPinGate:
            clearRequest_ = clearRequest_ || event.ivalue >= 1;
            return;
        case kPinSwap:
            routing_.setSwapped(event.ivalue != 0);
            return;
        case kPinFreeze:
            frozen_ = moving != 0;
            return;
        case kPinCutoff:
            cutoffMoving_ = moving;
            recompute = true;
            break;
        case kPinResonance:
            resonanceMoving_ = moving;
            recompute = true;
            break;
        case kPinAux:
            auxMoving_ = moving;
            recompute = true;
            break;
        case kPinType:
            if (event.ivalue != lastType_) {
                type_ = event.ivalue;
                lastType_ = event.ivalue;
                clearRequest_ = true;
                recompute = true;
            }
            break;
        case kPinMode:
            stages_ = std::clamp(event.ivalue + 1, 1, kMaxStages);
            recompute = true;
            break;
        case kPinCutoffUnit:
            hzMode_ = event.ivalue != 0;
            recompute = true;
            break;
        case kPinPerSample:
            perSample_ = event.ivalue != 0;
            recompute = true;
            break;
        case kPinHeldA:
        case kPinHeldB:
            (event.pin == kPinHeldA ? heldA_ : heldB_) = event.ivalue;
            if (heldA_ == 0 && heldB_ == 0) {
                clearRequest_ = true;
            }
            break;
        case kPinOn:
            on_ = event.ivalue;
            if (on_ == 0) {
                clearRequest_ = true;
            }
            break;
        default:
            break;
    }
    if (recompute) {
        recomputeCountdown_ = blockLength;
        anyMoving_ = cutoffMoving_ | resonanceMoving_ | auxMoving_;
    }
    chooseRoutine();
}

QX_DSP_Multi_Filter::Routine QX_DSP_Multi_Filter::lawRoutine() const {
    for (const TypeRoutines& row : kTypeRoutines) {
        if (row.type == type_) {
            return stages_ == 1 ? row.twelve : row.twentyFour;
        }
    }
    return nullptr;
}

void QX_DSP_Multi_Filter::chooseRoutine() {
    if (heldA_ + heldB_ == 0) {
        setFilterRoutine(&QX_DSP_Multi_Filter::renderSilence);
        return;
    }
    const Routine law = on_ != 0 ? lawRoutine() : nullptr;
    if (law != nullptr) {
        inputSilent_ = inputStillValue_ == 0.0f;
        setFilterRoutine(law);
        return;
    }
    if (inputMoving_ == 0) {
        announcement_.forget();
    }
    setFilterRoutine(&QX_DSP_Multi_Filter::renderPassThrough);
}

void QX_DSP_Multi_Filter::setFilterRoutine(Routine routine) { useRender(routine); }

void QX_DSP_Multi_Filter::announce(int moving) {
    announcement_.send(*this, moving, routing_.stereo(), kOutputLeft, kOutputRight);
}

void QX_DSP_Multi_Filter::countDownToSettle(int count) {
    if (idle_.runDown(count)) {
        setFilterRoutine(&QX_DSP_Multi_Filter::renderSettle);
    }
}

template <Law L, int Stages, class Cutoff>
void QX_DSP_Multi_Filter::fillStreams(const Cutoff& cutoff, int pos, int count) {
    const float* c = cutoffIn_ + pos;
    const float* res = resonanceIn_ + pos;
    const float firstRes = boundedResonance(res[0]);
    float* streams[kCoefficientStreams];
    for (int k = 0; k < kCoefficientStreams; ++k) {
        streams[k] = outputs[kFirstStream + k] + pos;
    }
    for (int i = 0; i < count; ++i) {
        const float r = resonancePerSample(L) ? boundedResonance(res[i]) : firstRes;
        Coefficients set;
        if constexpr (isBiquad(L)) {
            set = biquadLaw<L>(cutoff, c[i], resonanceScale(L, Stages) * r);
        } else {
            set = exponentialLaw<L, Stages>(cutoff.increment(c[i]), r);
        }
        for (int k = 0; k < kCoefficientStreams; ++k) {
            streams[k][i] = set.c[k];
        }
    }
}

// Per sample while the countdown runs and per-sample coefficients are asked for; otherwise one
// set per call, from its first sample, which stays in use once the countdown has run out.
template <Law L, int Stages>
QX_DSP_Multi_Filter::Streams QX_DSP_Multi_Filter::refreshCoefficients(int pos, int count) {
    if (recomputeCountdown_ <= 0) {
        return Streams::Fixed;
    }
    if (anyMoving_ == 0) {
        recomputeCountdown_ -= count;
    }
    const int filled = perSample_ ? count : 1;
    if constexpr (isBiquad(L)) {
        fillStreams<L, Stages>(biquadColumns(host->rates, hzMode_), pos, filled);
    } else if (hzMode_) {
        fillStreams<L, Stages>(HzCutoff{kHzUnit / static_cast<float>(host->sampleRateInt)}, pos, filled);
    } else {
        fillStreams<L, Stages>(PitchCutoff{&host->rates}, pos, filled);
    }
    const int last = pos + filled - 1;
    for (int k = 0; k < kCoefficientStreams; ++k) {
        current_.c[k] = outputs[kFirstStream + k][last];
    }
    return perSample_ ? Streams::PerSample : Streams::Fixed;
}

template <Law L, int Stages, class Source>
void QX_DSP_Multi_Filter::runChannel(const float* in, float* out, int count, ChannelMemory& memory,
                                     const Source& coefficients, float resonance) {
    if constexpr (isBiquad(L)) {
        biquadCascade<Stages>(in, out, count, memory.biquad, coefficients);
    } else if constexpr (isTwoPole(L)) {
        twoPoleCascade<L, Stages>(in, out, count, memory.twoPole, coefficients);
    } else if constexpr (L == Law::Acid) {
        acidCascade<Stages>(in, out, count, memory.acid, coefficients, resonance);
    } else {
        milkCascade<Stages>(in, out, count, memory.milk, coefficients);
    }
}

bool QX_DSP_Multi_Filter::settledSilent() const {
    const int channels = routing_.channels();
    for (int channel = 0; channel < channels; ++channel) {
        const float* out = outputs[channel];
        for (int i = 0; i < blockLength; ++i) {
            if (!(std::fabs(out[i]) <= kSilentLevel)) {
                return false;
            }
        }
    }
    return true;
}

template <Law L, int Stages>
void QX_DSP_Multi_Filter::renderLaw(int pos, int count) {
    if (clearRequest_) {
        clearRequest_ = false;
        std::memset(memory_, 0, sizeof(memory_));
    }
    if constexpr (L == Law::Acid || L == Law::Milk) {
        if (pos == 0 && inputSilent_ && settledSilent()) {
            setFilterRoutine(&QX_DSP_Multi_Filter::renderSilence);
            renderSilence(pos, count);
            return;
        }
    }
    announce(1);
    const Streams streams = refreshCoefficients<L, Stages>(pos, count);
    const float resonance = boundedResonance(resonanceIn_[pos]);
    const int channels = routing_.channels();
    for (int channel = 0; channel < channels; ++channel) {
        const float* in = input_[channel] + pos;
        float* out = outputs[routing_.outputOf(channel)] + pos;
        if (streams == Streams::PerSample) {
            StreamedCoefficients source;
            for (int k = 0; k < kCoefficientStreams; ++k) {
                source.c[k] = outputs[kFirstStream + k] + pos;
            }
            runChannel<L, Stages>(in, out, count, memory_[channel], source, resonance);
        } else {
            runChannel<L, Stages>(in, out, count, memory_[channel], FixedCoefficients{current_}, resonance);
        }
    }
}

void QX_DSP_Multi_Filter::renderPassThrough(int pos, int count) {
    const int channels = routing_.channels();
    for (int channel = 0; channel < channels; ++channel) {
        std::memcpy(outputs[routing_.outputOf(channel)] + pos, input_[channel] + pos,
                    sizeof(float) * static_cast<std::size_t>(count));
    }
    announce(inputMoving_);
    if (inputMoving_ == 0) {
        countDownToSettle(count);
    }
}

// A silenced voice settles whatever its input does, so that it can be reported silent.
void QX_DSP_Multi_Filter::renderSilence(int pos, int count) {
    const int channels = routing_.channels();
    for (int channel = 0; channel < channels; ++channel) {
        std::memset(outputs[channel] + pos, 0, sizeof(float) * static_cast<std::size_t>(count));
    }
    announce(0);
    countDownToSettle(count);
}

// The outputs already hold a whole block of their final value, so settling writes nothing.
void QX_DSP_Multi_Filter::renderSettle(int, int) {
    if (frozen_) {
        return;
    }
    setFilterRoutine(&QX_DSP_Multi_Filter::renderIdle);
    if (owner_ != nullptr) {
        owner_->voiceSilent(voiceNumber_);
    }
    setIdle();
}

void QX_DSP_Multi_Filter::renderIdle(int, int) { setIdle(); }
