// A bitmap knob: the frame drawn follows the parameter's value curve, a vertical drag turns it
// (Shift for fine), the wheel steps it by 1/100 and a double click restores the default. An
// optional caption is drawn under the dial.
#pragma once

#include <string>

#include "editor/DragControl.h"
#include "editor/QX_DragValue.h"

class QX_Knob : public DragControl {
public:
    static constexpr int kCaptionHeight = 12;    // under the dial
    static constexpr int kCaptionOverhang = 8;   // each side: captions run wider than the dial

    // `dial` is the bitmap's area; `curve` a value curve code (128 added: inverted).
    QX_Knob(const toolkit::Rect& dial, int tag, toolkit::ControlListener* listener, int curve,
            std::string caption = {});

    int curve() const { return curve_; }
    const std::string& caption() const { return caption_; }
    const toolkit::Rect& dial() const { return dial_; }
    // The value after the curve: what the dial shows.
    float shownPosition() const;
    // The strip frame drawn for the current value (0 without a bitmap).
    int shownFrame() const;

    View* viewAt(toolkit::Point p) override;
    void draw(toolkit::DrawContext& context) override;

protected:
    void startDrag(const toolkit::MouseEvent& event) override;
    float dragValue(const toolkit::MouseEvent& event) override;

private:
    void drawDial(toolkit::DrawContext& context);
    void drawCaption(toolkit::DrawContext& context);

    toolkit::Rect dial_;
    int curve_;
    std::string caption_;
    QX_DragValue drag_;
};
