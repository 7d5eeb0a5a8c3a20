#include "modules/effects/QX_DSP_MixModuleBase.h"

#include <algorithm>
#include <cmath>

#include "engine/QX_EngineHost.h"
#include "modules/effects/MixKernels.h"

QX_DSP_MixModuleBase::QX_DSP_MixModuleBase(QX_EngineHost* owner, bool asleep, int outputCount, int madeOutputs)
    : QX_ModuleBase(owner, asleep), outputCount_(outputCount) {
    for (int k = 0; k < madeOutputs; ++k) {
        makeOutput(k);
    }
}

void QX_DSP_MixModuleBase::setInput(int pin, const float* source) {
    if (pin < 0 || pin >= kModulePins) {
        return;
    }
    QX_ModuleBase::setInput(pin, source);
    feeds_[pin] = feedOf(pin, source);
    // A new source has announced nothing yet.
    signals_[pin] = Signal{};
}

void QX_DSP_MixModuleBase::prepare() { settle(); }

void QX_DSP_MixModuleBase::handleEvent(const Event& event, int pos) {
    if (event.pin >= kModulePins) {
        return;
    }
    onEvent(event, pos);
    settle();
}

QX_DSP_MixModuleBase::Feed QX_DSP_MixModuleBase::feedOf(int pin, const float* source) const {
    if (source == nullptr) {
        return Feed::None;
    }
    // connect() names the source module before it hands over the pointer; parameters and
    // constants come without one, and an output without buffer hands over the shared silence.
    if (const QX_ModuleBase* from = inputSources[pin]) {
        for (const float* output : from->outputs) {
            if (output == source) {
                return from->moduleIndex < moduleIndex ? Feed::Buffer : Feed::LateBuffer;
            }
        }
    }
    return Feed::Value;
}

void QX_DSP_MixModuleBase::takeSignal(const Event& event, int pos) {
    const Feed feed = feeds_[event.pin];
    Signal& signal = signals_[event.pin];
    signal.moving = event.kind == kEventMoving && (feed == Feed::Buffer || feed == Feed::LateBuffer);
    signal.still = signal.moving ? 0.0f : stillValue(event, pos);
}

float QX_DSP_MixModuleBase::stillValue(const Event& event, int pos) const {
    if (feeds_[event.pin] == Feed::Buffer && pos >= 0 && pos < blockLength) {
        return mix_kernels::guard(inputs[event.pin][pos]);
    }
    return mix_kernels::guard(event.fvalue);
}

bool QX_DSP_MixModuleBase::isOn(const Event& event) {
    return event.ivalue != 0 || (std::isfinite(event.fvalue) && event.fvalue != 0.0f);
}

QX_DSP_MixModuleBase::OutputState QX_DSP_MixModuleBase::scaledState(const Signal& signal, const Signal& gain,
                                                                     bool square) {
    if (signal.stillZero() || gain.stillZero()) {
        return {};
    }
    if (signal.moving || gain.moving) {
        return {true, 0.0f};
    }
    const float g = square ? mix_kernels::shaped<true>(gain.still) : gain.still;
    return {false, mix_kernels::guard(signal.still * g)};
}

bool QX_DSP_MixModuleBase::anyOutputMoving() const {
    return std::any_of(states_, states_ + outputCount_, [](const OutputState& s) { return s.moving; });
}

void QX_DSP_MixModuleBase::installStill() {
    useRender(&QX_DSP_MixModuleBase::renderStill);
    armAnnouncements();
}

void QX_DSP_MixModuleBase::installSilence() {
    std::fill(states_, states_ + outputCount_, OutputState{});
    installStill();
}

void QX_DSP_MixModuleBase::armAnnouncements() {
    announcePending_ = true;
    countdown_ = blockLength;
}

// Moving: kind 1 (1, 1.0). Still: kind 0 with the value, and its sign as the integer, whenever the
// value changes too, so that readers take the new value at this sample.
void QX_DSP_MixModuleBase::announce() {
    announcePending_ = false;
    for (int k = 0; k < outputCount_; ++k) {
        const OutputState& state = states_[k];
        if (state.moving) {
            if (lastKind_[k] != kEventMoving) {
                sendEvent(localTime, k, kEventMoving, 1, 1.0f, nullptr);
            }
        } else if (lastKind_[k] != kEventStill || lastValue_[k] != state.value) {
            sendEvent(localTime, k, kEventStill, state.value > 0.0f ? 1 : 0, state.value, nullptr);
        }
        lastKind_[k] = state.moving ? kEventMoving : kEventStill;
        lastValue_[k] = state.value;
    }
}

void QX_DSP_MixModuleBase::renderStill(int pos, int count) {
    beginPiece();
    for (int k = 0; k < outputCount_; ++k) {
        if (outputs[k] != nullptr) {
            std::fill_n(outputs[k] + pos, count, states_[k].value);
        }
    }
    // Once the whole ring holds the values there is nothing left to do until the next event.
    countdown_ -= count;
    if (countdown_ < 0) {
        setIdle();
    }
}
