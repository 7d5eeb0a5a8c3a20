// An image in premultiplied RGBA8, optionally a strip of equal frames (knob and slider
// animations) stacked vertically or side by side.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "toolkit/Color.h"
#include "toolkit/Rect.h"

namespace toolkit {

enum class StripOrientation { Vertical, Horizontal };

class Bitmap {
public:
    // `rgba` holds width * height straight-alpha pixels, top row first.
    static Bitmap fromStraightRgba(int width, int height, std::span<const std::uint8_t> rgba);
    // Empty when the bytes are not a PNG the platform can decode.
    static std::optional<Bitmap> fromPng(std::span<const std::uint8_t> bytes);

    int width() const { return width_; }
    int height() const { return height_; }
    Rect bounds() const { return {0, 0, width_, height_}; }
    const Pixel& at(int x, int y) const { return pixels_[static_cast<std::size_t>(y * width_ + x)]; }

    // A count that does not divide the strip's length leaves the last pixels unused.
    void setFrames(int count, StripOrientation orientation = StripOrientation::Vertical);
    int frameCount() const { return frameCount_; }
    StripOrientation orientation() const { return orientation_; }
    int frameWidth() const;
    int frameHeight() const;
    // Rectangle of frame `index` (clamped to the strip) inside the bitmap.
    Rect frameRect(int index) const;
    // The frame that shows a value 0..1: 0 is the first frame, 1 the last.
    int frameForValue(float value) const;

private:
    Bitmap(int width, int height, std::vector<Pixel> pixels);

    int width_;
    int height_;
    std::vector<Pixel> pixels_;
    int frameCount_ = 1;
    StripOrientation orientation_ = StripOrientation::Vertical;
};

}  // namespace toolkit
