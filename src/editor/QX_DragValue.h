// Turns vertical mouse travel into a value change: 200 px up sweeps the whole range, Shift
// makes it ten times finer. Works in steps so Shift may be pressed or released mid-drag.
#pragma once

class QX_DragValue {
public:
    static constexpr float kFullRangePx = 200.0f;
    static constexpr float kFineFactor = 10.0f;

    void start(int y, float value);
    // The value after the pointer moved to `y`, clamped to 0..1.
    float moveTo(int y, bool fine);

private:
    int lastY_ = 0;
    float value_ = 0.0f;
};
