// The root of the view tree and its framebuffer. It collects dirty regions and redraws only
// them, routes backend input (mouse capture while dragging, keyboard focus, one modal overlay
// such as an open pop-up menu), shows a view's tooltip after the pointer rests on it, and runs
// the idle pass that a backend drives with its 16 ms timer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/ContainerView.h"
#include "toolkit/Framebuffer.h"

namespace toolkit {

class Frame : public ContainerView {
public:
    using Clock = std::function<std::int64_t()>;  // monotonic milliseconds

    static constexpr std::int64_t kTooltipDelayMs = 3500;
    static constexpr int kIdleIntervalMs = 16;  // the backend's timer period
    // More dirty regions than this are merged into one.
    static constexpr std::size_t kMaxDirtyRegions = 16;

    // Without a clock the steady clock is used.
    Frame(int width, int height, Clock clock = {});
    ~Frame() override;

    Framebuffer& framebuffer() { return framebuffer_; }
    const Framebuffer& framebuffer() const { return framebuffer_; }

    // Input from the backend, positions in frame coordinates.
    void mouseDown(const MouseEvent& event);
    void mouseMove(const MouseEvent& event);
    void mouseUp(const MouseEvent& event);
    void mouseLeft();
    bool wheel(const MouseEvent& event, float delta);
    bool keyDown(const KeyEvent& event);

    View* focus() const { return focus_; }
    void setFocus(View* view);
    View* capture() const { return capture_; }

    // A view drawn above everything that takes all input until endModal (frame coordinates;
    // the view is not owned). Opening one ends any drag.
    void beginModal(View& view);
    void endModal(View& view);
    View* modal() const { return modal_; }

    void setTooltipDelay(std::int64_t ms) { tooltipDelayMs_ = ms; }
    // The tooltip on screen, empty when none.
    const std::string& shownTooltip() const { return shownTooltip_; }
    Rect tooltipRect() const { return tooltipRect_; }

    // Frame coordinates; clipped to the frame.
    void invalidateRegion(const Rect& region);
    const std::vector<Rect>& dirtyRegions() const { return dirty_; }

    // Draws the dirty regions and returns them, for the backend to copy to the screen; valid
    // until the next redraw. Empty, and nothing drawn, when nothing changed.
    const std::vector<Rect>& redraw();
    // One timer tick: the idle hooks of shown views, tooltip timing, then redraw.
    const std::vector<Rect>& idle();

    // Drops focus, capture, hover and a modal that lie inside `view` (hidden or removed).
    void forget(const View& view);

    void draw(DrawContext& context) override;

private:
    friend class View;

    // Kept by View as it attaches, detaches or changes its wish.
    void wantIdle(View& view);
    void forgetIdle(View& view);

    MouseEvent inParentOf(const View& view, const MouseEvent& event) const;
    void hover(View* under);
    void hideTooltip();
    void showTooltip();

    Framebuffer framebuffer_;
    Clock clock_;
    // Both hold kMaxDirtyRegions + 1 from the start, so a tick never allocates for them.
    std::vector<Rect> dirty_;
    std::vector<Rect> drawn_;
    // In the order they attached; a slot of one that left during a pass is null until its end.
    std::vector<View*> idleViews_;
    bool inIdlePass_ = false;
    View* focus_ = nullptr;
    View* capture_ = nullptr;
    View* modal_ = nullptr;
    View* hovered_ = nullptr;
    Point pointer_;
    std::int64_t hoverSince_ = 0;
    bool tooltipSuppressed_ = false;
    std::int64_t tooltipDelayMs_ = kTooltipDelayMs;
    std::string shownTooltip_;
    Rect tooltipRect_;
};

}  // namespace toolkit
