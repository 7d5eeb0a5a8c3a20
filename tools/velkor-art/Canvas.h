// A cairo image surface with the drawing helpers every piece of art shares, written out as a
// PNG with no time stamp so the build reproduces the same bytes.
#pragma once

#include <cairo.h>

#include <functional>
#include <string>

#include "ArtStyle.h"

namespace art {

class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(Canvas&& other) noexcept;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    Canvas& operator=(Canvas&&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    cairo_t* cr() const { return cr_; }

    // Paints `frames` equal frames stacked vertically; `paint` draws frame `index` at the
    // origin, clipped to its own cell.
    void paintVerticalFrames(int frames, const std::function<void(int index)>& paint);

    void setColor(Rgb color, double alpha = 1) const;
    // A linear gradient from (x0, y0) in `from` to (x1, y1) in `to`.
    void setGradient(double x0, double y0, Rgb from, double x1, double y1, Rgb to) const;
    void setVerticalGradient(double top, Rgb from, double bottom, Rgb to) const {
        setGradient(0, top, from, 0, bottom, to);
    }
    void roundedRect(double x, double y, double width, double height, double radius) const;

    // Text in the style's font; `spacing` adds px between letters. Returns the width drawn.
    double textWidth(const char* text, double size, bool bold, double spacing) const;
    void drawText(const char* text, double x, double baseline, double size, bool bold, double spacing) const;

    // False when the file cannot be written.
    bool writePng(const std::string& path) const;

private:
    void selectFont(double size, bool bold) const;

    int width_;
    int height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

}  // namespace art
