#include "modules/effects/QX_DSP_Level_FX_BUS.h"

#include <array>
#include <cstddef>

#include "modules/effects/MixKernels.h"

using namespace mix_kernels;

namespace {

constexpr unsigned kVariantLevel = 0;
constexpr unsigned kVariantSquared = 1;
constexpr unsigned kVariantUnity = 2;
constexpr float kHalf = 0.5f;

inline float mono(float left, float right) { return guard((left + right) * kHalf); }

}  // namespace

QX_DSP_Level_FX_BUS::QX_DSP_Level_FX_BUS(QX_EngineHost* owner, bool asleep)
    : QX_DSP_MixModuleBase(owner, asleep, 3, 3) {}

void QX_DSP_Level_FX_BUS::onEvent(const Event& event, int pos) {
    switch (event.pin) {
        case kPinLeft:
        case kPinRight:
        case kPinReturnLeft:
        case kPinReturnRight:
        case kPinReturnLevel:
            takeSignal(event, pos);
            break;
        case kPinReturnOn:
            returnOn_ = isOn(event);
            break;
        case kPinSquare:
            square_ = isOn(event);
            break;
        case kPinUnity:
            unity_ = isOn(event);
            break;
        default:
            break;
    }
}

void QX_DSP_Level_FX_BUS::settle() {
    const Signal& level = signal(kPinReturnLevel);
    const bool returnLive = returnOn_ && !level.stillZero();
    const float gain = square_ ? shaped<true>(level.still) : level.still;
    bool anyTerm = false;
    unsigned moving = level.moving ? 1u << kPinReturnLevel : 0u;
    for (int k = 0; k < 2; ++k) {
        const Signal& in = signal(kPinLeft + k);
        const Signal& ret = signal(kPinReturnLeft + k);
        // The return of a side counts unless it is off, its level is still at 0 or it is still at 0.
        const bool term = returnLive && !ret.stillZero();
        anyTerm = anyTerm || term;
        still_[kPinLeft + k] = in.moving ? 0.0f : in.still;
        still_[kPinReturnLeft + k] = term && !ret.moving ? ret.still : 0.0f;
        moving |= (in.moving ? 1u << (kPinLeft + k) : 0u) | (term && ret.moving ? 1u << (kPinReturnLeft + k) : 0u);
        const bool outMoving = in.moving || (term && (ret.moving || level.moving));
        const float value = term ? in.still + ret.still * gain : in.still;
        states_[k] = {outMoving, outMoving ? 0.0f : guard(value)};
    }
    still_[kPinReturnLevel] = level.moving ? 0.0f : level.still;
    states_[kOutputMono] = {states_[0].moving || states_[1].moving, mono(states_[0].value, states_[1].value)};
    if (!anyTerm) {
        moving &= (1u << kPinLeft) | (1u << kPinRight);
    }
    if (moving == 0) {
        installStill();
        return;
    }
    if (!anyTerm) {
        static constexpr auto kPass =
            routineTable<3>([]<std::size_t I>() { return &QX_DSP_Level_FX_BUS::renderPass<I + 1>; });
        install(kPass[moving - 1]);
    } else if (unity_ && !level.moving && level.still == 1.0f) {
        static constexpr auto kUnity = routineTable<15>(
            []<std::size_t I>() { return &QX_DSP_Level_FX_BUS::renderReturn<I + 1, kVariantUnity>; });
        install(kUnity[moving - 1]);
    } else {
        static constexpr auto kReturn = routineTable<62>([]<std::size_t I>() {
            return &QX_DSP_Level_FX_BUS::renderReturn<I % 31 + 1, (I >= 31 ? kVariantSquared : kVariantLevel)>;
        });
        install(kReturn[(moving - 1) + (square_ ? 31 : 0)]);
    }
}

template <unsigned Moving>
void QX_DSP_Level_FX_BUS::renderPass(int pos, int count) {
    beginPiece();
    const auto inLeft = operand<kMoves<Moving, kPinLeft>>(inputs[kPinLeft], still_[kPinLeft]);
    const auto inRight = operand<kMoves<Moving, kPinRight>>(inputs[kPinRight], still_[kPinRight]);
    renderSamples(outputs[0], outputs[1], outputs[kOutputMono], pos, count, [=](int t) {
        const float l = guard(inLeft[t]);
        const float r = guard(inRight[t]);
        return std::array<float, 3>{l, r, mono(l, r)};
    });
}

template <unsigned Moving, unsigned Variant>
void QX_DSP_Level_FX_BUS::renderReturn(int pos, int count) {
    beginPiece();
    const auto inLeft = operand<kMoves<Moving, kPinLeft>>(inputs[kPinLeft], still_[kPinLeft]);
    const auto inRight = operand<kMoves<Moving, kPinRight>>(inputs[kPinRight], still_[kPinRight]);
    const auto returnLeft = operand<kMoves<Moving, kPinReturnLeft>>(inputs[kPinReturnLeft], still_[kPinReturnLeft]);
    const auto returnRight =
        operand<kMoves<Moving, kPinReturnRight>>(inputs[kPinReturnRight], still_[kPinReturnRight]);
    const auto gain = shapedGain<kMoves<Moving, kPinReturnLevel>, Variant == kVariantSquared>(
        inputs[kPinReturnLevel], still_[kPinReturnLevel]);
    renderSamples(outputs[0], outputs[1], outputs[kOutputMono], pos, count, [=](int t) {
        float l;
        float r;
        if constexpr (Variant == kVariantUnity) {
            l = guard(inLeft[t] + returnLeft[t]);
            r = guard(inRight[t] + returnRight[t]);
        } else {
            const float g = gain[t];
            l = guard(inLeft[t] + returnLeft[t] * g);
            r = guard(inRight[t] + returnRight[t] * g);
        }
        return std::array<float, 3>{l, r, mono(l, r)};
    });
}
