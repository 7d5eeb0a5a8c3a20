// Drawing into a framebuffer: a stack of clip rectangles and origins, rectangles, lines, rounded
// rectangles, bitmaps (whole or one frame of a strip) and text from the glyph atlases, all
// blended source-over. Coordinates are relative to the current origin; nothing is drawn outside
// the current clip or the framebuffer.
#pragma once

#include <string_view>
#include <vector>

#include "toolkit/Bitmap.h"
#include "toolkit/Color.h"
#include "toolkit/Font.h"
#include "toolkit/Framebuffer.h"
#include "toolkit/Rect.h"

namespace toolkit {

enum class HAlign { Left, Center, Right };
enum class VAlign { Top, Center, Bottom };

class DrawContext {
public:
    explicit DrawContext(Framebuffer& target);

    // save() keeps the clip and origin; restore() brings back the last saved ones.
    void save();
    void restore();
    void translate(int dx, int dy);
    // Narrows the clip to `r` (never widens it).
    void clipTo(const Rect& r);
    Rect clip() const;  // in current coordinates
    Point origin() const { return state_.origin; }
    bool isVisible(const Rect& r) const { return clip().intersects(r); }

    void fillRect(const Rect& r, Color color);
    // A border of `width` pixels inside `r`.
    void strokeRect(const Rect& r, Color color, int width = 1);
    // One pixel wide, both end points drawn.
    void drawLine(Point from, Point to, Color color);
    // Corners are quarter circles of `radius`, edge pixels weighted by their coverage.
    void fillRoundedRect(const Rect& r, int radius, Color color);
    void strokeRoundedRect(const Rect& r, int radius, Color color, int width = 1);

    // Copies `source` (a rectangle of the bitmap) with its top-left at `at`, scaled by `alpha`.
    void drawBitmap(const Bitmap& bitmap, const Rect& source, Point at, std::uint8_t alpha = 255);
    void drawBitmapFrame(const Bitmap& bitmap, int frame, Point at, std::uint8_t alpha = 255);

    // One line starting on the baseline at `pen`; returns the pen's advance.
    int drawText(std::string_view text, Point pen, const Font& font, Color color);
    // One line placed in `box` and clipped to it.
    void drawText(std::string_view text, const Rect& box, const Font& font, Color color,
                  HAlign h = HAlign::Left, VAlign v = VAlign::Center);

private:
    struct State {
        Rect clip;  // in framebuffer coordinates
        Point origin;
    };

    // Blends `color` (premultiplied) scaled by `coverage` into the pixel at framebuffer (x, y)
    // when it lies inside the clip.
    void blendPixel(int x, int y, Pixel color, unsigned coverage);
    void fillRoundedCoverage(const Rect& r, int radius, Color color, int hole);

    Framebuffer& target_;
    State state_;
    std::vector<State> saved_;
};

}  // namespace toolkit
