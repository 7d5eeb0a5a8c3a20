#include "toolkit/DrawContext.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "toolkit/Utf8.h"

namespace toolkit {

namespace {

// Coverage 0..255 of the pixel whose centre is (px, py) by a rectangle with rounded corners.
unsigned roundedCoverage(float px, float py, const Rect& r, float radius) {
    if (px < static_cast<float>(r.left) || px > static_cast<float>(r.right) ||
        py < static_cast<float>(r.top) || py > static_cast<float>(r.bottom)) {
        return 0;
    }
    const float cx = std::clamp(px, static_cast<float>(r.left) + radius,
                                static_cast<float>(r.right) - radius);
    const float cy = std::clamp(py, static_cast<float>(r.top) + radius,
                                static_cast<float>(r.bottom) - radius);
    const float dx = px - cx;
    const float dy = py - cy;
    if (dx == 0.0f && dy == 0.0f) {
        return 255;
    }
    // Distance from the pixel centre to the arc, half a pixel each side blended.
    const float inside = radius + 0.5f - std::sqrt(dx * dx + dy * dy);
    return static_cast<unsigned>(std::lround(std::clamp(inside, 0.0f, 1.0f) * 255.0f));
}

}  // namespace

DrawContext::DrawContext(Framebuffer& target) : target_(target), state_{target.bounds(), {}} {}

void DrawContext::save() { saved_.push_back(state_); }

void DrawContext::restore() {
    if (!saved_.empty()) {
        state_ = saved_.back();
        saved_.pop_back();
    }
}

void DrawContext::translate(int dx, int dy) { state_.origin = state_.origin + Point{dx, dy}; }

void DrawContext::clipTo(const Rect& r) {
    state_.clip = state_.clip.intersection(r.offset(state_.origin));
}

Rect DrawContext::clip() const {
    return state_.clip.offset(-state_.origin.x, -state_.origin.y);
}

void DrawContext::blendPixel(int x, int y, Pixel color, unsigned coverage) {
    if (coverage == 0 || !state_.clip.contains(Point{x, y})) {
        return;
    }
    Pixel& dst = target_.at(x, y);
    dst = blendOver(dst, coverage >= 255 ? color : scaled(color, coverage));
}

void DrawContext::fillRect(const Rect& r, Color color) {
    const Rect area = r.offset(state_.origin).intersection(state_.clip);
    const Pixel src = color.premultiplied();
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            Pixel& dst = target_.at(x, y);
            dst = src.a == 255 ? src : blendOver(dst, src);
        }
    }
}

void DrawContext::strokeRect(const Rect& r, Color color, int width) {
    width = std::clamp(width, 0, std::min(r.width(), r.height()) / 2 + 1);
    if (r.empty() || width == 0) {
        return;
    }
    const int innerTop = std::min(r.top + width, r.bottom);
    const int innerBottom = std::max(r.bottom - width, innerTop);
    fillRect({r.left, r.top, r.right, innerTop}, color);
    fillRect({r.left, innerBottom, r.right, r.bottom}, color);
    fillRect({r.left, innerTop, std::min(r.left + width, r.right), innerBottom}, color);
    fillRect({std::max(r.right - width, r.left + width), innerTop, r.right, innerBottom}, color);
}

void DrawContext::drawLine(Point from, Point to, Color color) {
    const Pixel src = color.premultiplied();
    Point p = from + state_.origin;
    const Point end = to + state_.origin;
    const int dx = std::abs(end.x - p.x);
    const int dy = -std::abs(end.y - p.y);
    const int sx = p.x < end.x ? 1 : -1;
    const int sy = p.y < end.y ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        blendPixel(p.x, p.y, src, 255);
        if (p == end) {
            break;
        }
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            p.x += sx;
        }
        if (twice <= dx) {
            error += dx;
            p.y += sy;
        }
    }
}

void DrawContext::fillRoundedCoverage(const Rect& r, int radius, Color color, int hole) {
    const Rect outer = r.offset(state_.origin);
    const Rect area = outer.intersection(state_.clip);
    const float outerRadius =
        static_cast<float>(std::clamp(radius, 0, std::min(r.width(), r.height()) / 2));
    const Rect inner = outer.inset(hole, hole);
    const float innerRadius = std::max(outerRadius - static_cast<float>(hole), 0.0f);
    const Pixel src = color.premultiplied();
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const float px = static_cast<float>(x) + 0.5f;
            const float py = static_cast<float>(y) + 0.5f;
            int coverage = static_cast<int>(roundedCoverage(px, py, outer, outerRadius));
            if (hole > 0 && !inner.empty()) {
                coverage -= static_cast<int>(roundedCoverage(px, py, inner, innerRadius));
            }
            if (coverage > 0) {
                Pixel& dst = target_.at(x, y);
                dst = blendOver(dst, scaled(src, static_cast<unsigned>(coverage)));
            }
        }
    }
}

void DrawContext::fillRoundedRect(const Rect& r, int radius, Color color) {
    fillRoundedCoverage(r, radius, color, 0);
}

void DrawContext::strokeRoundedRect(const Rect& r, int radius, Color color, int width) {
    if (width > 0) {
        fillRoundedCoverage(r, radius, color, width);
    }
}

void DrawContext::drawBitmap(const Bitmap& bitmap, const Rect& source, Point at,
                             std::uint8_t alpha) {
    const Rect from = source.intersection(bitmap.bounds());
    // Where `from` lands, then the part of it inside the clip.
    const Point shift = at + state_.origin - source.topLeft();
    const Rect area = from.offset(shift).intersection(state_.clip);
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const Pixel src = bitmap.at(x - shift.x, y - shift.y);
            Pixel& dst = target_.at(x, y);
            dst = blendOver(dst, alpha == 255 ? src : scaled(src, alpha));
        }
    }
}

void DrawContext::drawBitmapFrame(const Bitmap& bitmap, int frame, Point at, std::uint8_t alpha) {
    drawBitmap(bitmap, bitmap.frameRect(frame), at, alpha);
}

int DrawContext::drawText(std::string_view text, Point pen, const Font& font, Color color) {
    const Pixel src = color.premultiplied();
    const Point start = pen + state_.origin;
    int x = start.x;
    char32_t previous = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const Glyph& glyph = font.glyph(nextCodepoint(text, pos));
        if (previous != 0) {
            x += font.kerning(previous, glyph.codepoint);
        }
        const Rect box = Rect::fromSize(x + glyph.left, start.y - glyph.top, glyph.width,
                                        glyph.height);
        const Rect area = box.intersection(state_.clip);
        const std::uint8_t* coverage = font.atlas().coverage + glyph.offset;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int gx = area.left; gx < area.right; ++gx) {
                blendPixel(gx, y, src, coverage[(y - box.top) * glyph.width + (gx - box.left)]);
            }
        }
        x += glyph.advance;
        previous = glyph.codepoint;
    }
    return x - start.x;
}

void DrawContext::drawText(std::string_view text, const Rect& box, const Font& font, Color color,
                           HAlign h, VAlign v) {
    const int width = font.textWidth(text);
    const int textHeight = font.ascent() + font.descent();
    int x = box.left;
    if (h == HAlign::Center) {
        x += (box.width() - width) / 2;
    } else if (h == HAlign::Right) {
        x = box.right - width;
    }
    int top = box.top;
    if (v == VAlign::Center) {
        top += (box.height() - textHeight) / 2;
    } else if (v == VAlign::Bottom) {
        top = box.bottom - textHeight;
    }
    save();
    clipTo(box);
    drawText(text, Point{x, top + font.ascent()}, font, color);
    restore();
}

}  // namespace toolkit
