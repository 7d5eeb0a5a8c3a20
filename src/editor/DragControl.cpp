#include "editor/DragControl.h"

#include "editor/MidiLearnRequests.h"

bool DragControl::onMouseDown(const toolkit::MouseEvent& event) {
    if (event.button == toolkit::MouseButton::Right) return requestMidiLearn(*this, event);
    if (event.button != toolkit::MouseButton::Left) return false;
    beginEdit();
    if (event.clickCount == 2) {
        changeValue(defaultValue());
        endEdit();
        return true;
    }
    startDrag(event);
    dragging_ = true;
    return true;
}

void DragControl::onMouseMove(const toolkit::MouseEvent& event) {
    if (dragging_) changeValue(dragValue(event));
}

void DragControl::onMouseUp(const toolkit::MouseEvent&) {
    if (!dragging_) return;
    dragging_ = false;
    endEdit();
}

bool DragControl::onWheel(const toolkit::MouseEvent&, float delta) {
    beginEdit();
    changeValue(value() + delta * kWheelStep);
    endEdit();
    return true;
}
