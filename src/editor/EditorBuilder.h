// Builds the editor's views by walking the control table in order: controls into the current
// container, panels opened and closed by their directives, and the layout and linking
// directives read into the building state and the editor's links.
#pragma once

#include <array>
#include <span>
#include <vector>

#include "editor/ControlFactory.h"
#include "editor/EditorViews.h"
#include "params/ControlDescriptor.h"

namespace toolkit {
class ContainerView;
class ControlListener;
class Frame;
}  // namespace toolkit

class BitmapCache;

class EditorBuilder {
public:
    EditorBuilder(BitmapCache& bitmaps, toolkit::ControlListener& listener, EditorViews& views);

    // Walks from row 1 up to the end row, building into `frame`.
    void build(std::span<const ControlDescriptor> table, toolkit::Frame& frame);

private:
    void addControl(const ControlDescriptor& row);
    void addRow(const ControlDescriptor& row);
    void directive(const ControlDescriptor& row);
    void openPanel(const ControlDescriptor& row);
    void addMember(int group, int position, int member);
    void joinExclusive(int first, std::array<int, 3> others);
    toolkit::Rect panelRect(const ControlDescriptor& row) const;

    BitmapCache& bitmaps_;
    toolkit::ControlListener& listener_;
    EditorViews& views_;
    ControlStyle style_;
    std::vector<toolkit::ContainerView*> containers_;  // the frame first, then open panels
};
