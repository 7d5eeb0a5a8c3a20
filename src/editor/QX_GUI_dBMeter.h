// A level meter: the value is the engine's level 0..1, shown in dB from -60 to 0. The bar falls
// back at a fixed rate on each idle pass; a peak mark holds for about a second, then falls too.
#pragma once

#include "toolkit/Control.h"

class QX_GUI_dBMeter : public toolkit::Control {
public:
    static constexpr float kFloorDb = -60.0f;
    static constexpr float kFalloffDbPerIdle = 0.75f;  // 47 dB per second at the 16 ms idle pass
    static constexpr int kPeakHoldIdles = 60;          // about a second

    QX_GUI_dBMeter(const toolkit::Rect& rect, int tag, toolkit::ControlListener* listener);

    static float levelDb(float level);
    float shownDb() const { return shownDb_; }
    float peakDb() const { return peakDb_; }

    void draw(toolkit::DrawContext& context) override;
    void onIdle() override;

private:
    // Pixels from the meter's start for a level in dB.
    int extent(float db) const;

    float shownDb_ = kFloorDb;
    float peakDb_ = kFloorDb;
    int holdLeft_ = 0;
};
