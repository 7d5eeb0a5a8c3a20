#include "editor/QX_GUI_Image.h"

// Clicks fall through to whatever lies under the picture.
toolkit::View* QX_GUI_Image::viewAt(toolkit::Point) { return nullptr; }

void QX_GUI_Image::draw(toolkit::DrawContext& context) {
    if (bitmap()) context.drawBitmap(*bitmap(), bitmap()->bounds(), rect().topLeft());
}
