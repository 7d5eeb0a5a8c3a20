#include "toolkit/Bitmap.h"

#include <algorithm>
#include <cmath>

#include "platform/ImageDecoder.h"

namespace toolkit {

Bitmap::Bitmap(int width, int height, std::vector<Pixel> pixels)
    : width_(width), height_(height), pixels_(std::move(pixels)) {}

Bitmap Bitmap::fromStraightRgba(int width, int height, std::span<const std::uint8_t> rgba) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::vector<Pixel> pixels(count);
    for (std::size_t i = 0; i < count && 4 * i + 3 < rgba.size(); ++i) {
        const Color c{rgba[4 * i], rgba[4 * i + 1], rgba[4 * i + 2], rgba[4 * i + 3]};
        pixels[i] = c.premultiplied();
    }
    return Bitmap(width, height, std::move(pixels));
}

std::optional<Bitmap> Bitmap::fromPng(std::span<const std::uint8_t> bytes) {
    const std::optional<platform::DecodedImage> image = platform::decodePng(bytes);
    if (!image) {
        return std::nullopt;
    }
    return fromStraightRgba(static_cast<int>(image->width), static_cast<int>(image->height),
                            image->rgba);
}

void Bitmap::setFrames(int count, StripOrientation orientation) {
    const int length = orientation == StripOrientation::Vertical ? height_ : width_;
    frameCount_ = std::clamp(count, 1, std::max(length, 1));
    orientation_ = orientation;
}

int Bitmap::frameWidth() const {
    return orientation_ == StripOrientation::Horizontal ? width_ / frameCount_ : width_;
}

int Bitmap::frameHeight() const {
    return orientation_ == StripOrientation::Vertical ? height_ / frameCount_ : height_;
}

Rect Bitmap::frameRect(int index) const {
    index = std::clamp(index, 0, frameCount_ - 1);
    if (orientation_ == StripOrientation::Vertical) {
        return Rect::fromSize(0, index * frameHeight(), width_, frameHeight());
    }
    return Rect::fromSize(index * frameWidth(), 0, frameWidth(), height_);
}

int Bitmap::frameForValue(float value) const {
    if (!(value > 0.0f)) {  // also NaN
        return 0;
    }
    const float position = std::min(value, 1.0f) * static_cast<float>(frameCount_ - 1);
    return static_cast<int>(std::lround(position));
}

}  // namespace toolkit
