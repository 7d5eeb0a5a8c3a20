// One face at one pixel size, read from the built-in glyph atlases: glyph lookup, kerning and
// text measurement. Cheap to copy; the atlases live for the whole program.
#pragma once

#include <string_view>

#include "toolkit/GlyphAtlas.h"

namespace toolkit {

enum class FontWeight { Regular, Bold };

class Font {
public:
    // The atlas of that weight whose size is nearest `pixelSize` (the smaller one on a tie).
    static Font nearest(int pixelSize, FontWeight weight = FontWeight::Regular);

    explicit Font(const GlyphAtlas& atlas) : atlas_(&atlas) {}

    const GlyphAtlas& atlas() const { return *atlas_; }
    int pixelSize() const { return atlas_->pixelSize; }
    int ascent() const { return atlas_->ascent; }
    int descent() const { return atlas_->descent; }
    int lineHeight() const { return atlas_->lineHeight; }

    // Characters the atlas lacks are drawn as '?'.
    const Glyph& glyph(char32_t codepoint) const;
    int kerning(char32_t left, char32_t right) const;

    // Width of one line of UTF-8 text: advances plus kerning.
    int textWidth(std::string_view text) const;

private:
    const Glyph* find(char32_t codepoint) const;

    const GlyphAtlas* atlas_;
};

}  // namespace toolkit
