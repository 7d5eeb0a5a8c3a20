#include "KnobArt.h"

#include <cmath>
#include <numbers>

namespace art {
namespace {

constexpr double kPi = std::numbers::pi;

// Knob angles run clockwise from the top; cairo's run clockwise from the right.
double cairoAngle(double knobDegrees) { return (knobDegrees - 90) * kPi / 180; }

void paintKnob(const Canvas& canvas, int side, double knobDegrees) {
    cairo_t* cr = canvas.cr();
    const double c = side / 2.0;
    const double start = -style::kKnobSweepDegrees / 2;

    const double arcRadius = style::kArcRadius * side;
    const double arcWidth = style::kArcWidth * side;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_width(cr, arcWidth);
    canvas.setColor(style::kArcTrack);
    cairo_arc(cr, c, c, arcRadius, cairoAngle(start), cairoAngle(-start));
    cairo_stroke(cr);
    if (knobDegrees > start) {
        canvas.setColor(style::kAccent, 0.25);
        cairo_set_line_width(cr, arcWidth * 2);
        cairo_arc(cr, c, c, arcRadius, cairoAngle(start), cairoAngle(knobDegrees));
        cairo_stroke(cr);
        canvas.setColor(style::kAccent);
        cairo_set_line_width(cr, arcWidth);
        cairo_arc(cr, c, c, arcRadius, cairoAngle(start), cairoAngle(knobDegrees));
        cairo_stroke(cr);
    }

    // Body: a soft shadow below, light from the top left, a dark rim.
    const double body = style::kBodyRadius * side;
    canvas.setColor({0, 0, 0}, 0.55);
    cairo_arc(cr, c, c + side * 0.03, body + side * 0.02, 0, 2 * kPi);
    cairo_fill(cr);
    canvas.setGradient(c - body, c - body, style::kKnobBodyLight, c + body, c + body, style::kKnobBodyDark);
    cairo_arc(cr, c, c, body, 0, 2 * kPi);
    cairo_fill_preserve(cr);
    canvas.setColor(style::kKnobRim);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);

    // A slightly dished cap: the gradient runs the other way.
    const double cap = style::kCapRadius * side;
    canvas.setGradient(c - cap, c - cap, style::kKnobBodyDark, c + cap, c + cap, style::kKnobCap);
    cairo_arc(cr, c, c, cap, 0, 2 * kPi);
    cairo_fill(cr);

    const double radians = knobDegrees * kPi / 180;
    const double dx = std::sin(radians);
    const double dy = -std::cos(radians);
    const double inner = style::kPointerInner * side;
    const double outer = style::kPointerOuter * side;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, style::kPointerWidth * side);
    canvas.setColor(style::kPointer);
    cairo_move_to(cr, c + dx * inner, c + dy * inner);
    cairo_line_to(cr, c + dx * outer, c + dy * outer);
    cairo_stroke(cr);
}

}  // namespace

Canvas paintKnobStrip(int side, int frames) {
    Canvas canvas(side, side * frames);
    canvas.paintVerticalFrames(frames, [&](int index) {
        const double position = frames > 1 ? static_cast<double>(index) / (frames - 1) : 0;
        paintKnob(canvas, side, (position - 0.5) * style::kKnobSweepDegrees);
    });
    return canvas;
}

}  // namespace art
