#include "toolkit/Frame.h"

#include <algorithm>
#include <chrono>

#include "toolkit/Font.h"

namespace toolkit {

namespace {

constexpr int kTooltipFontPx = 11;
constexpr int kTooltipPadding = 4;
constexpr int kTooltipBelowPointer = 20;  // clears a typical arrow cursor
constexpr Color kTooltipFill{255, 255, 225};
constexpr Color kTooltipBorder{90, 90, 90};
constexpr Color kTooltipText{0, 0, 0};

std::int64_t steadyMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

template <typename Fn>
void forEachLine(std::string_view text, Fn&& fn) {
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find('\n', start);
        fn(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) {
            return;
        }
        start = end + 1;
    }
}

}  // namespace

Frame::Frame(int width, int height, Clock clock)
    : ContainerView(Rect::fromSize(0, 0, width, height)),
      framebuffer_(width, height),
      clock_(clock ? std::move(clock) : Clock(steadyMilliseconds)) {
    dirty_.reserve(kMaxDirtyRegions + 1);
    drawn_.reserve(kMaxDirtyRegions + 1);
    attach(this);
    invalidateRegion(framebuffer_.bounds());
}

Frame::~Frame() {
    // Children are destroyed after this body; none of them may reach back into the frame.
    if (modal_ != nullptr) {
        modal_->attach(nullptr);
    }
    focus_ = capture_ = modal_ = hovered_ = nullptr;
    attach(nullptr);
}

MouseEvent Frame::inParentOf(const View& view, const MouseEvent& event) const {
    MouseEvent local = event;
    local.position = event.position - view.parentOrigin();
    return local;
}

void Frame::mouseDown(const MouseEvent& event) {
    hideTooltip();
    tooltipSuppressed_ = true;
    if (modal_ != nullptr) {
        modal_->onMouseDown(event);
        return;
    }
    View* target = viewAt(event.position);
    if (focus_ != nullptr && (target == nullptr || !target->isInside(*focus_))) {
        setFocus(nullptr);
    }
    // The deepest view first, then its containers, until one takes the click.
    for (View* v = target; v != nullptr; v = v->parent()) {
        if (v->onMouseDown(inParentOf(*v, event))) {
            // The handler may have opened a modal view, which takes over the gesture.
            if (modal_ == nullptr && v->isShown()) {
                capture_ = v;
            }
            return;
        }
    }
}

void Frame::mouseMove(const MouseEvent& event) {
    pointer_ = event.position;
    if (modal_ != nullptr) {
        modal_->onMouseMove(event);
        return;
    }
    if (capture_ != nullptr) {
        capture_->onMouseMove(inParentOf(*capture_, event));
        return;
    }
    View* under = viewAt(event.position);
    hover(under);
    if (under != nullptr) {
        under->onMouseMove(inParentOf(*under, event));
    }
}

void Frame::mouseUp(const MouseEvent& event) {
    if (modal_ != nullptr) {
        modal_->onMouseUp(event);
        return;
    }
    if (View* captured = capture_) {
        capture_ = nullptr;
        captured->onMouseUp(inParentOf(*captured, event));
    }
}

void Frame::mouseLeft() {
    hideTooltip();
    hovered_ = nullptr;
    tooltipSuppressed_ = false;
}

bool Frame::wheel(const MouseEvent& event, float delta) {
    if (modal_ != nullptr) {
        return modal_->onWheel(event, delta);
    }
    for (View* v = viewAt(event.position); v != nullptr; v = v->parent()) {
        if (v->onWheel(inParentOf(*v, event), delta)) {
            return true;
        }
    }
    return false;
}

bool Frame::keyDown(const KeyEvent& event) {
    if (modal_ != nullptr) {
        return modal_->onKeyDown(event);
    }
    return focus_ != nullptr && focus_->onKeyDown(event);
}

void Frame::setFocus(View* view) {
    if (view == focus_) {
        return;
    }
    View* previous = focus_;
    focus_ = view;
    if (previous != nullptr) {
        previous->onFocusChanged(false);
    }
    if (focus_ != nullptr && focus_ == view) {
        focus_->onFocusChanged(true);
    }
}

void Frame::beginModal(View& view) {
    if (modal_ != nullptr && modal_ != &view) {
        modal_->invalidate();
    }
    capture_ = nullptr;
    hideTooltip();
    view.attach(this);
    modal_ = &view;
    view.invalidate();
}

void Frame::endModal(View& view) {
    if (modal_ != &view) {
        return;
    }
    view.invalidate();
    modal_ = nullptr;
    view.attach(nullptr);
}

void Frame::forget(const View& view) {
    if (focus_ != nullptr && focus_->isInside(view)) {
        setFocus(nullptr);
    }
    if (capture_ != nullptr && capture_->isInside(view)) {
        capture_ = nullptr;
    }
    if (hovered_ != nullptr && hovered_->isInside(view)) {
        hideTooltip();
        hovered_ = nullptr;
    }
    if (modal_ != nullptr && modal_->isInside(view)) {
        endModal(*modal_);
    }
}

