#include "modules/effects/QX_DSP_BiQuad_Static.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/QX_EngineHost.h"
#include "modules/effects/PeakKernel.h"
#include "modules/sources/SampleGuard.h"

using namespace filter_kernels;

namespace {

constexpr float kSilentSpread = 1.0e-10f;  // a silent input's output this small counts as silence
constexpr float kMaxResonance = 1.0f;      // keeps every law's damping positive

float boundedResonance(float res) {
    res = res > 0.0f ? res : 0.0f;  // NaN lands here too
    return res < kMaxResonance ? res : kMaxResonance;
}

struct SectionLaw {
    int type;
    Law law;
    Coefficients (*coefficients)(const BiquadColumns&, float cutoff, float r);
};

template <Law L>
constexpr SectionLaw lawRow(int type) {
    return {type, L, &biquadLaw<L>};
}

constexpr SectionLaw kSectionLaws[] = {
    lawRow<Law::A>(1), lawRow<Law::B>(2), lawRow<Law::C>(3), lawRow<Law::D>(4),
    lawRow<Law::HighPass>(QX_DSP_BiQuad_Static::kHighPassType),
};

const SectionLaw* lawOf(int type) {
    for (const SectionLaw& row : kSectionLaws) {
        if (row.type == type) {
            return &row;
        }
    }
    return nullptr;
}

bool runs(int type) { return type == QX_DSP_BiQuad_Static::kPeakType || lawOf(type) != nullptr; }

}  // namespace

QX_DSP_BiQuad_Static::QX_DSP_BiQuad_Static(QX_EngineHost* engine, bool asleep)
    : QX_ModuleBase(engine, asleep), input_{engine->silence, engine->silence} {
    for (Section& section : sections_) {
        std::fill(std::begin(section.signal), std::end(section.signal), engine->silence);
    }
    makeOutput(kOutputLeft);
    makeOutput(kOutputRight);
    prepare();
}

// Stereo comes from the wiring, which is done before prepare, so it stays.
void QX_DSP_BiQuad_Static::prepare() {
    for (Section& section : sections_) {
        std::fill(std::begin(section.moving), std::end(section.moving), 0);
        section.type = 0;
        section.stages = 1;
        section.recompute = true;
        section.set = {};
        std::memset(section.memory, 0, sizeof(section.memory));
    }
    hzMode_ = true;
    heldA_ = 1;
    heldB_ = 0;
    on_ = 1;
    clearRequest_ = false;
    routing_.setSwapped(false);
    inputMoving_ = 0;
    inputStillValue_ = 0.0f;
    inputSilent_ = false;
    idle_.restart(blockLength);
    announcement_.forget();
    setStaticRoutine(&QX_DSP_BiQuad_Static::renderIdle);
}

void QX_DSP_BiQuad_Static::suspendHook() { clearRequest_ = true; }

void QX_DSP_BiQuad_Static::reset() { clearRequest_ = true; }

void QX_DSP_BiQuad_Static::setInput(int pin, const float* source) {
    QX_ModuleBase::setInput(pin, source);
    const float* signal = source != nullptr ? source : host->silence;
    if (pin == kPinInput || pin == kPinInputRight) {
        input_[pin] = signal;
        routing_.setStereo(routing_.stereo() || (pin == kPinInputRight && source != nullptr));
        return;
    }
    for (int s = 0; s < kSections; ++s) {
        const int offset = pin - kSectionBase[s];
        if (offset >= 0 && offset < kSignalPins) {
            sections_[s].signal[offset] = signal;
        }
    }
}

// True when the event belonged to a section's pins.
bool QX_DSP_BiQuad_Static::handleSectionEvent(const Event& event) {
    for (int s = 0; s < kSections; ++s) {
        const int offset = event.pin - kSectionBase[s];
        if (offset < 0 || offset > kStagesOffset) {
            continue;
        }
        Section& section = sections_[s];
        if (offset < kSignalPins) {
            section.moving[offset] = event.kind != kEventStill ? 1 : 0;
        } else if (offset == kTypeOffset) {
            clearRequest_ = clearRequest_ || event.ivalue != section.type;
            section.type = event.ivalue;
        } else {
            section.stages = std::clamp(event.ivalue + 1, 1, kMaxStages);
        }
        section.recompute = true;
        return true;
    }
    return false;
}

void QX_DSP_BiQuad_Static::handleEvent(const Event& event, int pos) {
    idle_.restart(blockLength);
    switch (event.pin) {
        case kPinInput:
            inputMoving_ = event.kind != kEventStill ? 1 : 0;
            inputStillValue_ = inputMoving_ != 0 ? 1.0f : input_[0][pos];
            break;
        case kPinInputRight:
            return;
        case kPinCutoffUnit:
            hzMode_ = event.ivalue != 0;
            for (Section& section : sections_) {
                section.recompute = true;
            }
            break;
        case kPinHeldA:
        case kPinHeldB:
            (event.pin == kPinHeldA ? heldA_ : heldB_) = event.ivalue;
            clearRequest_ = clearRequest_ || (heldA_ == 0 && heldB_ == 0);
            break;
        case kPinOn:
            on_ = event.ivalue;
            clearRequest_ = clearRequest_ || on_ == 0;
            break;
        case kPinGate:
            clearRequest_ = clearRequest_ || event.ivalue >= 1;
            return;
        case kPinSwap:
            routing_.setSwapped(event.ivalue != 0);
            return;
        default:
            if (!handleSectionEvent(event)) {
                return;
            }
            break;
    }
    chooseRoutine();
}

