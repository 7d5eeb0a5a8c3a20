#include "editor/QX_DragValue.h"

#include <algorithm>

void QX_DragValue::start(int y, float value) {
    lastY_ = y;
    value_ = value;
}

float QX_DragValue::moveTo(int y, bool fine) {
    const float travel = static_cast<float>(lastY_ - y);  // upwards raises the value
    lastY_ = y;
    value_ = std::clamp(value_ + travel / (kFullRangePx * (fine ? kFineFactor : 1.0f)), 0.0f, 1.0f);
    return value_;
}