void Frame::hover(View* under) {
    // The tooltip belongs to the nearest view up the tree that has one.
    View* target = under;
    while (target != nullptr && target->tooltip().empty() && target->parent() != nullptr) {
        target = target->parent();
    }
    if (target != hovered_) {
        hideTooltip();
        hovered_ = target;
        hoverSince_ = clock_();
        tooltipSuppressed_ = false;
    }
}

void Frame::hideTooltip() {
    if (!shownTooltip_.empty()) {
        invalidateRegion(tooltipRect_);
        shownTooltip_.clear();
        tooltipRect_ = {};
    }
}

void Frame::showTooltip() {
    const Font font = Font::nearest(kTooltipFontPx);
    int width = 0;
    int lines = 0;
    forEachLine(hovered_->tooltip(), [&](std::string_view line) {
        width = std::max(width, font.textWidth(line));
        ++lines;
    });
    Rect box = Rect::fromSize(pointer_.x, pointer_.y + kTooltipBelowPointer,
                              width + 2 * kTooltipPadding,
                              lines * font.lineHeight() + 2 * kTooltipPadding);
    // Kept inside the frame: shifted left of the right edge, above the pointer near the bottom.
    if (box.right > rect().right) {
        box = box.offset(rect().right - box.right, 0);
    }
    if (box.bottom > rect().bottom) {
        box = box.offset(0, pointer_.y - box.height() - box.top);
    }
    box = box.offset(std::max(0, -box.left), std::max(0, -box.top));
    shownTooltip_ = hovered_->tooltip();
    tooltipRect_ = box;
    invalidateRegion(box);
}

void Frame::invalidateRegion(const Rect& region) {
    Rect merged = region.intersection(framebuffer_.bounds());
    if (merged.empty()) {
        return;
    }
    // Overlapping regions are merged until none overlaps the new one.
    for (bool grew = true; grew;) {
        grew = false;
        for (auto it = dirty_.begin(); it != dirty_.end(); ++it) {
            if (it->intersects(merged)) {
                merged = merged.united(*it);
                dirty_.erase(it);
                grew = true;
                break;
            }
        }
    }
    dirty_.push_back(merged);
    if (dirty_.size() > kMaxDirtyRegions) {
        Rect all;
        for (const Rect& r : dirty_) {
            all = all.united(r);
        }
        dirty_.assign(1, all);
    }
}

void Frame::draw(DrawContext& context) {
    ContainerView::draw(context);
    if (modal_ != nullptr && context.isVisible(modal_->rect())) {
        modal_->draw(context);
    }
    if (!shownTooltip_.empty() && context.isVisible(tooltipRect_)) {
        const Font font = Font::nearest(kTooltipFontPx);
        context.fillRect(tooltipRect_, kTooltipFill);
        context.strokeRect(tooltipRect_, kTooltipBorder);
        int top = tooltipRect_.top + kTooltipPadding;
        forEachLine(shownTooltip_, [&](std::string_view line) {
            context.drawText(line, Point{tooltipRect_.left + kTooltipPadding, top + font.ascent()},
                             font, kTooltipText);
            top += font.lineHeight();
        });
    }
}

const std::vector<Rect>& Frame::redraw() {
    drawn_.swap(dirty_);
    dirty_.clear();
    if (drawn_.empty()) {
        return drawn_;
    }
    DrawContext context(framebuffer_);
    for (const Rect& region : drawn_) {
        context.save();
        context.clipTo(region);
        // Opaque start, so a region never blends over what it showed before.
        context.fillRect(region, Color{0, 0, 0, 255});
        draw(context);
        context.restore();
    }
    return drawn_;
}

void Frame::wantIdle(View& view) { idleViews_.push_back(&view); }

void Frame::forgetIdle(View& view) {
    const auto it = std::find(idleViews_.begin(), idleViews_.end(), &view);
    if (it == idleViews_.end()) {
        return;
    }
    if (inIdlePass_) {
        *it = nullptr;  // the pass's index stays right
    } else {
        idleViews_.erase(it);
    }
}

const std::vector<Rect>& Frame::idle() {
    inIdlePass_ = true;
    // Index loop: a hook may attach views that want idle too; they get theirs in this pass.
    for (std::size_t i = 0; i < idleViews_.size(); ++i) {
        View* view = idleViews_[i];
        if (view != nullptr && view->isShown()) {
            view->onIdle();
        }
    }
    inIdlePass_ = false;
    std::erase(idleViews_, nullptr);
    if (hovered_ != nullptr && shownTooltip_.empty() && !tooltipSuppressed_ && modal_ == nullptr &&
        capture_ == nullptr && !hovered_->tooltip().empty() &&
        clock_() - hoverSince_ >= tooltipDelayMs_) {
        showTooltip();
    }
    return redraw();
}

}  // namespace toolkit
