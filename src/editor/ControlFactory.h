// Makes the editor control that a control-table row asks for.
#pragma once

#include <memory>

#include "editor/EditorLayout.h"
#include "params/ControlDescriptor.h"
#include "toolkit/Control.h"
#include "toolkit/ControlListener.h"

class BitmapCache;

// What the layout directives set for the rows that follow them.
struct ControlStyle {
    int textWidth = 0;   // size of text controls; 0 = the class's own
    int textHeight = 0;
    int frames = layout::kKnobFrames;  // frames in knob and slider strips
};

// Null for rows that make no control (stores, directives, kinds without a class). The control
// sits at the row's (x, y), carries the row's tag, bitmap, tooltip and default, and reports to
// `listener`.
std::unique_ptr<toolkit::Control> makeControl(const ControlDescriptor& row, const ControlStyle& style,
                                              BitmapCache& bitmaps, toolkit::ControlListener* listener);
