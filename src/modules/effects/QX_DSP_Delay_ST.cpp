#include "modules/effects/QX_DSP_Delay_ST.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/QX_EngineHost.h"
#include "modules/effects/DelayKernels.h"

using namespace delay_kernels;

namespace {

// Copies count samples between a block and the ring from `at` on, splitting at the ring's end;
// what enters the ring is guarded.
void toRing(float* ring, unsigned mask, unsigned at, const float* from, int count) {
    for (int n = 0; n < count; ++n) {
        ring[(at + static_cast<unsigned>(n)) & mask] = stored(from[n]);
    }
}

void fromRing(const float* ring, unsigned mask, unsigned at, float* to, int count) {
    const int first = std::min(count, static_cast<int>(mask + 1 - (at & mask)));
    std::memcpy(to, ring + (at & mask), sizeof(float) * static_cast<std::size_t>(first));
    std::memcpy(to + first, ring, sizeof(float) * static_cast<std::size_t>(count - first));
}

}  // namespace

QX_DSP_Delay_ST::QX_DSP_Delay_ST(QX_EngineHost* engine, bool asleep)
    : QX_ModuleBase(engine, asleep),
      rings_{DelayRing(engine->sampleRateInt), DelayRing(engine->sampleRateInt)},
      input_{engine->silence, engine->silence} {
    makeOutput(0);
    makeOutput(1);
    prepare();
}

void QX_DSP_Delay_ST::prepare() {
    timeValue_ = 0.0f;
    unitIndex_ = kDefaultUnit;
    line_.prepare();
    swapped_ = false;
    sentKind_ = -1;
    restart();
    chooseRoutine();
}

void QX_DSP_Delay_ST::reset() {
    for (DelayRing& ring : rings_) {
        ring.clear();
    }
}

void QX_DSP_Delay_ST::restart() {
    for (DelayRing& ring : rings_) {
        ring.select(line_.size());
        ring.clear();
    }
    write_ = 0;
}

void QX_DSP_Delay_ST::setInput(int pin, const float* source) {
    if (pin < 0 || pin >= kModulePins) {
        return;
    }
    QX_ModuleBase::setInput(pin, source);
    if (pin == kPinLeft || pin == kPinRight) {
        input_[pin] = readsBuffer(*this, pin, source) ? source : host->silence;
    }
}

void QX_DSP_Delay_ST::handleEvent(const Event& event, int) {
    switch (event.pin) {
        case kPinTime:
            timeValue_ = finite(event.fvalue);
            break;
        case kPinUnit:
            unitIndex_ = timeUnit(event.ivalue, kDefaultUnit);
            break;
        case kPinSize:
            if (line_.resize(event.ivalue)) {
                restart();
            }
            break;
        case kPinEnable:
            if (line_.switchOn(isOn(event))) {
                restart();
            }
            break;
        case kPinSwap:
            swapped_ = event.ivalue != 0;
            break;
        case kPinClear:
            if (event.ivalue > 0) {
                reset();
            }
            break;
        default:
            break;
    }
    chooseRoutine();
}

// The delay is rounded to the nearest sample: the time it restores is rarely whole (1.8
// hundredths are 793.8 samples at 44.1 kHz), and truncating would put the repeat a sample early.
// It stays short enough that a block never reads what it has just overwritten.
void QX_DSP_Delay_ST::chooseRoutine() {
    const float samples = timeValue_ * samplesPerUnit(unitIndex_, host->sampleRateInt);
    const float longest = static_cast<float>(std::max(rings_[0].length() - blockLength, 0));
    delay_ = static_cast<int>(std::lround(readOffset(samples, longest)));
    if (!line_.enabled()) {
        silence_.restart(blockLength);
        setDelayRoutine(&QX_DSP_Delay_ST::renderSilence);
        return;
    }
    setDelayRoutine(&QX_DSP_Delay_ST::renderDelay);
}

void QX_DSP_Delay_ST::setDelayRoutine(Routine routine) { useRender(routine); }

void QX_DSP_Delay_ST::announce(int kind) {
    if (sentKind_ != kind) {
        sentKind_ = kind;
        sendEvent(localTime, 0, kind, kind, static_cast<float>(kind), nullptr);
        sendEvent(localTime, 1, kind, kind, static_cast<float>(kind), nullptr);
    }
}

void QX_DSP_Delay_ST::renderDelay(int pos, int count) {
    announce(kEventMoving);
    const unsigned mask = rings_[0].mask();
    const unsigned read = write_ - static_cast<unsigned>(delay_);
    for (int channel = 0; channel < 2; ++channel) {
        toRing(rings_[channel].data(), mask, write_, input_[channel] + pos, count);
        fromRing(rings_[channel].data(), mask, read, outputs[swapped_ ? 1 - channel : channel] + pos, count);
    }
    write_ = (write_ + static_cast<unsigned>(count)) & mask;
}

// Zeros for one whole block, then idle: readers of an idle module see its buffers as they were left.
void QX_DSP_Delay_ST::renderSilence(int pos, int count) {
    announce(kEventStill);
    for (int channel = 0; channel < 2; ++channel) {
        std::memset(outputs[channel] + pos, 0, sizeof(float) * static_cast<std::size_t>(count));
    }
    if (silence_.runDown(count)) {
        setDelayRoutine(&QX_DSP_Delay_ST::renderIdle);
        setIdle();
    }
}

void QX_DSP_Delay_ST::renderIdle(int, int) { setIdle(); }
