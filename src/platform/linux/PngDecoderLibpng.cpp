// decodePng with libpng. libpng reports errors by longjmp, which must not cross a frame that
// owns C++ objects: the two functions that call setjmp hold only plain pointers and ints, and all
// allocation and cleanup happens in decodePng around them.
#include <png.h>

#include <csetjmp>
#include <cstring>

#include "platform/ImageDecoder.h"

namespace platform {

namespace {

struct MemoryReader {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t position;
};

struct Header {
    png_uint_32 width;
    png_uint_32 height;
    std::size_t rowBytes;
};

extern "C" void readFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (length > reader->size - reader->position) {
        png_error(png, "truncated");
    }
    std::memcpy(out, reader->data + reader->position, length);
    reader->position += length;
}

extern "C" void raiseError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
extern "C" void ignoreWarning(png_structp, png_const_charp) {}

// Reads the header and sets the transforms that turn every format into RGBA8.
bool readHeader(png_structp png, png_infop info, Header* header) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_user_limits(png, kMaxDecodedSide, kMaxDecodedSide);
    png_read_info(png, info);
    png_set_expand(png);  // palette to RGB, low-depth grey to 8 bits, tRNS to alpha
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    header->width = png_get_image_width(png, info);
    header->height = png_get_image_height(png, info);
    header->rowBytes = png_get_rowbytes(png, info);
    return true;
}

bool readRows(png_structp png, png_infop info, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_read_image(png, rows);
    png_read_end(png, info);
    return true;
}

class ReadStruct {
public:
    ReadStruct()
        : png_(png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, raiseError, ignoreWarning)),
          info_(png_ != nullptr ? png_create_info_struct(png_) : nullptr) {}
    ~ReadStruct() { png_destroy_read_struct(&png_, info_ != nullptr ? &info_ : nullptr, nullptr); }
    ReadStruct(const ReadStruct&) = delete;
    ReadStruct& operator=(const ReadStruct&) = delete;

    png_structp png() const { return png_; }
    png_infop info() const { return info_; }

private:
    png_structp png_;
    png_infop info_;
};

}  // namespace

std::optional<DecodedImage> decodePng(std::span<const std::uint8_t> bytes) {
    constexpr std::size_t kSignatureBytes = 8;
    if (bytes.size() < kSignatureBytes || png_sig_cmp(bytes.data(), 0, kSignatureBytes) != 0) {
        return std::nullopt;
    }
    ReadStruct read;
    if (read.info() == nullptr) {
        return std::nullopt;
    }
    MemoryReader reader{bytes.data(), bytes.size(), 0};
    png_set_read_fn(read.png(), &reader, readFromMemory);
    Header header{};
    if (!readHeader(read.png(), read.info(), &header) || header.width == 0 ||
        header.height == 0 || header.rowBytes != std::size_t{4} * header.width) {
        return std::nullopt;
    }
    DecodedImage image;
    image.width = header.width;
    image.height = header.height;
    image.rgba.resize(header.rowBytes * header.height);
    std::vector<png_bytep> rows(header.height);
    for (png_uint_32 y = 0; y < header.height; ++y) {
        rows[y] = image.rgba.data() + y * header.rowBytes;
    }
    if (!readRows(read.png(), read.info(), rows.data())) {
        return std::nullopt;
    }
    return image;
}

}  // namespace platform
