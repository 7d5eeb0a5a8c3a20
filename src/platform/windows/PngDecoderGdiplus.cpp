// decodePng with GDI+ (libpng is not part of the Windows build): the bytes become a memory stream,
// GDI+ decodes it, and the pixels are read back as straight-alpha BGRA and reordered to RGBA.
#include <windows.h>
#include <objidl.h>
#include <shlwapi.h>
#include <gdiplus.h>

#include <array>
#include <cstring>

#include "platform/ImageDecoder.h"

namespace platform {

namespace {

constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// GDI+ counts its users, so a start per decode costs little and leaves no state behind.
class GdiplusSession {
public:
    GdiplusSession() {
        const Gdiplus::GdiplusStartupInput input;
        started_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession() {
        if (started_) {
            Gdiplus::GdiplusShutdown(token_);
        }
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool started() const { return started_; }

private:
    ULONG_PTR token_ = 0;
    bool started_ = false;
};

class MemoryStream {
public:
    explicit MemoryStream(std::span<const std::uint8_t> bytes)
        : stream_(SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size()))) {}
    ~MemoryStream() {
        if (stream_ != nullptr) {
            stream_->Release();
        }
    }
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;
    IStream* get() const { return stream_; }

private:
    IStream* stream_;
};

class GdiplusBitmap {
public:
    explicit GdiplusBitmap(IStream* stream) {
        if (Gdiplus::DllExports::GdipCreateBitmapFromStream(stream, &bitmap_) != Gdiplus::Ok) {
            bitmap_ = nullptr;
        }
    }
    ~GdiplusBitmap() {
        if (bitmap_ != nullptr) {
            Gdiplus::DllExports::GdipDisposeImage(bitmap_);
        }
    }
    GdiplusBitmap(const GdiplusBitmap&) = delete;
    GdiplusBitmap& operator=(const GdiplusBitmap&) = delete;
    Gdiplus::GpBitmap* get() const { return bitmap_; }

private:
    Gdiplus::GpBitmap* bitmap_ = nullptr;
};

bool copyPixels(Gdiplus::GpBitmap* bitmap, DecodedImage& image) {
    const Gdiplus::GpRect whole(0, 0, static_cast<INT>(image.width), static_cast<INT>(image.height));
    Gdiplus::BitmapData locked{};
    if (Gdiplus::DllExports::GdipBitmapLockBits(bitmap, &whole, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB,
                                                &locked) != Gdiplus::Ok) {
        return false;
    }
    image.rgba.resize(std::size_t{4} * image.width * image.height);
    for (std::uint32_t y = 0; y < image.height; ++y) {
        const auto* row = static_cast<const std::uint8_t*>(locked.Scan0) + static_cast<std::ptrdiff_t>(y) * locked.Stride;
        std::uint8_t* out = image.rgba.data() + std::size_t{4} * image.width * y;
        for (std::uint32_t x = 0; x < image.width; ++x, row += 4, out += 4) {
            out[0] = row[2];
            out[1] = row[1];
            out[2] = row[0];
            out[3] = row[3];
        }
    }
    Gdiplus::DllExports::GdipBitmapUnlockBits(bitmap, &locked);
    return true;
}

}  // namespace

std::optional<DecodedImage> decodePng(std::span<const std::uint8_t> bytes) {
    // GDI+ reads other formats too; only PNG is asked for.
    if (bytes.size() < kPngSignature.size() || std::memcmp(bytes.data(), kPngSignature.data(), kPngSignature.size()) != 0) {
        return std::nullopt;
    }
    const GdiplusSession session;
    const MemoryStream stream(bytes);
    if (!session.started() || stream.get() == nullptr) {
        return std::nullopt;
    }
    const GdiplusBitmap bitmap(stream.get());
    UINT width = 0;
    UINT height = 0;
    if (bitmap.get() == nullptr || Gdiplus::DllExports::GdipGetImageWidth(bitmap.get(), &width) != Gdiplus::Ok ||
        Gdiplus::DllExports::GdipGetImageHeight(bitmap.get(), &height) != Gdiplus::Ok || width == 0 || height == 0 ||
        width > kMaxDecodedSide || height > kMaxDecodedSide) {
        return std::nullopt;
    }
    DecodedImage image;
    image.width = width;
    image.height = height;
    if (!copyPixels(bitmap.get(), image)) {
        return std::nullopt;
    }
    return image;
}

}  // namespace platform
