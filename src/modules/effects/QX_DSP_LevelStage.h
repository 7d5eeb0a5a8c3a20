// Gain stages on up to four inputs A..D with an enable, an optional squared gain and optional
// clamping. The derived class names its formula and which inputs multiply one another.
#pragma once

#include <cstddef>

#include "modules/effects/MixKernels.h"
#include "modules/effects/QX_DSP_MixModuleBase.h"

// Derived supplies: kInputs (3 or 4); kTerms, the input masks of the products whose sum is the
// formula (so a product with a still zero in it drops out); value<Square>(a, b, c, d), written so
// that still inputs group into loop constants.
template <class Derived>
class QX_DSP_LevelStage : public QX_DSP_MixModuleBase {
public:
    static constexpr int kPinEnable = 9;
    static constexpr int kPinSquare = 10;
    static constexpr int kPinMin = 19;
    static constexpr int kPinMax = 20;
    static constexpr float kDefaultMin = -1000.0f;
    static constexpr float kDefaultMax = 1000.0f;

    void setInput(int pin, const float* source) override {
        QX_DSP_MixModuleBase::setInput(pin, source);
        if ((pin == kPinMin || pin == kPinMax) && source != nullptr) {
            clamped_ = true;
        }
    }

protected:
    QX_DSP_LevelStage(QX_EngineHost* host, bool asleep) : QX_DSP_MixModuleBase(host, asleep, 1, 1) {}

    void onEvent(const Event& event, int pos) override {
        const int pin = event.pin;
        if (pin < Derived::kInputs) {
            takeSignal(event, pos);
        } else if (pin == kPinEnable) {
            enabled_ = isOn(event);
        } else if (pin == kPinSquare) {
            square_ = isOn(event);
        } else if (pin == kPinMin) {
            min_ = stillValue(event, pos);
        } else if (pin == kPinMax) {
            max_ = stillValue(event, pos);
        }
    }

    void settle() override {
        using namespace mix_kernels;
        if (!enabled_) {
            installSilence();
            return;
        }
        unsigned relevant = 0;
        for (const unsigned term : Derived::kTerms) {
            bool alive = true;
            for (int k = 0; k < Derived::kInputs; ++k) {
                alive = alive && !(((term >> k) & 1u) != 0 && signal(k).stillZero());
            }
            if (alive) {
                relevant |= term;
            }
        }
        unsigned moving = 0;
        for (int k = 0; k < kMaxInputs; ++k) {
            const bool isRelevant = ((relevant >> k) & 1u) != 0;
            const Signal& in = signal(k);
            if (isRelevant && in.moving) {
                moving |= 1u << k;
            }
            still_[k] = isRelevant && !in.moving ? in.still : 0.0f;
        }
        if (moving == 0) {
            const float value = square_ ? Derived::template value<true>(still_[0], still_[1], still_[2], still_[3])
                                        : Derived::template value<false>(still_[0], still_[1], still_[2], still_[3]);
            states_[0] = {false, clamped_ ? limited<true>(value, min_, max_) : guard(value)};
            installStill();
            return;
        }
        states_[0] = {true, 0.0f};
        constexpr std::size_t kMasks = (1u << Derived::kInputs) - 1;
        static constexpr auto kRoutines = routineTable<4 * kMasks>([]<std::size_t I>() {
            return &QX_DSP_LevelStage::renderMoving<I % kMasks + 1, ((I / kMasks) & 1u) != 0, (I / kMasks) >= 2>;
        });
        install(kRoutines[(moving - 1) + kMasks * ((square_ ? 1 : 0) + (clamped_ ? 2 : 0))]);
    }

private:
    static constexpr int kMaxInputs = 4;

    template <unsigned Moving, bool Square, bool Clamp>
    void renderMoving(int pos, int count) {
        using namespace mix_kernels;
        beginPiece();
        const auto a = operand<kMoves<Moving, 0>>(inputs[0], still_[0]);
        const auto b = operand<kMoves<Moving, 1>>(inputs[1], still_[1]);
        const auto c = operand<kMoves<Moving, 2>>(inputs[2], still_[2]);
        const auto d = operand<kMoves<Moving, 3>>(inputs[3], still_[3]);
        const float lo = min_;
        const float hi = max_;
        renderSamples(outputs[0], pos, count, [=](int t) {
            return limited<Clamp>(Derived::template value<Square>(a[t], b[t], c[t], d[t]), lo, hi);
        });
    }

    float still_[kMaxInputs] = {};  // still inputs; 0 for inputs that do not count
    float min_ = kDefaultMin;
    float max_ = kDefaultMax;
    bool enabled_ = true;
    bool square_ = false;
    bool clamped_ = false;  // pin 19 or 20 is wired
};
