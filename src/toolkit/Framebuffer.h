// The editor's pixels in memory: premultiplied RGBA8 rows, top row first, no padding. Window
// backends only copy regions of it to the screen, so drawing is the same everywhere and works
// without any window.
#pragma once

#include <span>
#include <vector>

#include "toolkit/Color.h"
#include "toolkit/Rect.h"

namespace toolkit {

class Framebuffer {
public:
    Framebuffer(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    Rect bounds() const { return {0, 0, width_, height_}; }

    // Unchecked: (x, y) must lie inside bounds().
    Pixel& at(int x, int y) { return pixels_[static_cast<std::size_t>(y * width_ + x)]; }
    const Pixel& at(int x, int y) const { return pixels_[static_cast<std::size_t>(y * width_ + x)]; }

    std::span<Pixel> row(int y) { return {&at(0, y), static_cast<std::size_t>(width_)}; }
    std::span<const Pixel> row(int y) const { return {&at(0, y), static_cast<std::size_t>(width_)}; }
    std::span<const Pixel> pixels() const { return pixels_; }

    void fill(Pixel value);

private:
    int width_;
    int height_;
    std::vector<Pixel> pixels_;
};

}  // namespace toolkit
