#include "engine/SharedRandom.h"

namespace {

constexpr float kWordScale = 0x1p-32f;  // 2^-32: an unsigned word to [0, 1]
// Rounding to float can turn the largest words into exactly 1; the range stays open at the top.
constexpr float kBelowOne = 0x1.fffffep-1f;

}  // namespace

float SharedRandom::next(float scale) {
    a_ ^= b_;
    b_ += a_;
    const float unit = static_cast<float>(b_) * kWordScale;
    return (unit < 1.0f ? unit : kBelowOne) * scale;
}

void SharedRandom::restart() {
    a_ = kStartA;
    b_ = kStartB;
}
