#include "Canvas.h"

#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace art {

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {
    // Grey anti-aliasing and light hinting: crisp small text that looks the same on any screen.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr_, options);
    cairo_font_options_destroy(options);
}

Canvas::~Canvas() {
    if (cr_ != nullptr) {
        cairo_destroy(cr_);
        cairo_surface_destroy(surface_);
    }
}

Canvas::Canvas(Canvas&& other) noexcept
    : width_(other.width_),
      height_(other.height_),
      surface_(std::exchange(other.surface_, nullptr)),
      cr_(std::exchange(other.cr_, nullptr)) {}

void Canvas::paintVerticalFrames(int frames, const std::function<void(int index)>& paint) {
    const int frameHeight = height_ / frames;
    for (int i = 0; i < frames; ++i) {
        cairo_save(cr_);
        cairo_translate(cr_, 0, i * frameHeight);
        cairo_rectangle(cr_, 0, 0, width_, frameHeight);
        cairo_clip(cr_);
        paint(i);
        cairo_restore(cr_);
    }
}

void Canvas::setColor(Rgb color, double alpha) const {
    cairo_set_source_rgba(cr_, color.r, color.g, color.b, alpha);
}

void Canvas::setGradient(double x0, double y0, Rgb from, double x1, double y1, Rgb to) const {
    cairo_pattern_t* gradient = cairo_pattern_create_linear(x0, y0, x1, y1);
    cairo_pattern_add_color_stop_rgb(gradient, 0, from.r, from.g, from.b);
    cairo_pattern_add_color_stop_rgb(gradient, 1, to.r, to.g, to.b);
    cairo_set_source(cr_, gradient);
    cairo_pattern_destroy(gradient);
}

void Canvas::roundedRect(double x, double y, double width, double height, double radius) const {
    constexpr double kQuarter = 1.5707963267948966;
    cairo_new_sub_path(cr_);
    cairo_arc(cr_, x + width - radius, y + radius, radius, -kQuarter, 0);
    cairo_arc(cr_, x + width - radius, y + height - radius, radius, 0, kQuarter);
    cairo_arc(cr_, x + radius, y + height - radius, radius, kQuarter, 2 * kQuarter);
    cairo_arc(cr_, x + radius, y + radius, radius, 2 * kQuarter, 3 * kQuarter);
    cairo_close_path(cr_);
}

void Canvas::selectFont(double size, bool bold) const {
    cairo_select_font_face(cr_, style::kFontFamily, CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr_, size);
}

double Canvas::textWidth(const char* text, double size, bool bold, double spacing) const {
    selectFont(size, bold);
    double width = 0;
    const std::size_t length = std::strlen(text);
    for (std::size_t i = 0; i < length; ++i) {
        const char letter[2] = {text[i], 0};
        cairo_text_extents_t extents;
        cairo_text_extents(cr_, letter, &extents);
        width += extents.x_advance + (i + 1 < length ? spacing : 0);
    }
    return width;
}

void Canvas::drawText(const char* text, double x, double baseline, double size, bool bold,
                      double spacing) const {
    selectFont(size, bold);
    for (const char* c = text; *c != 0; ++c) {
        const char letter[2] = {*c, 0};
        cairo_move_to(cr_, x, baseline);
        cairo_show_text(cr_, letter);
        cairo_text_extents_t extents;
        cairo_text_extents(cr_, letter, &extents);
        x += extents.x_advance + spacing;
    }
}

namespace {

constexpr int kBitsPerChannel = 8;

// Cairo keeps premultiplied native-endian 0xAARRGGBB words; PNG wants straight RGBA bytes.
std::vector<png_byte> straightRgba(cairo_surface_t* surface, int width, int height) {
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    std::vector<png_byte> rgba(static_cast<std::size_t>(width) * height * 4);
    png_byte* out = rgba.data();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint32_t word;
            std::memcpy(&word, data + y * stride + x * 4, sizeof word);
            const unsigned a = word >> 24;
            for (const int shift : {16, 8, 0}) {
                const unsigned c = (word >> shift) & 0xFF;
                *out++ = static_cast<png_byte>(a == 0 ? 0 : (c * 255 + a / 2) / a);
            }
            *out++ = static_cast<png_byte>(a);
        }
    }
    return rgba;
}

}  // namespace

bool Canvas::writePng(const std::string& path) const {
    cairo_surface_flush(surface_);
    const std::vector<png_byte> rgba = straightRgba(surface_, width_, height_);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file.get());
    png_set_compression_level(png, Z_BEST_COMPRESSION);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width_), static_cast<png_uint_32>(height_),
                 kBitsPerChannel, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    // Which program made the file; no time stamp, so every build writes the same bytes.
    png_text software{};
    software.compression = PNG_TEXT_COMPRESSION_NONE;
    software.key = const_cast<png_charp>("Software");
    software.text = const_cast<png_charp>("velkor-art (tools/velkor-art)");
    png_set_text(png, info, &software, 1);
    png_write_info(png, info);
    for (int y = 0; y < height_; ++y) {
        png_write_row(png, rgba.data() + static_cast<std::size_t>(y) * width_ * 4);
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return std::fflush(file.get()) == 0;
}

}  // namespace art
