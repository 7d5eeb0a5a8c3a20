// Text rasterised at build time (tools/velkor-glyphs): per face and pixel size, the coverage of
// every glyph the editor prints, its metrics in whole pixels and the face's kerning pairs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace toolkit {

struct Glyph {
    char32_t codepoint = 0;
    std::uint32_t offset = 0;  // first coverage byte, rows of `width` bytes, top row first
    std::uint8_t width = 0;
    std::uint8_t height = 0;
    std::int8_t left = 0;  // from the pen position to the first column
    std::int8_t top = 0;   // from the baseline up to the first row
    std::uint8_t advance = 0;
};

struct KerningPair {
    char32_t left = 0;
    char32_t right = 0;
    std::int8_t adjust = 0;  // pixels added to the left glyph's advance
};

struct GlyphAtlas {
    const char* face = nullptr;
    bool bold = false;
    int pixelSize = 0;
    int ascent = 0;      // pixels above the baseline
    int descent = 0;     // pixels below the baseline, positive
    int lineHeight = 0;  // baseline to baseline
    std::span<const Glyph> glyphs;            // sorted by codepoint
    std::span<const KerningPair> kerning;     // sorted by (left, right)
    const std::uint8_t* coverage = nullptr;
};

// Defined in the generated source.
extern const std::span<const GlyphAtlas> kGlyphAtlases;

}  // namespace toolkit
