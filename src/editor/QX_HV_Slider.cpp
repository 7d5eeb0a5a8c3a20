#include "editor/QX_HV_Slider.h"

#include <algorithm>
#include <cmath>

#include "params/ParameterLookups.h"

namespace {

constexpr int kTrackWidth = 4;
constexpr toolkit::Color kTrack{30, 32, 36};
constexpr toolkit::Color kTrackEdge{90, 94, 102};
constexpr toolkit::Color kHandle{214, 214, 220};

}  // namespace

QX_HV_Slider::QX_HV_Slider(const toolkit::Rect& rect, int tag, toolkit::ControlListener* listener, int curve)
    : DragControl(rect, tag, listener), curve_(curve) {}

int QX_HV_Slider::handleLength() const {
    if (bitmap()) return isHorizontal() ? bitmap()->frameWidth() : bitmap()->frameHeight();
    return kDrawnHandlePx;
}

int QX_HV_Slider::travel() const {
    return std::max(1, (isHorizontal() ? rect().width() : rect().height()) - handleLength());
}

toolkit::Rect QX_HV_Slider::handleRect() const {
    const int offset = static_cast<int>(
        std::lround(ParameterLookups::applyCurve(curve_, value()) * static_cast<float>(travel())));
    if (isHorizontal()) return {rect().left + offset, rect().top, rect().left + offset + handleLength(), rect().bottom};
    // Vertical sliders rise: 0 at the bottom.
    const int top = rect().bottom - handleLength() - offset;
    return {rect().left, top, rect().right, top + handleLength()};
}

float QX_HV_Slider::valueAt(toolkit::Point p) const {
    const int half = handleLength() / 2;
    const int along = isHorizontal() ? p.x - rect().left - half : rect().bottom - half - p.y;
    const float position = std::clamp(static_cast<float>(along) / static_cast<float>(travel()), 0.0f, 1.0f);
    return ParameterLookups::inverseCurve(curve_, position);
}

void QX_HV_Slider::draw(toolkit::DrawContext& context) {
    const toolkit::Rect track =
        isHorizontal()
            ? toolkit::Rect{rect().left, (rect().top + rect().bottom - kTrackWidth) / 2, rect().right,
                            (rect().top + rect().bottom + kTrackWidth) / 2}
            : toolkit::Rect{(rect().left + rect().right - kTrackWidth) / 2, rect().top,
                            (rect().left + rect().right + kTrackWidth) / 2, rect().bottom};
    context.fillRect(track, kTrack);
    context.strokeRect(track, kTrackEdge);
    const toolkit::Rect handle = handleRect();
    if (bitmap()) {
        const int across = isHorizontal() ? (rect().height() - bitmap()->frameHeight()) / 2
                                          : (rect().width() - bitmap()->frameWidth()) / 2;
        const toolkit::Point at = isHorizontal() ? toolkit::Point{handle.left, handle.top + across}
                                                 : toolkit::Point{handle.left + across, handle.top};
        context.drawBitmapFrame(*bitmap(), 0, at);
    } else {
        context.fillRect(handle, kHandle);
    }
}

// The handle jumps to the pointer, then follows it.
void QX_HV_Slider::startDrag(const toolkit::MouseEvent& event) { changeValue(valueAt(event.position)); }

float QX_HV_Slider::dragValue(const toolkit::MouseEvent& event) { return valueAt(event.position); }
