// velkor-glyphs: renders the editor's fonts with FreeType into a C++ source of glyph atlases
// (coverage bytes, metrics and kerning in whole pixels), so the plug-in needs no font at run time.
//   velkor-glyphs --out FILE --regular FONT.ttf --bold FONT.ttf --sizes 9,10,11,13,16
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Printable ASCII plus the symbols the displays and menus print.
constexpr char32_t kSymbols[] = {
    0x00B0,  // degree
    0x00B1,  // plus-minus
    0x00B5,  // micro
    0x00B7,  // middle dot
    0x00D7,  // multiplication
    0x00F7,  // division
    0x2013,  // en dash
    0x2026,  // ellipsis
    0x2190, 0x2191, 0x2192, 0x2193,  // arrows
    0x221E,  // infinity
    0x25B8,  // small right triangle: sub-menu marker
    0x25BE,  // small down triangle: option menus
    0x2713,  // check mark: checked menu items
    0x266D, 0x266F,  // flat, sharp
};

struct Options {
    std::string out;
    std::string regular;
    std::string bold;
    std::vector<int> sizes;
};

struct RenderedGlyph {
    char32_t codepoint;
    std::vector<unsigned char> coverage;
    int width, height, left, top, advance;
};

struct KerningEntry {
    char32_t left, right;
    int adjust;
};

std::vector<char32_t> characterSet() {
    std::vector<char32_t> set;
    for (char32_t c = 0x20; c < 0x7F; ++c) {
        set.push_back(c);
    }
    set.insert(set.end(), std::begin(kSymbols), std::end(kSymbols));
    std::sort(set.begin(), set.end());  // the atlas is searched by codepoint
    return set;
}

[[noreturn]] void fail(const std::string& message) {
    std::cerr << "velkor-glyphs: " << message << '\n';
    std::exit(1);
}

Options parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        const std::string value = argv[i + 1];
        if (key == "--out") {
            options.out = value;
        } else if (key == "--regular") {
            options.regular = value;
        } else if (key == "--bold") {
            options.bold = value;
        } else if (key == "--sizes") {
            std::stringstream list(value);
            for (std::string size; std::getline(list, size, ',');) {
                options.sizes.push_back(std::atoi(size.c_str()));
            }
        } else {
            fail("unknown option " + key);
        }
    }
    if (options.out.empty() || options.regular.empty() || options.bold.empty() ||
        options.sizes.empty()) {
        fail("usage: --out FILE --regular FONT --bold FONT --sizes 9,10,...");
    }
    return options;
}

int roundedPixels(FT_Pos value) { return static_cast<int>((value + 32) >> 6); }

