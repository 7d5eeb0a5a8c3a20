// Decoding of the editor's PNG bitmaps by the platform's image library.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace platform {

struct DecodedImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> rgba;  // straight alpha, 8 bits a channel, top row first
};

// Larger images are refused: the editor's largest is its background (991 x 701).
inline constexpr std::uint32_t kMaxDecodedSide = 8192;

// Any PNG colour type and depth becomes RGBA8. Malformed, truncated or oversized data gives
// nothing; it never crashes or prints.
std::optional<DecodedImage> decodePng(std::span<const std::uint8_t> bytes);

}  // namespace platform
