#include "editor/QX_GUI_dBMeter.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kHotDb = -6.0f;  // the bar turns red above this
constexpr toolkit::Color kBackground{16, 18, 20};
constexpr toolkit::Color kBar{90, 200, 110};
constexpr toolkit::Color kHot{230, 70, 60};
constexpr toolkit::Color kPeak{240, 240, 240};

}  // namespace

QX_GUI_dBMeter::QX_GUI_dBMeter(const toolkit::Rect& rect, int tag, toolkit::ControlListener* listener)
    : Control(rect, tag, listener) {
    setWantsIdle(true);
}

float QX_GUI_dBMeter::levelDb(float level) {
    if (!(level > 0.0f)) return kFloorDb;
    return std::clamp(20.0f * std::log10(level), kFloorDb, 0.0f);
}

void QX_GUI_dBMeter::onIdle() {
    const float before = shownDb_;
    const float peakBefore = peakDb_;
    shownDb_ = std::max(levelDb(value()), shownDb_ - kFalloffDbPerIdle);
    if (shownDb_ >= peakDb_) {
        peakDb_ = shownDb_;
        holdLeft_ = kPeakHoldIdles;
    } else if (holdLeft_ > 0) {
        --holdLeft_;
    } else {
        peakDb_ = std::max(shownDb_, peakDb_ - kFalloffDbPerIdle);
    }
    if (shownDb_ != before || peakDb_ != peakBefore) invalidate();
}

int QX_GUI_dBMeter::extent(float db) const {
    const bool vertical = rect().height() > rect().width();
    const int length = vertical ? rect().height() : rect().width();
    return static_cast<int>(std::lround((db - kFloorDb) / -kFloorDb * static_cast<float>(length)));
}

void QX_GUI_dBMeter::draw(toolkit::DrawContext& context) {
    context.fillRect(rect(), kBackground);
    const toolkit::Color bar = shownDb_ > kHotDb ? kHot : kBar;
    const int level = extent(shownDb_);
    const int peak = std::max(extent(peakDb_) - 1, 0);
    if (rect().height() > rect().width()) {
        context.fillRect({rect().left, rect().bottom - level, rect().right, rect().bottom}, bar);
        context.fillRect({rect().left, rect().bottom - peak - 1, rect().right, rect().bottom - peak}, kPeak);
    } else {
        context.fillRect({rect().left, rect().top, rect().left + level, rect().bottom}, bar);
        context.fillRect({rect().left + peak, rect().top, rect().left + peak + 1, rect().bottom}, kPeak);
    }
}
