#include "editor/QX_COptionsImage.h"

void QX_COptionsImage::draw(toolkit::DrawContext& context) {
    // Without its art the control still says what is selected.
    if (!bitmap()) {
        QX_COptionsText::draw(context);
        return;
    }
    context.drawBitmapFrame(*bitmap(), selectedIndex(), rect().topLeft());
}
