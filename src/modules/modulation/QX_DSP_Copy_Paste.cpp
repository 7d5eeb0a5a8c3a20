#include "modules/modulation/QX_DSP_Copy_Paste.h"

#include <algorithm>

#include "params/ParameterLookups.h"
#include "params/ShapedRandom.h"

namespace {

constexpr float kTriggerThreshold = 0.5f;
// The text and data parameters carry no value of their own.
constexpr int kFirstValueParameter = 6;

}  // namespace

QX_DSP_Copy_Paste::QX_DSP_Copy_Paste(QX_EngineHost* owner, bool asleep) : QX_ModuleBase(owner, asleep) {}

void QX_DSP_Copy_Paste::prepare() { setIdle(); }

void QX_DSP_Copy_Paste::registerParameter(int position, int index, int flag) {
    QX_ModuleBase::registerParameter(position, index, flag);
    if (position >= 0 && position < kParameterSlots && index >= 0 && index < kHostParameterCount) {
        registered_ = std::max(registered_, position + 1);
    }
}

void QX_DSP_Copy_Paste::handleEvent(const Event& event, int) {
    // Values re-sent while a program is applied or the engine is built are stored states, not
    // presses.
    const bool press = !host->programJustLoaded.load(std::memory_order_acquire) &&
                       !host->programLoading.load(std::memory_order_acquire);
    switch (event.pin) {
        case kPinCopy:
            if (press && event.ivalue != 0) {
                copy();
            }
            break;
        case kPinPaste:
            if (press && event.ivalue != 0) {
                paste();
            }
            break;
        case kPinWholeProgram:
            wholeProgram_ = event.ivalue;
            break;
        case kPinRandomise: {
            const float value = std::isfinite(event.fvalue) ? event.fvalue : 0.0f;
            const bool rising = trigger_ <= kTriggerThreshold && value > kTriggerThreshold;
            trigger_ = value;
            if (press && rising) {
                randomise();
            }
            break;
        }
        case kPinRandomMode:
            randomMode_ = event.ivalue;
            break;
        default:
            break;
    }
    setIdle();
}

void QX_DSP_Copy_Paste::copy() {
    if (wholeProgram_ != 0) {
        std::copy(host->paramValues, host->paramValues + kHostParameterCount, program_);
        programFull_ = true;
        return;
    }
    for (int j = 0; j < registered_ && j < kValueCount; ++j) {
        const float* live = inputs[kFirstValuePin + j];
        keptValid_[j] = live != nullptr && std::isfinite(*live);
        kept_[j] = keptValid_[j] ? *live : 0.0f;
    }
    keptFull_ = true;
}

void QX_DSP_Copy_Paste::paste() {
    if (wholeProgram_ != 0) {
        if (!programFull_) {
            return;
        }
        const ParameterLookups& lookups = ParameterLookups::get();
        for (int p = kFirstValueParameter; p < kHostParameterCount; ++p) {
            // Global values (randomise buttons, MPE switches) belong to no program.
            if (!lookups.isGlobal(p)) {
                host->setParameterFromModule(p, program_[p], true);
            }
        }
        host->setProgram(host->getProgram());
        return;
    }
    if (!keptFull_) {
        return;
    }
    for (int j = 0; j < registered_ && j < kValueCount; ++j) {
        if (keptValid_[j]) {
            host->setParameterFromModule(parameterSlots[j], kept_[j], true);
        }
    }
}

float QX_DSP_Copy_Paste::shaped(int position, float r) const {
    if (randomMode_ == kModeOnOff) {
        return r > kTriggerThreshold ? 1.0f : 0.0f;
    }
    if (randomMode_ != kModeShaped) {
        return r;
    }
    return shaped_random::value(position, r);
}

void QX_DSP_Copy_Paste::randomise() {
    const ParameterLookups& lookups = ParameterLookups::get();
    for (int j = 0; j < registered_; ++j) {
        const int id = parameterSlots[j];
        const float normalised = lookups.snap(id, shaped(j, host->sharedRandom.next(1.0f)));
        host->setParameterFromModule(id, lookups.engineeringValue(id, normalised), true);
    }
}
