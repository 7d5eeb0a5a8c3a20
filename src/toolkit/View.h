// The base of everything the frame shows: a rectangle in its parent's coordinates, visibility,
// dirty marking, input handlers and a tooltip. Drawing and input positions use the parent's
// coordinates too, so a view draws at rect() and tests its own rect() against mouse positions.
#pragma once

#include <string>

#include "toolkit/DrawContext.h"
#include "toolkit/InputEvent.h"
#include "toolkit/Rect.h"

namespace toolkit {

class ContainerView;
class Frame;

class View {
public:
    explicit View(const Rect& rect);
    virtual ~View();
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    const Rect& rect() const { return rect_; }
    void setRect(const Rect& rect);
    // The rectangle in frame coordinates.
    Rect frameRect() const;
    // Frame coordinates of the parent's (0, 0).
    Point parentOrigin() const;

    bool isVisible() const { return visible_; }
    void setVisible(bool visible);
    // Visible with every ancestor visible and attached to a frame.
    bool isShown() const;

    ContainerView* parent() const { return parent_; }
    Frame* frame() const { return frame_; }
    bool isInside(const View& ancestor) const;  // true for the view itself

    // Marks the whole view, or part of it (parent coordinates), for redraw on the next pass.
    void invalidate();
    void invalidate(const Rect& part);

    const std::string& tooltip() const { return tooltip_; }
    void setTooltip(std::string text) { tooltip_ = std::move(text); }

    // Views that animate (meters, blinking carets) get onIdle() on every idle pass while shown;
    // the frame keeps a list of them, so a pass never walks the views without one.
    bool wantsIdle() const { return wantsIdle_; }
    void setWantsIdle(bool wants);

    // The deepest visible view at `p` (parent coordinates), or null.
    virtual View* viewAt(Point p);

    virtual void draw(DrawContext& context);
    // Returning true captures the mouse: moves and the release go to this view.
    virtual bool onMouseDown(const MouseEvent& event);
    virtual void onMouseMove(const MouseEvent& event);
    virtual void onMouseUp(const MouseEvent& event);
    virtual bool onWheel(const MouseEvent& event, float delta);
    virtual bool onKeyDown(const KeyEvent& event);
    virtual void onFocusChanged(bool focused);
    virtual void onIdle();

protected:
    friend class ContainerView;
    friend class Frame;
    virtual void attach(Frame* frame);

private:
    Rect rect_;
    bool visible_ = true;
    bool wantsIdle_ = false;
    ContainerView* parent_ = nullptr;
    Frame* frame_ = nullptr;
    std::string tooltip_;
};

}  // namespace toolkit
