// Framed panels with a title strip: the sections of the instrument face and the pop-up panels.
#pragma once

#include "Canvas.h"

namespace art {

struct PanelBox {
    double x;
    double y;
    double width;
    double height;
};

// A section on the face: a raised panel whose title sits in a strip `titleHeight` px tall.
void drawSection(const Canvas& canvas, PanelBox box, double titleHeight, const char* title);

// A whole opaque bitmap: the background of a panel that opens over the sections.
Canvas paintPopupPanel(int width, int height, const char* title);

}  // namespace art
