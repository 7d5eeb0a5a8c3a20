// Colours as callers give them (straight alpha) and pixels as the framebuffer stores them
// (premultiplied alpha, bytes R, G, B, A in memory order).
#pragma once

#include <cstdint>

namespace toolkit {

// Premultiplied: every colour channel is at most alpha. Blending is then one multiply-add per
// channel, and a fully transparent pixel is all zeros whatever colour it had.
struct Pixel {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 0;

    friend bool operator==(const Pixel&, const Pixel&) = default;
};
static_assert(sizeof(Pixel) == 4);

// x * y / 255 rounded to nearest, exact for all 8-bit inputs.
constexpr std::uint8_t mul255(unsigned x, unsigned y) {
    const unsigned t = x * y + 128;
    return static_cast<std::uint8_t>((t + (t >> 8)) >> 8);
}

struct Color {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 255;

    friend bool operator==(const Color&, const Color&) = default;

    constexpr Color withAlpha(std::uint8_t alpha) const { return {r, g, b, alpha}; }
    constexpr Pixel premultiplied() const {
        return {mul255(r, a), mul255(g, a), mul255(b, a), a};
    }
};

// Source-over: dst = src + dst * (1 - srcAlpha), both premultiplied.
constexpr Pixel blendOver(Pixel dst, Pixel src) {
    const unsigned keep = 255u - src.a;
    return {static_cast<std::uint8_t>(src.r + mul255(dst.r, keep)),
            static_cast<std::uint8_t>(src.g + mul255(dst.g, keep)),
            static_cast<std::uint8_t>(src.b + mul255(dst.b, keep)),
            static_cast<std::uint8_t>(src.a + mul255(dst.a, keep))};
}

// A premultiplied pixel scaled by a coverage or opacity 0..255.
constexpr Pixel scaled(Pixel p, unsigned amount) {
    return {mul255(p.r, amount), mul255(p.g, amount), mul255(p.b, amount), mul255(p.a, amount)};
}

}  // namespace toolkit
