// An axis-aligned pixel rectangle, left/top inclusive and right/bottom exclusive, so an empty
// rectangle has no pixels and adjacent rectangles share no pixel.
#pragma once

#include <algorithm>

#include "toolkit/Point.h"

namespace toolkit {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    static constexpr Rect fromSize(int x, int y, int width, int height) {
        return {x, y, x + width, y + height};
    }

    friend bool operator==(const Rect&, const Rect&) = default;

    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    constexpr bool empty() const { return right <= left || bottom <= top; }
    constexpr Point topLeft() const { return {left, top}; }

    constexpr bool contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    constexpr bool contains(const Rect& r) const {
        return r.left >= left && r.top >= top && r.right <= right && r.bottom <= bottom;
    }
    constexpr bool intersects(const Rect& r) const { return !intersection(r).empty(); }

    // Empty results are normalised to a zero rectangle so they compare equal.
    constexpr Rect intersection(const Rect& r) const {
        const Rect result{std::max(left, r.left), std::max(top, r.top), std::min(right, r.right),
                          std::min(bottom, r.bottom)};
        return result.empty() ? Rect{} : result;
    }
    // The union of an empty rectangle and another is the other.
    constexpr Rect united(const Rect& r) const {
        if (empty()) {
            return r;
        }
        if (r.empty()) {
            return *this;
        }
        return {std::min(left, r.left), std::min(top, r.top), std::max(right, r.right),
                std::max(bottom, r.bottom)};
    }
    constexpr Rect offset(int dx, int dy) const {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
    constexpr Rect offset(Point d) const { return offset(d.x, d.y); }
    constexpr Rect inset(int dx, int dy) const {
        return {left + dx, top + dy, right - dx, bottom - dy};
    }
    constexpr int area() const { return empty() ? 0 : width() * height(); }
};

}  // namespace toolkit
