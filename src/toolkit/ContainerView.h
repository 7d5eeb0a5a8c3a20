// A view that owns child views, draws them over its own background (colour, bitmap or both)
// and gives them coordinates relative to its top-left corner. Also the editor's panels, which
// open (show) and close (hide) as a whole.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "toolkit/Bitmap.h"
#include "toolkit/View.h"

namespace toolkit {

class ContainerView : public View {
public:
    explicit ContainerView(const Rect& rect);
    ~ContainerView() override;

    // Children added later draw on top of earlier ones and are hit first.
    template <typename T>
    T* addView(std::unique_ptr<T> child) {
        T* raw = child.get();
        adopt(std::move(child));
        return raw;
    }
    // Returns the child (now detached), or null when it is not a child of this container.
    std::unique_ptr<View> removeView(View* child);
    const std::vector<std::unique_ptr<View>>& children() const { return children_; }

    // Frame coordinates of this container's (0, 0).
    Point contentOrigin() const;

    void setBackgroundColor(std::optional<Color> color);
    void setBackgroundBitmap(std::shared_ptr<const Bitmap> bitmap);

    // Panels: opening shows the container with its contents, closing hides it and releases
    // any focus or mouse capture inside it.
    void open() { setVisible(true); }
    void close() { setVisible(false); }
    bool isOpen() const { return isVisible(); }

    View* viewAt(Point p) override;
    void draw(DrawContext& context) override;

protected:
    void attach(Frame* frame) override;

private:
    void adopt(std::unique_ptr<View> child);

    std::vector<std::unique_ptr<View>> children_;
    std::optional<Color> backgroundColor_;
    std::shared_ptr<const Bitmap> backgroundBitmap_;
};

}  // namespace toolkit
