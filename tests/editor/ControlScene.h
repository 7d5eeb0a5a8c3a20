// A frame holding editor controls, a listener that records what they report, and mouse gestures
// in frame coordinates.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Control.h"
#include "toolkit/ControlListener.h"
#include "toolkit/Frame.h"

namespace editor_test {

struct Report {
    enum Kind { Begin, Value, End } kind;
    int tag;
    float value;
};

class RecordingListener : public toolkit::ControlListener {
public:
    void valueChanged(toolkit::Control& c) override { reports.push_back({Report::Value, c.tag(), c.value()}); }
    void beginEdit(toolkit::Control& c) override { reports.push_back({Report::Begin, c.tag(), c.value()}); }
    void endEdit(toolkit::Control& c) override { reports.push_back({Report::End, c.tag(), c.value()}); }

    int count(Report::Kind kind) const {
        int n = 0;
        for (const Report& r : reports) n += r.kind == kind ? 1 : 0;
        return n;
    }
    std::vector<float> values() const {
        std::vector<float> out;
        for (const Report& r : reports) {
            if (r.kind == Report::Value) out.push_back(r.value);
        }
        return out;
    }
    // Per control, every begin is closed by an end before its next begin.
    bool paired() const {
        std::map<int, int> depth;
        for (const Report& r : reports) {
            int& d = depth[r.tag];
            d += r.kind == Report::Begin ? 1 : r.kind == Report::End ? -1 : 0;
            if (d < 0 || d > 1) return false;
        }
        for (const auto& [tag, d] : depth) {
            if (d != 0) return false;
        }
        return true;
    }

    std::vector<Report> reports;
};

struct ControlScene {
    toolkit::Frame frame{500, 400};
    RecordingListener listener;

    template <typename T>
    T* add(std::unique_ptr<T> control) {
        return frame.addView(std::move(control));
    }
    void press(toolkit::Point p, toolkit::Modifiers mods = {}, int clicks = 1,
               toolkit::MouseButton button = toolkit::MouseButton::Left) {
        frame.mouseDown(toolkit::MouseEvent{p, button, mods, clicks});
    }
    void moveTo(toolkit::Point p, toolkit::Modifiers mods = {}) {
        frame.mouseMove(toolkit::MouseEvent{p, toolkit::MouseButton::Left, mods});
    }
    void release(toolkit::Point p) { frame.mouseUp(toolkit::MouseEvent{p}); }
    void click(toolkit::Point p, toolkit::MouseButton button = toolkit::MouseButton::Left) {
        press(p, {}, 1, button);
        release(p);
    }
    void drag(toolkit::Point from, toolkit::Point to, toolkit::Modifiers mods = {}) {
        press(from, mods);
        moveTo(to, mods);
        release(to);
    }
};

}  // namespace editor_test
