#include "PanelArt.h"

namespace art {
namespace {

// The amber tick before a title, centred on the strip.
void drawTitle(const Canvas& canvas, double x, double stripTop, double stripHeight, const char* title,
               double size) {
    cairo_t* cr = canvas.cr();
    const double markTop = stripTop + (stripHeight - style::kTitleMarkHeight) / 2;
    canvas.setColor(style::kAccent);
    cairo_rectangle(cr, x + style::kTitleLeft - style::kTitleMarkGap, markTop, style::kTitleMarkWidth,
                    style::kTitleMarkHeight);
    cairo_fill(cr);
    const double baseline = stripTop + (stripHeight + size * style::kCapHeight) / 2;
    canvas.setColor(style::kTitleText);
    canvas.drawText(title, x + style::kTitleLeft, baseline, size, true, style::kTitleSpacing);
}

void horizontalLine(const Canvas& canvas, double x0, double x1, double y, Rgb color, double alpha) {
    cairo_t* cr = canvas.cr();
    cairo_set_line_width(cr, 1);
    canvas.setColor(color, alpha);
    cairo_move_to(cr, x0, y + 0.5);
    cairo_line_to(cr, x1, y + 0.5);
    cairo_stroke(cr);
}

}  // namespace

void drawSection(const Canvas& canvas, PanelBox box, double titleHeight, const char* title) {
    cairo_t* cr = canvas.cr();
    const double r = style::kPanelRadius;
    // A soft drop shadow, one px down.
    canvas.roundedRect(box.x - 1, box.y, box.width + 2, box.height + 2, r + 1);
    canvas.setColor({0, 0, 0}, 0.45);
    cairo_fill(cr);

    canvas.roundedRect(box.x, box.y, box.width, box.height, r);
    canvas.setColor(style::kPanelBorder);
    cairo_fill(cr);
    canvas.roundedRect(box.x + 1, box.y + 1, box.width - 2, box.height - 2, r - 1);
    canvas.setVerticalGradient(box.y, style::kPanelTop, box.y + box.height, style::kPanelBottom);
    cairo_fill_preserve(cr);

    cairo_save(cr);
    cairo_clip(cr);
    canvas.setVerticalGradient(box.y, style::kTitleStripTop, box.y + titleHeight, style::kTitleStripBottom);
    cairo_rectangle(cr, box.x, box.y, box.width, titleHeight);
    cairo_fill(cr);
    horizontalLine(canvas, box.x + 1, box.x + box.width - 1, box.y + 1, style::kPanelHighlight, 1);
    horizontalLine(canvas, box.x + 1, box.x + box.width - 1, box.y + titleHeight, style::kPanelBorder, 0.9);
    horizontalLine(canvas, box.x + 1, box.x + box.width - 1, box.y + titleHeight + 1, style::kPanelHighlight,
                   0.35);
    cairo_restore(cr);

    drawTitle(canvas, box.x, box.y, titleHeight, title, style::kTitleSize);
}

Canvas paintPopupPanel(int width, int height, const char* title) {
    Canvas canvas(width, height);
    cairo_t* cr = canvas.cr();
    canvas.setColor(style::kPanelBorder);
    cairo_paint(cr);
    // A light outer frame, a dark gap, then the body: the panel stands off the face below it.
    cairo_rectangle(cr, 1, 1, width - 2, height - 2);
    canvas.setColor(style::kPopupFrame);
    cairo_fill(cr);
    cairo_rectangle(cr, 2, 2, width - 4, height - 4);
    canvas.setColor(style::kPanelBorder);
    cairo_fill(cr);
    cairo_rectangle(cr, 3, 3, width - 6, height - 6);
    canvas.setVerticalGradient(3, style::kPanelTop, height - 3, style::kPopupBody);
    cairo_fill(cr);

    const double stripTop = 3;
    const double stripHeight = style::kPanelTitleHeight;
    cairo_rectangle(cr, 3, stripTop, width - 6, stripHeight);
    canvas.setVerticalGradient(stripTop, style::kTitleStripTop, stripTop + stripHeight,
                               style::kTitleStripBottom);
    cairo_fill(cr);
    horizontalLine(canvas, 3, width - 3, stripTop, style::kPanelHighlight, 1);
    canvas.setGradient(3, 0, style::kAccent, width - 3, 0, style::kPanelBorder);
    cairo_rectangle(cr, 3, stripTop + stripHeight, width - 6, 1);
    cairo_fill(cr);
    drawTitle(canvas, 3, stripTop, stripHeight, title, style::kPanelTitleSize);
    return canvas;
}

}  // namespace art