// Writes one atlas's arrays and returns its table entry.
std::string writeAtlas(std::ostream& out, FT_Face face, const std::string& faceName, bool bold,
                       int size, int index) {
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size)) != 0) {
        fail("cannot set size " + std::to_string(size));
    }
    const std::vector<char32_t> characters = characterSet();
    std::vector<RenderedGlyph> glyphs;
    for (char32_t c : characters) {
        const FT_UInt glyphIndex = FT_Get_Char_Index(face, c);
        if (glyphIndex == 0 && c != U' ') {
            continue;
        }
        // Light hinting: crisp rows at these small sizes, advances on whole pixels.
        if (FT_Load_Glyph(face, glyphIndex, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) {
            fail("cannot render a glyph");
        }
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        RenderedGlyph g{c, {}, static_cast<int>(bitmap.width), static_cast<int>(bitmap.rows),
                        slot->bitmap_left, slot->bitmap_top, roundedPixels(slot->advance.x)};
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            const unsigned char* line = bitmap.buffer + static_cast<long>(row) * bitmap.pitch;
            g.coverage.insert(g.coverage.end(), line, line + bitmap.width);
        }
        glyphs.push_back(std::move(g));
    }
    std::vector<KerningEntry> kerning;
    if (FT_HAS_KERNING(face)) {
        for (const RenderedGlyph& l : glyphs) {
            for (const RenderedGlyph& r : glyphs) {
                FT_Vector delta{};
                FT_Get_Kerning(face, FT_Get_Char_Index(face, l.codepoint),
                               FT_Get_Char_Index(face, r.codepoint), FT_KERNING_DEFAULT, &delta);
                if (const int adjust = roundedPixels(delta.x); adjust != 0) {
                    kerning.push_back({l.codepoint, r.codepoint, adjust});
                }
            }
        }
    }

    const std::string id = std::to_string(index);
    out << "constexpr std::uint8_t kCoverage" << id << "[] = {";
    std::size_t written = 0;
    for (const RenderedGlyph& g : glyphs) {
        for (unsigned char c : g.coverage) {
            out << (written++ % 24 == 0 ? "\n    " : " ") << static_cast<int>(c) << ',';
        }
    }
    out << "\n    0,\n};\n\nconstexpr Glyph kGlyphs" << id << "[] = {\n";
    std::size_t offset = 0;
    for (const RenderedGlyph& g : glyphs) {
        out << "    {0x" << std::hex << static_cast<unsigned>(g.codepoint) << std::dec << ", "
            << offset << ", " << g.width << ", " << g.height << ", " << g.left << ", " << g.top
            << ", " << g.advance << "},\n";
        offset += g.coverage.size();
    }
    out << "};\n\n";
    if (!kerning.empty()) {
        out << "constexpr KerningPair kKerning" << id << "[] = {\n";
        for (const KerningEntry& k : kerning) {
            out << "    {0x" << std::hex << static_cast<unsigned>(k.left) << ", 0x"
                << static_cast<unsigned>(k.right) << std::dec << ", " << k.adjust << "},\n";
        }
        out << "};\n\n";
    }
    const FT_Size_Metrics& metrics = face->size->metrics;
    std::ostringstream entry;
    entry << "    {\"" << faceName << "\", " << (bold ? "true" : "false") << ", " << size << ", "
          << roundedPixels(metrics.ascender) << ", " << -roundedPixels(metrics.descender) << ", "
          << roundedPixels(metrics.height) << ", kGlyphs" << id << ", "
          << (kerning.empty() ? std::string("{}") : "kKerning" + id) << ", kCoverage" << id
          << "},\n";
    return entry.str();
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = parse(argc, argv);
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        fail("cannot start FreeType");
    }
    std::ostringstream out;
    out << "// Generated by tools/velkor-glyphs from " << options.regular << " and "
        << options.bold << ". Do not edit.\n"
        << "#include \"toolkit/GlyphAtlas.h\"\n\nnamespace toolkit {\n\nnamespace {\n\n";
    std::string entries;
    int index = 0;
    for (const bool bold : {false, true}) {
        const std::string& path = bold ? options.bold : options.regular;
        FT_Face face = nullptr;
        if (FT_New_Face(library, path.c_str(), 0, &face) != 0) {
            fail("cannot open " + path);
        }
        const std::string faceName = std::string(face->family_name) + (bold ? " Bold" : "");
        for (const int size : options.sizes) {
            entries += writeAtlas(out, face, faceName, bold, size, index++);
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    out << "constexpr GlyphAtlas kAtlases[] = {\n" << entries << "};\n\n}  // namespace\n\n"
        << "extern const std::span<const GlyphAtlas> kGlyphAtlases = kAtlases;\n\n"
        << "}  // namespace toolkit\n";

    // Written only when changed, so an unchanged font set does not rebuild the library.
    const std::string text = out.str();
    std::ifstream previous(options.out, std::ios::binary);
    const std::string old((std::istreambuf_iterator<char>(previous)), {});
    if (old != text) {
        std::ofstream file(options.out, std::ios::binary | std::ios::trunc);
        file << text;
        if (!file) {
            fail("cannot write " + options.out);
        }
    }
    return 0;
}
