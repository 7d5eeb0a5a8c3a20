#include "editor/QX_Rotate_Knob.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr float kSweepRadians = 1.5f * std::numbers::pi_v<float>;  // 270 degrees, as drawn

}  // namespace

float QX_Rotate_Knob::valueAt(toolkit::Point p) const {
    const float dx = static_cast<float>(p.x) - static_cast<float>(dial().left + dial().right) * 0.5f;
    const float dy = static_cast<float>(p.y) - static_cast<float>(dial().top + dial().bottom) * 0.5f;
    // Angle from straight up, clockwise positive.
    const float angle = std::atan2(dx, -dy);
    return std::clamp(angle / kSweepRadians + 0.5f, 0.0f, 1.0f);
}

void QX_Rotate_Knob::startDrag(const toolkit::MouseEvent& event) { changeValue(valueAt(event.position)); }

float QX_Rotate_Knob::dragValue(const toolkit::MouseEvent& event) { return valueAt(event.position); }
