// Writes straight-alpha RGBA pixels as a PNG file through libpng.
#pragma once

#include <cstdint>
#include <vector>
#include <string>

namespace render {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // width * height * 4, top row first
};

// Throws std::runtime_error when the file cannot be written.
void writePng(const std::string& path, const Picture& picture);

}  // namespace render
