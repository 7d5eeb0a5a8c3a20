// Knob strips: a value arc and a pointer that sweep 270 degrees, from -135 (first frame) to
// +135 (last frame) around the top.
#pragma once

#include "Canvas.h"

namespace art {

Canvas paintKnobStrip(int side, int frames);

}  // namespace art
