// Reading UTF-8 text one codepoint at a time; malformed bytes read as U+FFFD, never past the end.
#pragma once

#include <cstddef>
#include <string_view>

namespace toolkit {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Decodes the codepoint at `pos` and moves `pos` past it; `pos` must be below text.size().
constexpr char32_t nextCodepoint(std::string_view text, std::size_t& pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(pos);
    int extra = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        cp = lead & 0x07;
    } else {
        ++pos;
        return kReplacementCharacter;
    }
    std::size_t i = pos + 1;
    for (int k = 0; k < extra; ++k, ++i) {
        if (i >= text.size() || (byte(i) & 0xC0) != 0x80) {
            pos = i;
            return kReplacementCharacter;
        }
        cp = (cp << 6) | (byte(i) & 0x3F);
    }
    pos = i;
    return cp;
}

// Byte offset of the codepoint before `pos` (0 at the start).
constexpr std::size_t previousCodepointStart(std::string_view text, std::size_t pos) {
    if (pos == 0) {
        return 0;
    }
    --pos;
    while (pos > 0 && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80) {
        --pos;
    }
    return pos;
}

}  // namespace toolkit
