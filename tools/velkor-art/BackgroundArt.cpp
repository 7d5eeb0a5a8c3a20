#include "BackgroundArt.h"

#include "PanelArt.h"
#include "editor/EditorLayout.h"

namespace art {
namespace {

// The mark: an amber badge carrying a dark V.
void drawMark(const Canvas& canvas, double x, double y, double side) {
    cairo_t* cr = canvas.cr();
    canvas.roundedRect(x, y, side, side, side * 0.22);
    canvas.setVerticalGradient(y, style::kAccentHot, y + side, style::kAccent);
    cairo_fill(cr);
    cairo_set_line_width(cr, side * 0.13);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    canvas.setColor(style::kTopBarBottom);
    cairo_move_to(cr, x + side * 0.24, y + side * 0.28);
    cairo_line_to(cr, x + side * 0.5, y + side * 0.74);
    cairo_line_to(cr, x + side * 0.76, y + side * 0.28);
    cairo_stroke(cr);
}

void drawTopBar(const Canvas& canvas) {
    cairo_t* cr = canvas.cr();
    const layout::Box bar = layout::kTopBar;
    canvas.setVerticalGradient(bar.y, style::kTopBarTop, bar.y + bar.height, style::kTopBarBottom);
    cairo_rectangle(cr, bar.x, bar.y, bar.width, bar.height);
    cairo_fill(cr);
    // Light along the top edge, amber fading out along the bottom, then a dark seam.
    canvas.setColor(style::kPanelHighlight);
    cairo_rectangle(cr, bar.x, bar.y, bar.width, 1);
    cairo_fill(cr);
    const double accentTop = bar.y + bar.height - style::kTopBarAccentLine;
    cairo_pattern_t* fade = cairo_pattern_create_linear(bar.x, 0, bar.x + bar.width, 0);
    cairo_pattern_add_color_stop_rgba(fade, 0, style::kAccent.r, style::kAccent.g, style::kAccent.b, 0.9);
    cairo_pattern_add_color_stop_rgba(fade, 0.6, style::kAccent.r, style::kAccent.g, style::kAccent.b, 0.12);
    cairo_pattern_add_color_stop_rgba(fade, 1, style::kAccent.r, style::kAccent.g, style::kAccent.b, 0.05);
    cairo_set_source(cr, fade);
    cairo_pattern_destroy(fade);
    cairo_rectangle(cr, bar.x, accentTop, bar.width, style::kTopBarAccentLine);
    cairo_fill(cr);
    canvas.setColor(style::kTopBarEdge);
    cairo_rectangle(cr, bar.x, bar.y + bar.height, bar.width, 1);
    cairo_fill(cr);

    const double middle = bar.y + (bar.height - style::kTopBarAccentLine) / 2;
    const double markSide = style::kLogoSize;
    drawMark(canvas, style::kLogoLeft - markSide - style::kLogoMarkGap, middle - markSide / 2, markSide);
    const double logoBaseline = middle + style::kLogoSize * style::kCapHeight / 2;
    canvas.setColor(style::kLogo);
    canvas.drawText("VELKOR", style::kLogoLeft, logoBaseline, style::kLogoSize, true, style::kLogoSpacing);

    const double divider = style::kLogoLeft +
                           canvas.textWidth("VELKOR", style::kLogoSize, true, style::kLogoSpacing) +
                           style::kLogoDividerGap;
    canvas.setColor(style::kProductLine, 0.6);
    cairo_rectangle(cr, divider, middle - style::kLogoSize * 0.36, 1, style::kLogoSize * 0.72);
    cairo_fill(cr);
    canvas.setColor(style::kProductLine);
    canvas.drawText(style::kProductLineText, divider + style::kLogoDividerGap,
                    middle + style::kProductLineSize * style::kCapHeight / 2, style::kProductLineSize, false,
                    style::kProductLineSpacing);
}

}  // namespace

Canvas paintBackground() {
    Canvas canvas(layout::kEditorWidth, layout::kEditorHeight);
    canvas.setVerticalGradient(0, style::kFaceTop, layout::kEditorHeight, style::kFaceBottom);
    cairo_paint(canvas.cr());
    drawTopBar(canvas);
    for (const layout::Section& section : layout::kSections) {
        const layout::Box& b = section.box;
        drawSection(canvas,
                    {static_cast<double>(b.x), static_cast<double>(b.y), static_cast<double>(b.width),
                     static_cast<double>(b.height)},
                    layout::kSectionTitleHeight, section.title);
    }
    return canvas;
}

}  // namespace art
