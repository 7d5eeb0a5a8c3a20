#include "toolkit/Font.h"

#include <algorithm>
#include <cstdlib>

#include "toolkit/Utf8.h"

namespace toolkit {

Font Font::nearest(int pixelSize, FontWeight weight) {
    const bool bold = weight == FontWeight::Bold;
    const GlyphAtlas* best = nullptr;
    for (const GlyphAtlas& atlas : kGlyphAtlases) {
        if (atlas.bold != bold) {
            continue;
        }
        const int distance = std::abs(atlas.pixelSize - pixelSize);
        if (best == nullptr || distance < std::abs(best->pixelSize - pixelSize) ||
            (distance == std::abs(best->pixelSize - pixelSize) &&
             atlas.pixelSize < best->pixelSize)) {
            best = &atlas;
        }
    }
    return Font(best != nullptr ? *best : kGlyphAtlases.front());
}

const Glyph* Font::find(char32_t codepoint) const {
    const auto glyphs = atlas_->glyphs;
    const auto it = std::lower_bound(glyphs.begin(), glyphs.end(), codepoint,
                                     [](const Glyph& g, char32_t cp) { return g.codepoint < cp; });
    return it != glyphs.end() && it->codepoint == codepoint ? &*it : nullptr;
}

const Glyph& Font::glyph(char32_t codepoint) const {
    if (const Glyph* g = find(codepoint)) {
        return *g;
    }
    const Glyph* fallback = find(U'?');
    return fallback != nullptr ? *fallback : atlas_->glyphs.front();
}

int Font::kerning(char32_t left, char32_t right) const {
    const auto pairs = atlas_->kerning;
    const auto it = std::lower_bound(pairs.begin(), pairs.end(), KerningPair{left, right, 0},
                                     [](const KerningPair& a, const KerningPair& b) {
                                         return a.left != b.left ? a.left < b.left
                                                                 : a.right < b.right;
                                     });
    return it != pairs.end() && it->left == left && it->right == right ? it->adjust : 0;
}

int Font::textWidth(std::string_view text) const {
    int width = 0;
    char32_t previous = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const char32_t cp = glyph(nextCodepoint(text, pos)).codepoint;
        if (previous != 0) {
            width += kerning(previous, cp);
        }
        width += glyph(cp).advance;
        previous = cp;
    }
    return width;
}

}  // namespace toolkit
