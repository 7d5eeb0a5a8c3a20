#include "modules/effects/QX_DSP_Dual_Level.h"

#include <cstddef>

#include "modules/effects/MixKernels.h"

using namespace mix_kernels;

QX_DSP_Dual_Level::QX_DSP_Dual_Level(QX_EngineHost* owner, bool asleep)
    : QX_DSP_MixModuleBase(owner, asleep, 2, 2) {}

void QX_DSP_Dual_Level::onEvent(const Event& event, int pos) {
    if (event.pin <= kPinGainB) {
        takeSignal(event, pos);
    } else if (event.pin == kPinEnable) {
        enabled_ = isOn(event);
    } else if (event.pin == kPinSquare) {
        square_ = isOn(event);
    }
}

void QX_DSP_Dual_Level::settle() {
    if (!enabled_) {
        installSilence();
        return;
    }
    unsigned moving = 0;
    for (int k = 0; k < 2; ++k) {
        const Signal& in = signal(kPinA + k);
        const Signal& gain = signal(kPinGainA + k);
        states_[k] = scaledState(in, gain, square_);
        if (states_[k].moving) {
            moving |= (in.moving ? 1u << (kPinA + k) : 0u) | (gain.moving ? 1u << (kPinGainA + k) : 0u);
        }
    }
    for (int pin = 0; pin < 4; ++pin) {
        still_[pin] = signal(pin).moving ? 0.0f : signal(pin).still;
    }
    if (moving == 0) {
        installStill();
        return;
    }
    static constexpr auto kRoutines = routineTable<30>(
        []<std::size_t I>() { return &QX_DSP_Dual_Level::renderMoving<I % 15 + 1, (I >= 15)>; });
    install(kRoutines[(moving - 1) + (square_ ? 15 : 0)]);
}

template <unsigned Moving, bool Square>
void QX_DSP_Dual_Level::renderMoving(int pos, int count) {
    beginPiece();
    scaleChannel<kMoves<Moving, kPinA>, kMoves<Moving, kPinGainA>, Square>(
        outputs[0], operand<kMoves<Moving, kPinA>>(inputs[kPinA], still_[kPinA]),
        shapedGain<kMoves<Moving, kPinGainA>, Square>(inputs[kPinGainA], still_[kPinGainA]), pos, count);
    scaleChannel<kMoves<Moving, kPinB>, kMoves<Moving, kPinGainB>, Square>(
        outputs[1], operand<kMoves<Moving, kPinB>>(inputs[kPinB], still_[kPinB]),
        shapedGain<kMoves<Moving, kPinGainB>, Square>(inputs[kPinGainB], still_[kPinGainB]), pos, count);
}
