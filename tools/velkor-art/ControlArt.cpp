#include "ControlArt.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace art {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kTwoStates = 2;

// A key in a 1 px dark edge: raised with a shine line, or sunken with the gradient reversed.
void paintKey(const Canvas& canvas, double width, double height, bool pressed) {
    cairo_t* cr = canvas.cr();
    canvas.roundedRect(0, 0, width, height, style::kButtonRadius);
    canvas.setColor(style::kButtonEdge);
    cairo_fill(cr);
    canvas.roundedRect(1, 1, width - 2, height - 2, style::kButtonRadius - 1);
    if (pressed) {
        canvas.setVerticalGradient(1, style::kButtonPressedTop, height - 1, style::kButtonPressedBottom);
    } else {
        canvas.setVerticalGradient(1, style::kButtonTop, height - 1, style::kButtonBottom);
    }
    cairo_fill(cr);
    cairo_set_line_width(cr, 1);
    canvas.setColor(pressed ? style::kButtonEdge : style::kButtonShine, pressed ? 0.8 : 1);
    cairo_move_to(cr, 1 + style::kButtonRadius, 1.5);
    cairo_line_to(cr, width - 1 - style::kButtonRadius, 1.5);
    cairo_stroke(cr);
}

// A lit shape glows: a wide soft halo, the colour, and a hot core.
void glowCircle(const Canvas& canvas, double cx, double cy, double radius, Rgb color, Rgb hot) {
    cairo_t* cr = canvas.cr();
    cairo_pattern_t* halo = cairo_pattern_create_radial(cx, cy, radius * 0.5, cx, cy, radius * 2);
    cairo_pattern_add_color_stop_rgba(halo, 0, color.r, color.g, color.b, 0.55);
    cairo_pattern_add_color_stop_rgba(halo, 1, color.r, color.g, color.b, 0);
    cairo_set_source(cr, halo);
    cairo_pattern_destroy(halo);
    cairo_arc(cr, cx, cy, radius * 2, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_t* body =
        cairo_pattern_create_radial(cx - radius * 0.3, cy - radius * 0.3, 0, cx, cy, radius);
    cairo_pattern_add_color_stop_rgb(body, 0, hot.r, hot.g, hot.b);
    cairo_pattern_add_color_stop_rgb(body, 1, color.r, color.g, color.b);
    cairo_set_source(cr, body);
    cairo_pattern_destroy(body);
    cairo_arc(cr, cx, cy, radius, 0, 2 * kPi);
    cairo_fill(cr);
}

void darkCircle(const Canvas& canvas, double cx, double cy, double radius, Rgb color) {
    cairo_t* cr = canvas.cr();
    cairo_arc(cr, cx, cy, radius, 0, 2 * kPi);
    canvas.setGradient(cx, cy - radius, style::kButtonEdge, cx, cy + radius, color);
    cairo_fill_preserve(cr);
    canvas.setColor(style::kButtonEdge);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

}  // namespace

Canvas paintSwitch(int width, int frameHeight) {
    Canvas canvas(width, frameHeight * kTwoStates);
    cairo_t* cr = canvas.cr();
    canvas.paintVerticalFrames(kTwoStates, [&](int on) {
        paintKey(canvas, width, frameHeight, false);
        // The bar sits in a dark slot across the middle of the key.
        const double slotWidth = width * 0.56;
        const double slotHeight = std::max(4.0, frameHeight * 0.3);
        const double x = (width - slotWidth) / 2;
        const double y = (frameHeight - slotHeight) / 2;
        canvas.roundedRect(x - 1, y - 1, slotWidth + 2, slotHeight + 2, slotHeight / 2 + 1);
        canvas.setColor(style::kButtonEdge);
        cairo_fill(cr);
        canvas.roundedRect(x, y, slotWidth, slotHeight, slotHeight / 2);
        if (on != 0) {
            canvas.setVerticalGradient(y, style::kAccentHot, y + slotHeight, style::kAccent);
            cairo_fill(cr);
            canvas.roundedRect(x - 2, y - 2, slotWidth + 4, slotHeight + 4, slotHeight / 2 + 2);
            canvas.setColor(style::kAccent, 0.3);
            cairo_set_line_width(cr, 1.5);
            cairo_stroke(cr);
        } else {
            canvas.setVerticalGradient(y, style::kButtonEdge, y + slotHeight, style::kLedOff);
            cairo_fill(cr);
        }
    });
    return canvas;
}

Canvas paintRetrigSwitch(int width, int frameHeight) {
    Canvas canvas(width, frameHeight * kTwoStates);
    cairo_t* cr = canvas.cr();
    canvas.paintVerticalFrames(kTwoStates, [&](int on) {
        const double h = frameHeight - 2;
        const double radius = h / 2;
        canvas.roundedRect(1, 1, width - 2, h, radius);
        canvas.setColor(style::kButtonEdge);
        cairo_fill(cr);
        canvas.roundedRect(2, 2, width - 4, h - 2, radius - 1);
        if (on != 0) {
            canvas.setVerticalGradient(2, style::kCool, h, style::kCoolLedOff);
        } else {
            canvas.setVerticalGradient(2, style::kButtonEdge, h, style::kCoolLedOff);
        }
        cairo_fill(cr);
        // The thumb slides to the lit end.
        const double thumb = radius - 1.5;
        const double cx = on != 0 ? width - 1 - radius : 1 + radius;
        const double cy = 1 + radius;
        canvas.setColor({0, 0, 0}, 0.5);
        cairo_arc(cr, cx, cy + 0.8, thumb + 0.6, 0, 2 * kPi);
        cairo_fill(cr);
        cairo_arc(cr, cx, cy, thumb, 0, 2 * kPi);
        canvas.setVerticalGradient(cy - thumb, on != 0 ? style::kCoolHot : style::kHandleTop, cy + thumb,
                                   style::kHandleBottom);
        cairo_fill(cr);
    });
    return canvas;
}

Canvas paintButton(int width, int frameHeight) {
    Canvas canvas(width, frameHeight * kTwoStates);
    cairo_t* cr = canvas.cr();
    canvas.paintVerticalFrames(kTwoStates, [&](int pressed) {
        paintKey(canvas, width, frameHeight, pressed != 0);
        if (pressed != 0) {
            // The pressed key lights along its lower edge.
            cairo_set_line_width(cr, 1);
            canvas.setColor(style::kAccent, 0.85);
            cairo_move_to(cr, 1 + style::kButtonRadius, frameHeight - 1.5);
            cairo_line_to(cr, width - 1 - style::kButtonRadius, frameHeight - 1.5);
            cairo_stroke(cr);
        }
    });
    return canvas;
}

Canvas paintTabButton(int width, int frameHeight) {
    Canvas canvas(width, frameHeight * kTwoStates);
    cairo_t* cr = canvas.cr();
    constexpr double kBarHeight = 2;
    canvas.paintVerticalFrames(kTwoStates, [&](int selected) {
        canvas.roundedRect(0, 0, width, frameHeight, style::kButtonRadius);
        canvas.setColor(style::kButtonEdge);
        cairo_fill(cr);
        canvas.roundedRect(1, 1, width - 2, frameHeight - 2, style::kButtonRadius - 1);
        if (selected != 0) {
            canvas.setVerticalGradient(1, style::kTabSelected, frameHeight - 1, style::kButtonBottom);
            cairo_fill(cr);
            canvas.setColor(style::kAccent);
            cairo_rectangle(cr, 3, frameHeight - 1 - kBarHeight, width - 6, kBarHeight);
            cairo_fill(cr);
        } else {
            canvas.setColor(style::kTabUnselected);
            cairo_fill(cr);
        }
    });
    return canvas;
}

Canvas paintLearnButton(int width, int frameHeight) {
    Canvas canvas(width, frameHeight * kTwoStates);
    cairo_t* cr = canvas.cr();
    constexpr int kPins = 5;
    constexpr double kPinSpreadDegrees = 180;  // a 5-pin socket's pins sit on a half circle
    canvas.paintVerticalFrames(kTwoStates, [&](int learning) {
        paintKey(canvas, width, frameHeight, learning != 0);
        const double cx = width / 2.0;
        const double cy = frameHeight / 2.0;
        const double ring = frameHeight * 0.34;
        const Rgb ink = learning != 0 ? style::kAccentHot : style::kTitleText;
        if (learning != 0) {
            canvas.setColor(style::kAccent, 0.35);
            cairo_set_line_width(cr, 3.5);
            cairo_arc(cr, cx, cy, ring, 0, 2 * kPi);
            cairo_stroke(cr);
        }
        canvas.setColor(ink);
        cairo_set_line_width(cr, 1.2);
        cairo_arc(cr, cx, cy, ring, 0, 2 * kPi);
        cairo_stroke(cr);
        for (int pin = 0; pin < kPins; ++pin) {
            const double degrees = 180 + kPinSpreadDegrees * pin / (kPins - 1);
            const double a = degrees * kPi / 180;
            cairo_arc(cr, cx + std::cos(a) * ring * 0.58, cy + std::sin(a) * ring * 0.58 + ring * 0.15, 0.9,
                      0, 2 * kPi);
            cairo_fill(cr);
        }
        // The key notch at the bottom of the socket.
        cairo_rectangle(cr, cx - 1, cy + ring - 1.5, 2, 1.5);
        cairo_fill(cr);
    });
    return canvas;
}

Canvas paintLed(int side) {
    Canvas canvas(side, side * kTwoStates);
    canvas.paintVerticalFrames(kTwoStates, [&](int on) {
        const double c = side / 2.0;
        const double radius = side * 0.3;
        if (on != 0) {
            glowCircle(canvas, c, c, radius, style::kAccent, style::kAccentHot);
        } else {
            darkCircle(canvas, c, c, radius, style::kLedOff);
        }
    });
    return canvas;
}

Canvas paintSliderHandle(int width, int height) {
    Canvas canvas(width, height);
    cairo_t* cr = canvas.cr();
    canvas.roundedRect(0, 0, width, height, 2);
    canvas.setColor(style::kButtonEdge);
    cairo_fill(cr);
    canvas.roundedRect(1, 1, width - 2, height - 2, 1.5);
    canvas.setVerticalGradient(1, style::kHandleTop, height - 1, style::kHandleBottom);
    cairo_fill(cr);
    // The grip: a dark groove with an amber index across the middle.
    const double middle = height / 2.0;
    cairo_set_line_width(cr, 1);
    canvas.setColor(style::kButtonEdge, 0.7);
    cairo_move_to(cr, 2, middle - 1.5);
    cairo_line_to(cr, width - 2, middle - 1.5);
    cairo_stroke(cr);
    canvas.setColor(style::kAccent);
    cairo_move_to(cr, 2, middle + 0.5);
    cairo_line_to(cr, width - 2, middle + 0.5);
    cairo_stroke(cr);
    return canvas;
}

}  // namespace art
