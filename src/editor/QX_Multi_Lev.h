// A row of level bars, one per step parameter (members 0..7). Dragging across the row sets each
// bar under the pointer to the pointer's height; the bar under the pointer is read out as the
// tooltip. The control's own value is the running step, which is highlighted.
#pragma once

#include <array>

#include "editor/ControlGroup.h"
#include "toolkit/Control.h"

class QX_Multi_Lev : public toolkit::Control, public ControlGroup {
public:
    static constexpr int kMaxSteps = 8;

    QX_Multi_Lev(const toolkit::Rect& rect, int tag, toolkit::ControlListener* listener);

    void addMember(int position, toolkit::Control& member) override;
    int stepCount() const { return steps_; }
    // The bar under x (parent coordinates), clamped to the row.
    int stepAt(int x) const;
    // The level for a pointer at y (parent coordinates), 0 at the bottom, 1 at the top.
    float levelAt(int y) const;
    int runningStep() const;

    void draw(toolkit::DrawContext& context) override;
    bool onMouseDown(const toolkit::MouseEvent& event) override;
    void onMouseMove(const toolkit::MouseEvent& event) override;
    void onMouseUp(const toolkit::MouseEvent& event) override;
    void onIdle() override;

private:
    // Sets the bars from the last drag point to `p`, levels interpolated, so a fast sweep
    // leaves no bar behind.
    void sweepTo(toolkit::Point p);
    void setStep(int step, float level);
    void readOut(int step);

    std::array<toolkit::Control*, kMaxSteps> members_{};
    std::array<float, kMaxSteps> drawn_{};  // the levels last drawn
    int steps_ = 0;
    bool dragging_ = false;
    toolkit::Point last_;  // the previous drag point
};
