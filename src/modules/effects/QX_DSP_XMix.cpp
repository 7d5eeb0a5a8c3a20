#include "modules/effects/QX_DSP_XMix.h"

#include <cmath>
#include <cstddef>

#include "modules/effects/MixKernels.h"

using namespace mix_kernels;

namespace {

// Bits of the moving mask, one per operand.
constexpr unsigned kBitA = 0;
constexpr unsigned kBitB = 1;
constexpr unsigned kBitMix = 2;
constexpr unsigned kBitVolume = 3;
constexpr std::size_t kMasks = 15;
constexpr std::size_t kLaws = 2;
constexpr std::size_t kHolds = 2;  // free, or held at unity inside a loop

// In a feedback loop the worst case is A and B in phase, a gain of |volume| * (|wA| + |wB|): up
// to 1.5 with law 1 in the centre, and a loud input then runs away to the loop's clamp. Above 1
// the volume is cut back to unity; at or below 1 it passes bit for bit.
inline float heldAtUnity(float volume, float weightA, float weightB) {
    const float worst = std::fabs(volume) * (std::fabs(weightA) + std::fabs(weightB));
    return worst > 1.0f ? volume / worst : volume;
}

}  // namespace

QX_DSP_XMix::QX_DSP_XMix(QX_EngineHost* owner, bool asleep) : QX_DSP_MixModuleBase(owner, asleep, 1, 1) {}

void QX_DSP_XMix::onEvent(const Event& event, int pos) {
    if (event.pin <= kPinMix) {
        takeSignal(event, pos);
    } else if (event.pin == kPinLaw) {
        law_ = isOn(event) ? 1 : 0;
    }
}

QX_DSP_MixModuleBase::Signal QX_DSP_XMix::volume() const { return {false, 1.0f}; }

void QX_DSP_XMix::settle() {
    const Signal& a = signal(kPinA);
    const Signal& b = signal(kPinB);
    const Signal& mix = signal(kPinMix);
    const Signal level = volume();
    stillMix_ = mix.moving ? 0.0f : mix.still;
    crossfadeWeights(law_, stillMix_ + kCentre, weightA_, weightB_);
    // A side counts unless its signal or its still weight is zero.
    const bool countsA = !a.stillZero() && (mix.moving || weightA_ != 0.0f);
    const bool countsB = !b.stillZero() && (mix.moving || weightB_ != 0.0f);
    if (level.stillZero() || (!countsA && !countsB)) {
        installSilence();
        return;
    }
    stillA_ = countsA && !a.moving ? a.still : 0.0f;
    stillB_ = countsB && !b.moving ? b.still : 0.0f;
    stillVolume_ = level.moving ? 0.0f : level.still;
    const bool held = feedsBack();
    if (held && !mix.moving && !level.moving) {
        stillVolume_ = heldAtUnity(stillVolume_, weightA_, weightB_);
    }
    const unsigned moving = (countsA && a.moving ? 1u << kBitA : 0u) | (countsB && b.moving ? 1u << kBitB : 0u) |
                            (mix.moving ? 1u << kBitMix : 0u) | (level.moving ? 1u << kBitVolume : 0u);
    if (moving == 0) {
        states_[0] = {false, guard(stillA_ * (weightA_ * stillVolume_) + stillB_ * (weightB_ * stillVolume_))};
        installStill();
        return;
    }
    states_[0] = {true, 0.0f};
    static constexpr auto kRoutines = routineTable<kHolds * kLaws * kMasks>([]<std::size_t I>() {
        return &QX_DSP_XMix::renderMoving<I % kMasks + 1, (I / kMasks) % kLaws, (I >= kLaws * kMasks)>;
    });
    install(kRoutines[(moving - 1) + (law_ + (held ? kLaws : 0)) * kMasks]);
}

bool QX_DSP_XMix::feedsBack() const {
    for (const FanOutNode* node = fanOut[0]; node != nullptr; node = node->next) {
        if (node->moduleIndex < moduleIndex) {
            return true;
        }
    }
    return false;
}

template <unsigned Moving, unsigned Law, bool Held>
void QX_DSP_XMix::renderMoving(int pos, int count) {
    beginPiece();
    const auto a = operand<kMoves<Moving, kBitA>>(inputs[kPinA], stillA_);
    const auto b = operand<kMoves<Moving, kBitB>>(inputs[kPinB], stillB_);
    if constexpr (!kMoves<Moving, kBitMix> && !kMoves<Moving, kBitVolume>) {
        const float gainA = weightA_ * stillVolume_;
        const float gainB = weightB_ * stillVolume_;
        renderSamples(outputs[0], pos, count, [=](int t) { return guard(a[t] * gainA + b[t] * gainB); });
    } else {
        const auto mix = operand<kMoves<Moving, kBitMix>>(inputs[kPinMix], stillMix_);
        const auto level = operand<kMoves<Moving, kBitVolume>>(inputs[kPinVolume], stillVolume_);
        renderSamples(outputs[0], pos, count, [=](int t) {
            float weightA;
            float weightB;
            crossfadeWeights<Law>(mix[t] + kCentre, weightA, weightB);
            const float v = Held ? heldAtUnity(level[t], weightA, weightB) : level[t];
            return guard(a[t] * (weightA * v) + b[t] * (weightB * v));
        });
    }
}
