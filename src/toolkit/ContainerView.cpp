#include "toolkit/ContainerView.h"

#include <algorithm>

#include "toolkit/Frame.h"

namespace toolkit {

ContainerView::ContainerView(const Rect& rect) : View(rect) {}

ContainerView::~ContainerView() = default;

void ContainerView::adopt(std::unique_ptr<View> child) {
    if (child == nullptr) {
        return;
    }
    child->parent_ = this;
    child->attach(frame());
    children_.push_back(std::move(child));
    children_.back()->invalidate();
}

std::unique_ptr<View> ContainerView::removeView(View* child) {
    const auto it = std::find_if(children_.begin(), children_.end(),
                                 [child](const auto& c) { return c.get() == child; });
    if (it == children_.end()) {
        return nullptr;
    }
    child->invalidate();
    if (frame() != nullptr) {
        frame()->forget(*child);
    }
    std::unique_ptr<View> removed = std::move(*it);
    children_.erase(it);
    removed->parent_ = nullptr;
    removed->attach(nullptr);
    return removed;
}

Point ContainerView::contentOrigin() const { return parentOrigin() + rect().topLeft(); }

void ContainerView::setBackgroundColor(std::optional<Color> color) {
    backgroundColor_ = color;
    invalidate();
}

void ContainerView::setBackgroundBitmap(std::shared_ptr<const Bitmap> bitmap) {
    backgroundBitmap_ = std::move(bitmap);
    invalidate();
}

void ContainerView::attach(Frame* frame) {
    View::attach(frame);
    for (const auto& child : children_) {
        child->attach(frame);
    }
}

View* ContainerView::viewAt(Point p) {
    if (!isVisible() || !rect().contains(p)) {
        return nullptr;
    }
    const Point local = p - rect().topLeft();
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        if (View* hit = (*it)->viewAt(local)) {
            return hit;
        }
    }
    return this;
}

void ContainerView::draw(DrawContext& context) {
    if (backgroundColor_) {
        context.fillRect(rect(), *backgroundColor_);
    }
    if (backgroundBitmap_) {
        context.drawBitmap(*backgroundBitmap_, backgroundBitmap_->bounds(), rect().topLeft());
    }
    context.save();
    context.clipTo(rect());
    context.translate(rect().left, rect().top);
    for (const auto& child : children_) {
        if (child->isVisible() && context.isVisible(child->rect())) {
            child->draw(context);
        }
    }
    context.restore();
}

}  // namespace toolkit
