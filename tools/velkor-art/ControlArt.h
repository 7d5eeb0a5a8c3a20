// Two-state control bitmaps (off/on, up/pressed, unselected/selected as frames 0 and 1, stacked
// vertically) and the slider handle.
#pragma once

#include "Canvas.h"

namespace art {

// A button body with a lit bar: amber when on.
Canvas paintSwitch(int width, int frameHeight);
// A sliding toggle whose track lights cyan: tells the retrigger switches from the others.
Canvas paintRetrigSwitch(int width, int frameHeight);
// A raised key that sinks when pressed; the control prints its own label over it.
Canvas paintButton(int width, int frameHeight);
// A tab: a flat dark tab, or a lighter one with an amber bar under it when selected.
Canvas paintTabButton(int width, int frameHeight);
// The MIDI-learn key: a MIDI socket on a key, lit amber while it learns.
Canvas paintLearnButton(int width, int frameHeight);
Canvas paintLed(int side);
Canvas paintSliderHandle(int width, int height);

}  // namespace art