void QX_DSP_BiQuad_Static::chooseRoutine() {
    if (heldA_ == 0 && heldB_ == 0) {
        setStaticRoutine(&QX_DSP_BiQuad_Static::renderSilence);
        return;
    }
    const bool anySection = std::any_of(std::begin(sections_), std::end(sections_),
                                        [](const Section& section) { return runs(section.type); });
    if (on_ != 0 && anySection) {
        inputSilent_ = inputStillValue_ == 0.0f;
        setStaticRoutine(&QX_DSP_BiQuad_Static::renderProcess);
        return;
    }
    setStaticRoutine(&QX_DSP_BiQuad_Static::renderPassThrough);
}

void QX_DSP_BiQuad_Static::setStaticRoutine(Routine routine) { useRender(routine); }

void QX_DSP_BiQuad_Static::announce(int moving) {
    announcement_.send(*this, moving, routing_.stereo(), kOutputLeft, kOutputRight);
}

void QX_DSP_BiQuad_Static::countDownToIdle(int count) {
    if (idle_.runDown(count)) {
        setStaticRoutine(&QX_DSP_BiQuad_Static::renderIdle);
        setIdle();
    }
}

// One coefficient set from the pin values at pos; false when the section does not run this call.
// A moving section recomputes at each chunk's first sample and at its own events, so that a chunk
// split by unrelated events sounds the same.
bool QX_DSP_BiQuad_Static::computeSet(Section& section, int pos) {
    const float cutoff = section.signal[kCutoffOffset][pos];
    const float resonance = section.signal[kResonanceOffset][pos];
    const float aux = section.signal[kAuxOffset][pos];
    const bool moving = (section.moving[0] | section.moving[1] | section.moving[2]) != 0;
    const bool recompute = section.recompute || (moving && localTime == host->sampleClock);
    if (section.type == kPeakType) {
        // A peak at gain value 0 is the flat band the EQ leaves out as well.
        if (aux == 0.0f) {
            return false;
        }
        if (recompute) {
            const BiquadColumns columns = biquadColumns(host->rates, hzMode_);
            section.set = peak_kernel::peakLaw(peak_kernel::peakTangent(columns, cutoff), resonance, aux);
        }
    } else if (recompute) {
        const SectionLaw* law = lawOf(section.type);
        const float r = resonanceScale(law->law, section.stages) * boundedResonance(resonance);
        section.set = law->coefficients(biquadColumns(host->rates, hzMode_), peak_kernel::finiteOr(cutoff, 0.0f), r);
    }
    section.recompute = false;
    return true;
}

bool QX_DSP_BiQuad_Static::settledSilent() const {
    const int channels = routing_.channels();
    for (int channel = 0; channel < channels; ++channel) {
        const float* out = outputs[channel];
        for (int i = 1; i < blockLength; ++i) {
            if (!(std::fabs(out[i]) <= kSilentSpread)) {
                return false;
            }
        }
    }
    return true;
}

void QX_DSP_BiQuad_Static::renderProcess(int pos, int count) {
    announce(1);
    if (clearRequest_) {
        clearRequest_ = false;
        for (Section& section : sections_) {
            std::memset(section.memory, 0, sizeof(section.memory));
        }
    }
    const int channels = routing_.channels();
    bool filtered = false;
    for (Section& section : sections_) {
        if (!runs(section.type) || !computeSet(section, pos)) {
            continue;
        }
        const FixedCoefficients source{section.set};
        for (int channel = 0; channel < channels; ++channel) {
            float* out = outputs[routing_.outputOf(channel)] + pos;
            const float* from = filtered ? out : input_[channel] + pos;
            if (section.stages == 1) {
                biquadCascade<1>(from, out, count, section.memory[channel], source);
            } else {
                biquadCascade<kMaxStages>(from, out, count, section.memory[channel], source);
            }
        }
        filtered = true;
    }
    if (!filtered) {
        passBounded(pos, count);
    }
    if (inputSilent_ && pos == 0 && settledSilent()) {
        setStaticRoutine(&QX_DSP_BiQuad_Static::renderSilence);
    }
}

void QX_DSP_BiQuad_Static::passBounded(int pos, int count) {
    const int channels = routing_.channels();
    for (int channel = 0; channel < channels; ++channel) {
        const float* in = input_[channel] + pos;
        std::transform(in, in + count, outputs[routing_.outputOf(channel)] + pos, sample_guard::bounded);
    }
}

void QX_DSP_BiQuad_Static::renderPassThrough(int pos, int count) {
    passBounded(pos, count);
    announce(inputMoving_);
    if (inputMoving_ == 0) {
        countDownToIdle(count);
    }
}

void QX_DSP_BiQuad_Static::renderSilence(int pos, int count) {
    const int channels = routing_.channels();
    for (int channel = 0; channel < channels; ++channel) {
        std::fill_n(outputs[channel] + pos, count, 0.0f);
    }
    announce(0);
    countDownToIdle(count);
}

void QX_DSP_BiQuad_Static::renderIdle(int, int) { setIdle(); }
