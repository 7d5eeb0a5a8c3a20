// The chooser an image pop-up opens: the frames of a bitmap strip laid out as a grid of cells
// over the editor, the selected cell outlined. A click on a cell chooses it; a click outside
// or Escape dismisses the grid.
#pragma once

#include <functional>
#include <memory>

#include "toolkit/Bitmap.h"
#include "toolkit/View.h"

class QX_ImageGrid : public toolkit::View {
public:
    using Chosen = std::function<void(int cell)>;  // -1 when dismissed
    static constexpr int kDismissed = -1;
    static constexpr int kCellGap = 2;

    QX_ImageGrid();
    ~QX_ImageGrid() override;

    // `cells` frames of `strip` (null: drawn as numbered boxes of `cellSize`) in rows of
    // `columns`, top-left at `at` (frame coordinates) and moved into the frame.
    void open(toolkit::Frame& frame, toolkit::Point at, std::shared_ptr<const toolkit::Bitmap> strip, int cells,
              int columns, int selected, Chosen chosen);
    bool isOpen() const;
    // Frame coordinates of a cell while open.
    toolkit::Rect cellRect(int cell) const;

    void draw(toolkit::DrawContext& context) override;
    bool onMouseDown(const toolkit::MouseEvent& event) override;
    bool onKeyDown(const toolkit::KeyEvent& event) override;

private:
    void finish(int cell);
    int cellWidth() const;
    int cellHeight() const;

    std::shared_ptr<const toolkit::Bitmap> strip_;
    int cells_ = 0;
    int columns_ = 1;
    int selected_ = 0;
    Chosen chosen_;
};
