// A numeric field: prints min + (max - min) * value with a fixed number of decimals. A click
// opens a field to type a shown value; a vertical drag changes it like a knob.
#pragma once

#include <string>

#include "editor/QX_DragValue.h"
#include "editor/QX_InPlaceEdit.h"
#include "toolkit/Control.h"

class QX_CNumberEntry : public toolkit::Control {
public:
    // Pointer travel that turns a press into a drag rather than a click.
    static constexpr int kDragThresholdPx = 3;

    QX_CNumberEntry(const toolkit::Rect& rect, int tag, toolkit::ControlListener* listener, float min, float max,
                    int decimals);

    int decimals() const { return decimals_; }
    std::string text() const;
    // The value for a typed shown value; the current value when the text is no number.
    float valueForText(const std::string& typed) const;
    const QX_InPlaceEdit& field() const { return field_; }

    void draw(toolkit::DrawContext& context) override;
    bool onMouseDown(const toolkit::MouseEvent& event) override;
    void onMouseMove(const toolkit::MouseEvent& event) override;
    void onMouseUp(const toolkit::MouseEvent& event) override;

private:
    void openField();

    float min_;
    float max_;
    int decimals_;
    QX_DragValue drag_;
    QX_InPlaceEdit field_;
    int pressY_ = 0;
    bool pressed_ = false;
    bool dragging_ = false;
};
