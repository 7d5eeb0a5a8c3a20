#include "toolkit/Framebuffer.h"

#include <algorithm>

namespace toolkit {

Framebuffer::Framebuffer(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_)) {}

void Framebuffer::fill(Pixel value) { std::fill(pixels_.begin(), pixels_.end(), value); }

}  // namespace toolkit
