// Shows the selected frame of a bitmap strip; a click opens the strip as a grid of cells to
// choose from. Cell k of n is the value k / (n - 1).
#pragma once

#include "editor/QX_ImageGrid.h"
#include "toolkit/Control.h"

class QX_ImagePopUp : public toolkit::Control {
public:
    QX_ImagePopUp(const toolkit::Rect& rect, int tag, toolkit::ControlListener* listener, int cells);

    int cells() const { return cells_; }
    int selectedCell() const;
    const QX_ImageGrid& grid() const { return grid_; }

    void draw(toolkit::DrawContext& context) override;
    bool onMouseDown(const toolkit::MouseEvent& event) override;

private:
    int cells_;
    QX_ImageGrid grid_;
};
