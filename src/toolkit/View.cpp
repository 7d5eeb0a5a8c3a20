#include "toolkit/View.h"

#include "toolkit/ContainerView.h"
#include "toolkit/Frame.h"

namespace toolkit {

View::View(const Rect& rect) : rect_(rect) {}

View::~View() {
    if (frame_ != nullptr && wantsIdle_) {
        frame_->forgetIdle(*this);
    }
}

void View::attach(Frame* frame) {
    if (frame == frame_) {
        return;
    }
    if (frame_ != nullptr && wantsIdle_) {
        frame_->forgetIdle(*this);
    }
    frame_ = frame;
    if (frame_ != nullptr && wantsIdle_) {
        frame_->wantIdle(*this);
    }
}

void View::setWantsIdle(bool wants) {
    if (wants == wantsIdle_) {
        return;
    }
    wantsIdle_ = wants;
    if (frame_ != nullptr) {
        if (wants) {
            frame_->wantIdle(*this);
        } else {
            frame_->forgetIdle(*this);
        }
    }
}

void View::setRect(const Rect& rect) {
    if (rect == rect_) {
        return;
    }
    invalidate();
    rect_ = rect;
    invalidate();
}

Point View::parentOrigin() const { return parent_ != nullptr ? parent_->contentOrigin() : Point{}; }

Rect View::frameRect() const { return rect_.offset(parentOrigin()); }

void View::setVisible(bool visible) {
    if (visible == visible_) {
        return;
    }
    if (!visible) {
        invalidate();
        if (frame_ != nullptr) {
            frame_->forget(*this);
        }
    }
    visible_ = visible;
    if (visible) {
        invalidate();
    }
}

bool View::isShown() const {
    if (frame_ == nullptr) {
        return false;
    }
    for (const View* v = this; v != nullptr; v = v->parent_) {
        if (!v->visible_) {
            return false;
        }
    }
    return true;
}

bool View::isInside(const View& ancestor) const {
    for (const View* v = this; v != nullptr; v = v->parent_) {
        if (v == &ancestor) {
            return true;
        }
    }
    return false;
}

void View::invalidate() { invalidate(rect_); }

void View::invalidate(const Rect& part) {
    if (isShown()) {
        frame_->invalidateRegion(part.intersection(rect_).offset(parentOrigin()));
    }
}

View* View::viewAt(Point p) { return visible_ && rect_.contains(p) ? this : nullptr; }

void View::draw(DrawContext&) {}

bool View::onMouseDown(const MouseEvent&) { return false; }

void View::onMouseMove(const MouseEvent&) {}

void View::onMouseUp(const MouseEvent&) {}

bool View::onWheel(const MouseEvent&, float) { return false; }

bool View::onKeyDown(const KeyEvent&) { return false; }

void View::onFocusChanged(bool) {}

void View::onIdle() {}

}  // namespace toolkit
