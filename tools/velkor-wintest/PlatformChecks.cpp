#include "PlatformChecks.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ImageDecoder.h"
#include "platform/Platform.h"

namespace {

// 2 x 2 RGBA: red, green at half alpha / blue, a colour at zero alpha (straight alpha must keep it).
constexpr std::array<std::uint8_t, 80> kPng = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x02, 0x08, 0x06, 0x00, 0x00, 0x00, 0x72, 0xB6, 0x0D,
    0x24, 0x00, 0x00, 0x00, 0x17, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0xF8, 0xCF, 0xC0, 0xF0,
    0x1F, 0x08, 0x1B, 0x18, 0x80, 0xF4, 0x7F, 0x2E, 0x11, 0x39, 0x06, 0x00, 0x3B, 0x7C, 0x05, 0xB8,
    0x43, 0xCC, 0xA5, 0x25, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
constexpr std::array<std::uint8_t, 16> kPngPixels = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 255, 10, 20, 30, 0};
// A 32-bit BMP header: GDI+ would decode it, the PNG decoder must not.
constexpr std::array<std::uint8_t, 16> kNotPng = {'B', 'M', 0x46, 0, 0, 0, 0, 0, 0, 0, 0x36, 0, 0, 0, 0x28, 0};

std::vector<std::uint8_t> pattern(std::size_t bytes) {
    std::vector<std::uint8_t> data(bytes);
    for (std::size_t i = 0; i < bytes; ++i) {
        data[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    }
    return data;
}

}  // namespace

PlatformChecks::PlatformChecks(CheckLog& log, std::filesystem::path publicFolder)
    : log_(log), publicFolder_(std::move(publicFolder)) {}

void PlatformChecks::userFolder() {
    std::string expected = publicFolder_.string() + "/Documents/Velkor_2/";
    std::replace(expected.begin(), expected.end(), '\\', '/');
    const std::string folder = platform::userFolder();
    log_.check(folder == expected, "the user folder is %Public%/Documents/Velkor_2/ with forward slashes",
               "\"" + folder + "\"");
}

void PlatformChecks::fileRoundTrip() {
    const std::string path = (publicFolder_ / "round trip.bin").string();
    // Larger than one read or write piece, and an odd length.
    const std::vector<std::uint8_t> first = pattern(200001);
    const std::vector<std::uint8_t> second(first.rbegin(), first.rbegin() + 1000);
    std::vector<std::uint8_t> read;
    log_.check(platform::writeFile(path, first), "writeFile makes a new file");
    log_.check(platform::readFile(path, read, first.size() + 10) && read == first, "readFile returns it whole");
    log_.check(platform::readFile(path, read, 70000) &&
                   read == std::vector<std::uint8_t>(first.begin(), first.begin() + 70000),
               "readFile stops at its limit");
    log_.check(platform::writeFile(path, second), "writeFile replaces an existing file");
    log_.check(platform::readFile(path, read, first.size()) && read == second, "the replaced file holds the new bytes");
    log_.check(!std::filesystem::exists(path + ".tmp"), "no temporary file is left");
    const std::string missingFolder = (publicFolder_ / "missing" / "file.bin").string();
    log_.check(!platform::writeFile(missingFolder, second), "writeFile into a missing folder fails");
    log_.check(!platform::readFile(missingFolder, read, 10), "readFile of a missing file fails");
}

void PlatformChecks::largeBlock() {
    constexpr std::size_t kBytes = (std::size_t{5} << 20) + 12345;
    auto* block = static_cast<std::uint8_t*>(platform::allocateLargeBlock(kBytes));
    if (!log_.check(block != nullptr, "allocateLargeBlock gives a block")) {
        return;
    }
    std::fill(block, block + kBytes, std::uint8_t{0x5A});
    log_.check(block[0] == 0x5A && block[kBytes - 1] == 0x5A, "the whole block is writable");
    platform::freeLargeBlock(block, kBytes);
}

void PlatformChecks::pngDecoding() {
    const auto image = platform::decodePng(kPng);
    if (log_.check(image.has_value() && image->width == 2 && image->height == 2, "a 2 x 2 PNG decodes")) {
        log_.check(std::equal(image->rgba.begin(), image->rgba.end(), kPngPixels.begin(), kPngPixels.end()),
                   "its pixels are straight-alpha RGBA, top row first");
    }
    log_.check(!platform::decodePng(std::span(kPng).first(kPng.size() / 2)).has_value(), "a truncated PNG gives nothing");
    log_.check(!platform::decodePng(kNotPng).has_value(), "other formats give nothing");
    log_.check(!platform::decodePng({}).has_value(), "no bytes give nothing");
}
