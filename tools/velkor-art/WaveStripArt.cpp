#include "WaveStripArt.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "Waveform.h"

namespace art {
namespace {

constexpr int kSamplesPerPixel = 8;  // steep edges come out as clean vertical strokes

void paintScreen(const Canvas& canvas, int width, int height) {
    cairo_t* cr = canvas.cr();
    canvas.roundedRect(0, 0, width, height, style::kButtonRadius);
    canvas.setColor(style::kButtonEdge);
    cairo_fill(cr);
    canvas.roundedRect(1, 1, width - 2, height - 2, style::kButtonRadius - 1);
    canvas.setVerticalGradient(1, style::kScreenTop, height - 1, style::kScreenBottom);
    cairo_fill(cr);
    // Zero line and quarter-period marks.
    cairo_set_line_width(cr, 1);
    canvas.setColor(style::kScreenGrid);
    cairo_move_to(cr, 2, height / 2 + 0.5);
    cairo_line_to(cr, width - 2, height / 2 + 0.5);
    const double span = width - 2 * style::kScreenInset;
    for (int quarter = 1; quarter < 4; ++quarter) {
        const double x = std::round(style::kScreenInset + span * quarter / 4) + 0.5;
        cairo_move_to(cr, x, 3);
        cairo_line_to(cr, x, height - 3);
    }
    cairo_stroke(cr);
}

void traceWave(const Canvas& canvas, const Waveform& wave, int width, int height) {
    const double span = width - 2 * style::kScreenInset;
    const int samples = static_cast<int>(span) * kSamplesPerPixel;
    std::vector<double> values(static_cast<std::size_t>(samples) + 1);
    double peak = 0;
    for (int i = 0; i <= samples; ++i) {
        // The last point stays inside the period, so ramps end at their top instead of their reset.
        const double phase = std::min(static_cast<double>(i) / samples, 1 - 1e-6);
        values[static_cast<std::size_t>(i)] = wave.value(phase);
        peak = std::max(peak, std::abs(values[static_cast<std::size_t>(i)]));
    }
    const double amplitude = (height / 2.0 - style::kScreenInset) / std::max(peak, 1e-9);
    cairo_t* cr = canvas.cr();
    for (int i = 0; i <= samples; ++i) {
        const double x = style::kScreenInset + span * i / samples;
        const double y = height / 2.0 - values[static_cast<std::size_t>(i)] * amplitude;
        if (i == 0) {
            cairo_move_to(cr, x, y);
        } else {
            cairo_line_to(cr, x, y);
        }
    }
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    canvas.setColor(style::kCool, 0.25);
    cairo_set_line_width(cr, style::kTraceWidth * 3);
    cairo_stroke_preserve(cr);
    canvas.setColor(style::kCool);
    cairo_set_line_width(cr, style::kTraceWidth);
    cairo_stroke(cr);
}

}  // namespace

Canvas paintWaveStrip(const std::vector<std::string>& items, int width, int frameHeight) {
    std::vector<const Waveform*> waves;
    for (const std::string& item : items) {
        const Waveform* wave = findWaveform(item);
        if (wave == nullptr) {
            throw std::runtime_error("no waveform drawing for \"" + item + "\"");
        }
        waves.push_back(wave);
    }
    Canvas canvas(width, frameHeight * static_cast<int>(waves.size()));
    canvas.paintVerticalFrames(static_cast<int>(waves.size()), [&](int index) {
        paintScreen(canvas, width, frameHeight);
        traceWave(canvas, *waves[static_cast<std::size_t>(index)], width, frameHeight);
    });
    return canvas;
}

}  // namespace art
