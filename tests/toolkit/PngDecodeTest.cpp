// PNG decoding through the platform layer: every colour type a PNG can hold becomes the same
// RGBA8 pixels, and malformed, truncated or oversized data is refused without a crash.
#include <png.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "platform/ImageDecoder.h"
#include "toolkit/Bitmap.h"

namespace {

constexpr std::uint32_t kW = 5;
constexpr std::uint32_t kH = 3;

// The reference image: every pixel different, some of them translucent.
std::array<std::uint8_t, 4> expectedPixel(std::uint32_t x, std::uint32_t y, bool hasAlpha,
                                          bool grey) {
    const auto v = static_cast<std::uint8_t>(40 * x + 70 * y + 5);
    const auto a = hasAlpha ? static_cast<std::uint8_t>(255 - 50 * x) : std::uint8_t{255};
    if (grey) {
        return {v, v, v, a};
    }
    return {v, static_cast<std::uint8_t>(255 - v), static_cast<std::uint8_t>(x * 60), a};
}

enum class Format { Rgba8, Rgb8, Grey8, GreyAlpha8, Rgba16, Palette, Interlaced };

struct PngCase {
    const char* name;
    Format format;
};

void appendToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

// Everything libpng needs to write one image; built before any libpng call.
struct Encoding {
    std::uint32_t width, height;
    int depth, colorType, interlace;
    const png_color* palette;
    const png_byte* paletteAlpha;
    int paletteSize;
    png_bytep* rows;
    std::vector<std::uint8_t>* out;
};

// libpng reports errors by longjmp, so this frame holds no object with a destructor.
bool encode(png_structp png, png_infop info, const Encoding* e) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_write_fn(png, e->out, appendToVector, nullptr);
    png_set_IHDR(png, info, e->width, e->height, e->depth, e->colorType, e->interlace,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (e->paletteSize > 0) {
        png_set_PLTE(png, info, e->palette, e->paletteSize);
        png_set_tRNS(png, info, e->paletteAlpha, e->paletteSize, nullptr);
    }
    png_write_info(png, info);
    png_write_image(png, e->rows);
    png_write_end(png, nullptr);
    return true;
}

// Writes the reference image in `format` with libpng, to memory.
std::vector<std::uint8_t> writePng(Format format, std::uint32_t width = kW,
                                   std::uint32_t height = kH) {
    int colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    int depth = 8;
    int channels = 4;
    switch (format) {
        case Format::Rgb8: colorType = PNG_COLOR_TYPE_RGB; channels = 3; break;
        case Format::Grey8: colorType = PNG_COLOR_TYPE_GRAY; channels = 1; break;
        case Format::GreyAlpha8: colorType = PNG_COLOR_TYPE_GRAY_ALPHA; channels = 2; break;
        case Format::Rgba16: depth = 16; break;
        case Format::Palette: colorType = PNG_COLOR_TYPE_PALETTE; channels = 1; break;
        case Format::Rgba8:
        case Format::Interlaced: break;
    }
    std::vector<png_color> palette;
    std::vector<png_byte> paletteAlpha;
    if (format == Format::Palette) {
        // One palette entry per pixel, with its alpha in tRNS.
        for (std::uint32_t y = 0; y < height; ++y) {
            for (std::uint32_t x = 0; x < width; ++x) {
                const auto p = expectedPixel(x, y, true, false);
                palette.push_back({p[0], p[1], p[2]});
                paletteAlpha.push_back(p[3]);
            }
        }
    }
    const bool grey = format == Format::Grey8 || format == Format::GreyAlpha8;
    const bool alpha = channels == 4 || channels == 2 || format == Format::Palette;
    const std::size_t bytesPerSample = depth / 8;
    std::vector<std::uint8_t> image(width * height * channels * bytesPerSample);
    std::vector<png_bytep> rows(height);
    for (std::uint32_t y = 0; y < height; ++y) {
        rows[y] = image.data() + y * width * channels * bytesPerSample;
        for (std::uint32_t x = 0; x < width; ++x) {
            const auto p = expectedPixel(x, y, alpha, grey);
            std::uint8_t* px = rows[y] + x * channels * bytesPerSample;
            if (format == Format::Palette) {
                px[0] = static_cast<std::uint8_t>(y * width + x);
            } else if (grey) {
                px[0] = p[0];
                if (channels == 2) {
                    px[1] = p[3];
                }
            } else {
                for (int c = 0; c < channels; ++c) {
                    // 16-bit samples are the 8-bit value repeated, so stripping gives it back.
                    for (std::size_t b = 0; b < bytesPerSample; ++b) {
                        px[c * bytesPerSample + b] = p[static_cast<std::size_t>(c)];
                    }
                }
            }
        }
    }
    std::vector<std::uint8_t> out;
    const Encoding encoding{width, height, depth, colorType,
                            format == Format::Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                            palette.data(), paletteAlpha.data(), static_cast<int>(palette.size()),
                            rows.data(), &out};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    const bool written = encode(png, info, &encoding);
    png_destroy_write_struct(&png, &info);
    if (!written) {
        ADD_FAILURE() << "libpng could not write the test image";
        return {};
    }
    return out;
}

class ToolkitPngFormats : public ::testing::TestWithParam<PngCase> {};

TEST_P(ToolkitPngFormats, DecodesToStraightRgba8) {
    const Format format = GetParam().format;
    const std::vector<std::uint8_t> file = writePng(format);
    const auto image = platform::decodePng(file);
    ASSERT_TRUE(image.has_value());
    ASSERT_EQ(image->width, kW);
    ASSERT_EQ(image->height, kH);
    ASSERT_EQ(image->rgba.size(), std::size_t{4} * kW * kH);
    const bool grey = format == Format::Grey8 || format == Format::GreyAlpha8;
    const bool alpha = format != Format::Rgb8 && format != Format::Grey8;
    for (std::uint32_t y = 0; y < kH; ++y) {
        for (std::uint32_t x = 0; x < kW; ++x) {
            const auto want = expectedPixel(x, y, alpha, grey);
            const std::uint8_t* got = &image->rgba[(y * kW + x) * 4];
            for (int c = 0; c < 4; ++c) {
                EXPECT_EQ(got[c], want[static_cast<std::size_t>(c)])
                    << "pixel " << x << "," << y << " channel " << c;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ToolkitPngFormats,
                         ::testing::Values(PngCase{"Rgba8", Format::Rgba8},
                                           PngCase{"Rgb8", Format::Rgb8},
                                           PngCase{"Grey8", Format::Grey8},
                                           PngCase{"GreyAlpha8", Format::GreyAlpha8},
                                           PngCase{"Rgba16", Format::Rgba16},
                                           PngCase{"Palette", Format::Palette},
                                           PngCase{"Interlaced", Format::Interlaced}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ToolkitPngDecode, EveryTruncationFails) {
    const std::vector<std::uint8_t> file = writePng(Format::Rgba8, 16, 16);
    ASSERT_TRUE(platform::decodePng(file).has_value());
    for (std::size_t length = 0; length < file.size(); ++length) {
        EXPECT_FALSE(platform::decodePng({file.data(), length}).has_value()) << "cut at " << length;
    }
}

struct CorruptCase {
    const char* name;
    const char* chunk;
    std::size_t offset;  // into the chunk's data
    std::uint8_t value;
    bool fixCrc;  // so the damage reaches the check behind the CRC
};

// Start of the data of the first chunk of `type`.
std::size_t chunkData(const std::vector<std::uint8_t>& file, const char* type) {
    for (std::size_t pos = 8; pos + 8 <= file.size();) {
        const std::uint32_t length = (std::uint32_t{file[pos]} << 24) | (file[pos + 1] << 16) |
                                     (file[pos + 2] << 8) | file[pos + 3];
        if (std::memcmp(&file[pos + 4], type, 4) == 0) {
            return pos + 8;
        }
        pos += 12 + length;
    }
    ADD_FAILURE() << "no " << type << " chunk";
    return 0;
}

void fixChunkCrc(std::vector<std::uint8_t>& file, std::size_t data) {
    const std::uint32_t length = (std::uint32_t{file[data - 8]} << 24) | (file[data - 7] << 16) |
                                 (file[data - 6] << 8) | file[data - 5];
    const auto crc = static_cast<std::uint32_t>(crc32(0, &file[data - 4], length + 4));
    for (int i = 0; i < 4; ++i) {
        file[data + length + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    }
}

class ToolkitPngCorrupt : public ::testing::TestWithParam<CorruptCase> {};

TEST_P(ToolkitPngCorrupt, Fails) {
    const CorruptCase& c = GetParam();
    std::vector<std::uint8_t> file = writePng(Format::Rgba8, 16, 16);
    const std::size_t data = chunkData(file, c.chunk);
    ASSERT_GT(data, 0u);
    file[data + c.offset] = c.value;
    if (c.fixCrc) {
        fixChunkCrc(file, data);
    }
    EXPECT_FALSE(platform::decodePng(file).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToolkitPngCorrupt,
    ::testing::Values(CorruptCase{"HeaderCrc", "IHDR", 8, 16, false},
                      CorruptCase{"ZeroWidth", "IHDR", 3, 0, true},
                      CorruptCase{"BadDepth", "IHDR", 8, 7, true},
                      CorruptCase{"BadColorType", "IHDR", 9, 5, true},
                      CorruptCase{"PixelCrc", "IDAT", 5, 0x5A, false},
                      CorruptCase{"BrokenDeflate", "IDAT", 0, 0xFF, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ToolkitPngDecode, RefusesGarbageAndOversizedImages) {
    EXPECT_FALSE(platform::decodePng({}).has_value());
    const std::vector<std::uint8_t> garbage(300, 0xA5);
    EXPECT_FALSE(platform::decodePng(garbage).has_value());
    // A valid file whose header claims more columns than the decoder accepts.
    const std::vector<std::uint8_t> wide = writePng(Format::Grey8, platform::kMaxDecodedSide + 1, 1);
    ASSERT_FALSE(wide.empty());
    EXPECT_FALSE(platform::decodePng(wide).has_value());
}

TEST(ToolkitPngDecode, BitmapPremultipliesTheDecodedPixels) {
    const std::vector<std::uint8_t> file = writePng(Format::Rgba8);
    const auto bitmap = toolkit::Bitmap::fromPng(file);
    ASSERT_TRUE(bitmap.has_value());
    EXPECT_EQ(bitmap->width(), static_cast<int>(kW));
    const auto p = expectedPixel(4, 2, true, false);  // alpha 55
    const toolkit::Pixel want = toolkit::Color{p[0], p[1], p[2], p[3]}.premultiplied();
    EXPECT_EQ(bitmap->at(4, 2), want);
    EXPECT_FALSE(toolkit::Bitmap::fromPng({file.data(), file.size() / 2}).has_value());
}

}  // namespace
