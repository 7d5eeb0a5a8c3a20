#include "modules/effects/QX_DSP_Panner.h"

#include <array>
#include <cstddef>

#include "modules/effects/MixKernels.h"

using namespace mix_kernels;

namespace {

constexpr unsigned kBitSignal = 0;
constexpr unsigned kBitPan = 1;
constexpr unsigned kBitGain = 2;
constexpr std::size_t kMasks = 7;

}  // namespace

QX_DSP_Panner::QX_DSP_Panner(QX_EngineHost* owner, bool asleep) : QX_DSP_MixModuleBase(owner, asleep, 2, 2) {}

void QX_DSP_Panner::onEvent(const Event& event, int pos) {
    if (event.pin <= kPinGain) {
        takeSignal(event, pos);
    } else if (event.pin == kPinLaw) {
        law_ = isOn(event) ? 1 : 0;
    } else if (event.pin == kPinSquare) {
        square_ = isOn(event);
    }
}

void QX_DSP_Panner::settle() {
    const Signal& in = signal(kPinSignal);
    const Signal& pan = signal(kPinPan);
    const Signal& gain = signal(kPinGain);
    if (in.stillZero() || gain.stillZero()) {
        installSilence();
        return;
    }
    stillSignal_ = in.moving ? 0.0f : in.still;
    stillPan_ = pan.moving ? 0.0f : pan.still;
    stillGain_ = gain.moving ? 0.0f : gain.still;
    crossfadeWeights(law_, stillPan_ + kCentre, weights_[0], weights_[1]);
    const bool anyMoving = in.moving || pan.moving || gain.moving;
    const float g = square_ ? shaped<true>(stillGain_) : stillGain_;
    for (int k = 0; k < 2; ++k) {
        // A side whose still weight is zero stays silent whatever the signal does.
        const bool silent = !pan.moving && weights_[k] == 0.0f;
        states_[k] = {anyMoving && !silent, anyMoving || silent ? 0.0f : guard(stillSignal_ * (g * weights_[k]))};
    }
    if (!states_[0].moving && !states_[1].moving) {
        installStill();
        return;
    }
    const unsigned moving = (in.moving ? 1u << kBitSignal : 0u) | (pan.moving ? 1u << kBitPan : 0u) |
                            (gain.moving ? 1u << kBitGain : 0u);
    static constexpr auto kRoutines = routineTable<4 * kMasks>([]<std::size_t I>() {
        return &QX_DSP_Panner::renderMoving<I % kMasks + 1, ((I / kMasks) & 1u), (I / kMasks >= 2)>;
    });
    install(kRoutines[(moving - 1) + kMasks * (law_ + (square_ ? 2 : 0))]);
}

template <unsigned Moving, unsigned Law, bool Square>
void QX_DSP_Panner::renderMoving(int pos, int count) {
    beginPiece();
    const auto in = operand<kMoves<Moving, kBitSignal>>(inputs[kPinSignal], stillSignal_);
    if constexpr (!kMoves<Moving, kBitPan> && !kMoves<Moving, kBitGain>) {
        const float g = shaped<Square>(stillGain_);
        const float gainLeft = g * weights_[0];
        const float gainRight = g * weights_[1];
        renderSamples(outputs[0], outputs[1], pos, count, [=](int t) {
            return std::array<float, 2>{guard(in[t] * gainLeft), guard(in[t] * gainRight)};
        });
    } else {
        const auto pan = operand<kMoves<Moving, kBitPan>>(inputs[kPinPan], stillPan_);
        const auto gain = shapedGain<kMoves<Moving, kBitGain>, Square>(inputs[kPinGain], stillGain_);
        renderSamples(outputs[0], outputs[1], pos, count, [=](int t) {
            float weightLeft;
            float weightRight;
            crossfadeWeights<Law>(pan[t] + kCentre, weightLeft, weightRight);
            const float g = gain[t];
            return std::array<float, 2>{guard(in[t] * (g * weightLeft)), guard(in[t] * (g * weightRight))};
        });
    }
}
