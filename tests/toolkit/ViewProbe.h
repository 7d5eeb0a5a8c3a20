// A view for the toolkit tests that paints one colour and records the input it receives.
#pragma once

#include <string>
#include <vector>

#include "toolkit/View.h"

namespace toolkit::test {

class ViewProbe : public View {
public:
    ViewProbe(const Rect& rect, Color color, bool takesClicks = true)
        : View(rect), color(color), takesClicks(takesClicks) {}

    void draw(DrawContext& context) override { context.fillRect(rect(), color); }
    bool onMouseDown(const MouseEvent& event) override {
        log.push_back("down " + at(event.position));
        return takesClicks;
    }
    void onMouseMove(const MouseEvent& event) override { log.push_back("move " + at(event.position)); }
    void onMouseUp(const MouseEvent& event) override { log.push_back("up " + at(event.position)); }
    bool onWheel(const MouseEvent&, float delta) override {
        log.push_back("wheel " + std::to_string(static_cast<int>(delta)));
        return takesWheel;
    }
    bool onKeyDown(const KeyEvent& event) override {
        log.push_back("key " + std::to_string(static_cast<int>(event.character)));
        return true;
    }
    void onFocusChanged(bool focused) override { log.push_back(focused ? "focus" : "blur"); }
    void onIdle() override { ++idles; }

    static std::string at(Point p) { return std::to_string(p.x) + "," + std::to_string(p.y); }

    Color color;
    bool takesClicks;
    bool takesWheel = false;
    int idles = 0;
    std::vector<std::string> log;
};

}  // namespace toolkit::test
