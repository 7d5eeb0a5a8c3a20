#include "modules/modulation/QX_DSP_FixedValueToINT_FLOAT.h"

#include <cmath>

#include "engine/QX_EngineHost.h"
#include "modules/modulation/ControlValues.h"

using namespace control_values;

namespace {

// y = (kCurveBase - kCurveSlope * x)^4 * kCurveScale
constexpr float kCurveBase = 1.02f;
constexpr float kCurveSlope = 0.835f;
constexpr float kCurveScale = 1200.0f;

}  // namespace

QX_DSP_FixedValueToINT_FLOAT::QX_DSP_FixedValueToINT_FLOAT(QX_EngineHost* owner, bool asleep)
    : QX_ModuleBase(owner, asleep) {}

// Sends the curve of pins 58 and 60 once, at the sample of the event that changed it.
void QX_DSP_FixedValueToINT_FLOAT::renderAlt(int, int) {
    const float x = curveInverted_ ? 1.0f - curveValue_ : curveValue_;
    const float base = kCurveBase - kCurveSlope * x;
    const float squared = base * base;
    sendEvent(localTime, kOutputCurve, kEventStill, 0, squared * squared * kCurveScale, nullptr);
    setRenderRoutine(&QX_ModuleBase::render);
    setIdle();
}

void QX_DSP_FixedValueToINT_FLOAT::prepare() {
    sendConstants(*this, host->sampleClock, kConstantPins);
    setIdle();
}

void QX_DSP_FixedValueToINT_FLOAT::handleEvent(const Event& event, int) {
    switch (event.pin) {
        case kPinMpeMode:
            host->mpeMode = event.ivalue;
            break;
        case kPinMpeSwapPressureSlide:
            host->mpeSwapPressureSlide = event.ivalue;
            break;
        case kPinCurveInvert:
            curveInverted_ = event.ivalue != 0;
            setRenderRoutine(&QX_ModuleBase::renderAlt);
            break;
        case kPinMidiChannel:
            host->midiChannel = event.ivalue;
            break;
        case kPinCurveValue:
            if (std::isfinite(event.fvalue)) {
                curveValue_ = event.fvalue;
                setRenderRoutine(&QX_ModuleBase::renderAlt);
            }
            break;
        case kPinProgramSelect:
            // A program that is being applied must not be replaced from inside its own application.
            if (!host->programLoading.load(std::memory_order_acquire)) {
                host->setProgram(event.ivalue);
            }
            break;
        case kPinProgramUp:
        case kPinProgramDown:
            if (event.ivalue != 0 && !host->programLoading.load(std::memory_order_acquire)) {
                host->setProgram(host->getProgram() + (event.pin == kPinProgramUp ? 1 : -1));
            }
            break;
        default:
            break;
    }
}
