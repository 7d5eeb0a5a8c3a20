#include "modules/effects/QX_DSP_ST_Level.h"

#include <cstddef>

#include "modules/effects/MixKernels.h"

using namespace mix_kernels;

QX_DSP_ST_Level::QX_DSP_ST_Level(QX_EngineHost* owner, bool asleep) : QX_DSP_MixModuleBase(owner, asleep, 2, 2) {}

// Pin 3 (a law flag) and the others are accepted and change nothing.
void QX_DSP_ST_Level::onEvent(const Event& event, int pos) {
    if (event.pin <= kPinLevel) {
        takeSignal(event, pos);
    } else if (event.pin == kPinEnable) {
        enabled_ = isOn(event);
    }
}

void QX_DSP_ST_Level::settle() {
    if (!enabled_) {
        installSilence();
        return;
    }
    const Signal& level = signal(kPinLevel);
    unsigned moving = 0;
    for (int k = 0; k < 2; ++k) {
        states_[k] = scaledState(signal(k), level, true);
        const bool counts = states_[k].moving;
        if (counts && signal(k).moving) {
            moving |= 1u << k;
        }
        if (counts && level.moving) {
            moving |= 1u << kPinLevel;
        }
        still_[k] = signal(k).moving ? 0.0f : signal(k).still;
    }
    still_[kPinLevel] = level.moving ? 0.0f : level.still;
    if (moving == 0) {
        installStill();
        return;
    }
    static constexpr auto kRoutines =
        routineTable<7>([]<std::size_t I>() { return &QX_DSP_ST_Level::renderMoving<I + 1>; });
    install(kRoutines[moving - 1]);
}

template <unsigned Moving>
void QX_DSP_ST_Level::renderMoving(int pos, int count) {
    beginPiece();
    const auto level = shapedGain<kMoves<Moving, 2>, true>(inputs[kPinLevel], still_[kPinLevel]);
    scaleChannel<kMoves<Moving, 0>, kMoves<Moving, 2>, true>(
        outputs[0], operand<kMoves<Moving, 0>>(inputs[kPinLeft], still_[0]), level, pos, count);
    scaleChannel<kMoves<Moving, 1>, kMoves<Moving, 2>, true>(
        outputs[1], operand<kMoves<Moving, 1>>(inputs[kPinRight], still_[1]), level, pos, count);
}
