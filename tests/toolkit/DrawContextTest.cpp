// Drawing measured on the pixels it leaves: clipping, blending, lines, rounded corners, bitmap
// strips and text placement.
#include "toolkit/DrawContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "toolkit/PixelProbe.h"

namespace toolkit {
namespace {

using test::inkOn;

constexpr Pixel kClear{};
constexpr Color kRed{255, 0, 0};

struct FillCase {
    const char* name;
    Point translate;
    Rect clip;  // after translating
    Rect fill;
    Rect expected;  // framebuffer coordinates
};

class ToolkitDrawFill : public ::testing::TestWithParam<FillCase> {};

TEST_P(ToolkitDrawFill, PaintsExactlyTheClippedRectangle) {
    const FillCase& c = GetParam();
    Framebuffer fb(40, 30);
    DrawContext dc(fb);
    dc.translate(c.translate.x, c.translate.y);
    dc.clipTo(c.clip);
    dc.fillRect(c.fill, kRed);
    const auto ink = inkOn(fb, kClear);
    EXPECT_EQ(ink.box, c.expected);
    EXPECT_EQ(ink.count, c.expected.area());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToolkitDrawFill,
    ::testing::Values(
        FillCase{"Inside", {0, 0}, {0, 0, 40, 30}, {5, 6, 15, 10}, {5, 6, 15, 10}},
        FillCase{"PastFramebuffer", {0, 0}, {-10, -10, 100, 100}, {30, 20, 60, 60}, {30, 20, 40, 30}},
        FillCase{"NegativeCorner", {0, 0}, {0, 0, 40, 30}, {-5, -5, 3, 2}, {0, 0, 3, 2}},
        FillCase{"Clipped", {0, 0}, {10, 10, 20, 20}, {0, 0, 40, 30}, {10, 10, 20, 20}},
        FillCase{"Translated", {7, 3}, {0, 0, 10, 10}, {-2, -2, 5, 4}, {7, 3, 12, 7}},
        FillCase{"OutsideClip", {0, 0}, {0, 0, 10, 10}, {20, 20, 30, 25}, {}},
        FillCase{"Empty", {0, 0}, {0, 0, 40, 30}, {10, 10, 10, 20}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct BlendCase {
    const char* name;
    Color under;
    Color over;
    Pixel expected;  // premultiplied
};

class ToolkitDrawBlend : public ::testing::TestWithParam<BlendCase> {};

TEST_P(ToolkitDrawBlend, SourceOverInPremultipliedPixels) {
    const BlendCase& c = GetParam();
    Framebuffer fb(2, 2);
    DrawContext dc(fb);
    dc.fillRect(fb.bounds(), c.under);
    dc.fillRect(fb.bounds(), c.over);
    EXPECT_EQ(fb.at(1, 1), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToolkitDrawBlend,
    ::testing::Values(
        BlendCase{"OpaqueReplaces", {0, 0, 255, 255}, {255, 0, 0, 255}, {255, 0, 0, 255}},
        BlendCase{"HalfOverOpaque", {0, 0, 255, 255}, {255, 0, 0, 128}, {128, 0, 127, 255}},
        BlendCase{"QuarterOverWhite", {255, 255, 255, 255}, {0, 0, 0, 64}, {191, 191, 191, 255}},
        BlendCase{"TransparentKeeps", {10, 20, 30, 255}, {255, 255, 255, 0}, {10, 20, 30, 255}},
        BlendCase{"HalfOverNothing", {0, 0, 0, 0}, {200, 100, 0, 128}, {100, 50, 0, 128}},
        BlendCase{"HalfOverHalf", {0, 255, 0, 128}, {255, 0, 0, 128}, {128, 64, 0, 192}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ToolkitDrawContext, RestoreBringsBackClipAndOriginAndClipNeverWidens) {
    Framebuffer fb(20, 20);
    DrawContext dc(fb);
    dc.clipTo({0, 0, 10, 10});
    dc.save();
    dc.translate(5, 5);
    dc.clipTo({-100, -100, 100, 100});  // wider than the current clip: no effect
    EXPECT_EQ(dc.clip(), (Rect{-5, -5, 5, 5}));
    dc.fillRect({0, 0, 20, 20}, kRed);
    dc.restore();
    EXPECT_EQ(dc.origin(), (Point{0, 0}));
    EXPECT_EQ(inkOn(fb, kClear).box, (Rect{5, 5, 10, 10}));
}

struct LineCase {
    const char* name;
    Point from;
    Point to;
};

class ToolkitDrawLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(ToolkitDrawLine, OnePixelPerStepWithBothEnds) {
    const LineCase& c = GetParam();
    Framebuffer fb(32, 32);
    DrawContext dc(fb);
    dc.drawLine(c.from, c.to, kRed);
    const int steps = std::max(std::abs(c.to.x - c.from.x), std::abs(c.to.y - c.from.y));
    const auto ink = inkOn(fb, kClear);
    EXPECT_EQ(ink.count, steps + 1);
    EXPECT_EQ(fb.at(c.from.x, c.from.y), kRed.premultiplied());
    EXPECT_EQ(fb.at(c.to.x, c.to.y), kRed.premultiplied());
    EXPECT_EQ(ink.box, (Rect{std::min(c.from.x, c.to.x), std::min(c.from.y, c.to.y),
                             std::max(c.from.x, c.to.x) + 1, std::max(c.from.y, c.to.y) + 1}));
}

INSTANTIATE_TEST_SUITE_P(Cases, ToolkitDrawLine,
                         ::testing::Values(LineCase{"Horizontal", {2, 5}, {20, 5}},
                                           LineCase{"Vertical", {7, 30}, {7, 1}},
                                           LineCase{"Diagonal", {0, 0}, {31, 31}},
                                           LineCase{"Shallow", {3, 4}, {29, 11}},
                                           LineCase{"SteepBackwards", {25, 30}, {20, 2}},
                                           LineCase{"Point", {9, 9}, {9, 9}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ToolkitDrawContext, RoundedRectangleCutsCornersAndSmoothsTheArc) {
    Framebuffer fb(40, 40);
    DrawContext dc(fb);
    const Rect r{4, 4, 36, 30};
    dc.fillRoundedRect(r, 8, kRed);
    const Pixel full = kRed.premultiplied();
    EXPECT_EQ(fb.at(4, 4), kClear) << "corner pixel lies outside the arc";
    EXPECT_EQ(fb.at(35, 29), kClear);
    EXPECT_EQ(fb.at(20, 4), full) << "edge midpoints are fully covered";
    EXPECT_EQ(fb.at(4, 17), full);
    EXPECT_EQ(fb.at(20, 17), full);
    EXPECT_EQ(inkOn(fb, kClear).box, r);
    int partial = 0;
    for (int y = 4; y < 12; ++y) {
        for (int x = 4; x < 12; ++x) {
            partial += fb.at(x, y).a > 0 && fb.at(x, y).a < 255 ? 1 : 0;
        }
    }
    EXPECT_GE(partial, 4) << "the arc is antialiased";

    Framebuffer ring(40, 40);
    DrawContext rc(ring);
    rc.strokeRoundedRect(r, 8, kRed, 2);
    EXPECT_EQ(ring.at(20, 17), kClear) << "a stroke leaves the inside alone";
    EXPECT_EQ(ring.at(20, 4), full);
    EXPECT_EQ(ring.at(20, 5), full);
    EXPECT_EQ(ring.at(20, 6), kClear);
}

// A vertical strip of 4 frames of 3 x 2 pixels; frame n is filled with grey level 60 * (n + 1).
Bitmap greyStrip(StripOrientation orientation) {
    constexpr int kFrames = 4;
    const bool vertical = orientation == StripOrientation::Vertical;
    const int w = vertical ? 3 : 3 * kFrames;
    const int h = vertical ? 2 * kFrames : 2;
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int frame = vertical ? y / 2 : x / 3;
            const auto level = static_cast<std::uint8_t>(60 * (frame + 1));
            rgba.insert(rgba.end(), {level, level, level, 255});
        }
    }
    Bitmap bitmap = Bitmap::fromStraightRgba(w, h, rgba);
    bitmap.setFrames(kFrames, orientation);
    return bitmap;
}

class ToolkitDrawStrip : public ::testing::TestWithParam<StripOrientation> {};

TEST_P(ToolkitDrawStrip, BlitsFrameNOnly) {
    const Bitmap strip = greyStrip(GetParam());
    ASSERT_EQ(strip.frameWidth(), 3);
    ASSERT_EQ(strip.frameHeight(), 2);
    for (int frame = 0; frame < 4; ++frame) {
        Framebuffer fb(10, 10);
        DrawContext dc(fb);
        dc.drawBitmapFrame(strip, frame, {5, 6});
        const auto level = static_cast<std::uint8_t>(60 * (frame + 1));
        const auto ink = inkOn(fb, kClear);
        EXPECT_EQ(ink.box, (Rect{5, 6, 8, 8})) << frame;
        EXPECT_EQ(ink.count, 6);
        EXPECT_EQ(fb.at(7, 7), (Pixel{level, level, level, 255})) << frame;
    }
}

INSTANTIATE_TEST_SUITE_P(Orientations, ToolkitDrawStrip,
                         ::testing::Values(StripOrientation::Vertical,
                                           StripOrientation::Horizontal));

TEST(ToolkitDrawContext, BitmapBlitIsClippedAndScaledByAlpha) {
    const Bitmap strip = greyStrip(StripOrientation::Vertical);
    Framebuffer fb(10, 10);
    DrawContext dc(fb);
    dc.drawBitmapFrame(strip, 2, {-2, -1}, 128);
    const auto ink = inkOn(fb, kClear);
    EXPECT_EQ(ink.box, (Rect{0, 0, 1, 1}));
    EXPECT_EQ(fb.at(0, 0), (Pixel{90, 90, 90, 128}));
}

struct FrameValueCase {
    float value;
    int frame;  // of 29
};

class ToolkitBitmapFrames : public ::testing::TestWithParam<FrameValueCase> {};

TEST_P(ToolkitBitmapFrames, ValueSelectsTheNearestFrame) {
    Bitmap knob = Bitmap::fromStraightRgba(41, 1189, {});
    knob.setFrames(29);
    EXPECT_EQ(knob.frameHeight(), 41);
    EXPECT_EQ(knob.frameForValue(GetParam().value), GetParam().frame);
    EXPECT_EQ(knob.frameRect(GetParam().frame).top, 41 * GetParam().frame);
}

INSTANTIATE_TEST_SUITE_P(Cases, ToolkitBitmapFrames,
                         ::testing::Values(FrameValueCase{0.0f, 0}, FrameValueCase{1.0f, 28},
                                           FrameValueCase{0.5f, 14}, FrameValueCase{0.017f, 0},
                                           FrameValueCase{0.019f, 1}, FrameValueCase{-3.0f, 0},
                                           FrameValueCase{7.0f, 28}));

// Text: placement and width measured on the ink.
TEST(ToolkitDrawText, InkLiesBetweenPenAndAdvanceAndAboutTheBaseline) {
    const Font font = Font::nearest(13);
    Framebuffer fb(200, 40);
    DrawContext dc(fb);
    const Point pen{10, 25};
    const int advance = dc.drawText("Hello World", pen, font, {0, 0, 0});
    EXPECT_EQ(advance, font.textWidth("Hello World"));
    const auto ink = inkOn(fb, kClear);
    ASSERT_FALSE(ink.box.empty());
    EXPECT_GE(ink.box.left, pen.x);
    EXPECT_LE(ink.box.left, pen.x + 2);
    EXPECT_LE(ink.box.right, pen.x + advance);
    EXPECT_GE(ink.box.right, pen.x + advance - 3);
    EXPECT_GE(ink.box.top, pen.y - font.ascent());
    EXPECT_LE(ink.box.top, pen.y - 8) << "capitals reach well above the baseline at 13 px";
    EXPECT_EQ(ink.box.bottom, pen.y) << "no descenders in this text";
}

TEST(ToolkitDrawText, WidthsAddAdvancesAndKerning) {
    const Font font = Font::nearest(11);
    // DejaVu's digits share one advance, so columns of numbers line up.
    EXPECT_EQ(font.textWidth("0123456789"), 10 * font.textWidth("0"));
    EXPECT_EQ(font.textWidth(""), 0);
    const int kern = font.kerning(U'T', U'o');
    EXPECT_LT(kern, 0) << "the face kerns T against o";
    EXPECT_EQ(font.textWidth("To"), font.textWidth("T") + font.textWidth("o") + kern);
    // A character the atlas lacks prints as '?'.
    EXPECT_EQ(font.textWidth("\u4E00"), font.textWidth("?"));
    EXPECT_EQ(font.glyph(0xB0).codepoint, char32_t{0xB0});
    EXPECT_EQ(font.textWidth("\u00B1"), font.glyph(0xB1).advance);
}

TEST(ToolkitDrawText, KerningMovesTheNextGlyph) {
    const Font font = Font::nearest(11);
    const int kern = font.kerning(U'T', U'o');
    ASSERT_NE(kern, 0);
    Framebuffer together(60, 20);
    DrawContext a(together);
    EXPECT_EQ(a.drawText("To", Point{5, 15}, font, {0, 0, 0}), font.textWidth("To"));
    Framebuffer apart(60, 20);
    DrawContext b(apart);
    b.drawText("T", Point{5, 15}, font, {0, 0, 0});
    b.drawText("o", Point{5 + font.textWidth("T") + kern, 15}, font, {0, 0, 0});
    EXPECT_TRUE(std::ranges::equal(together.pixels(), apart.pixels()));
}

struct AlignCase {
    const char* name;
    HAlign h;
    VAlign v;
};

class ToolkitDrawTextAlign : public ::testing::TestWithParam<AlignCase> {};

TEST_P(ToolkitDrawTextAlign, PlacesTheLineInsideItsBox) {
    const AlignCase& c = GetParam();
    const Font font = Font::nearest(10);
    const Rect box{20, 10, 120, 50};
    Framebuffer fb(140, 60);
    DrawContext dc(fb);
    dc.drawText("8.88", box, font, {0, 0, 0}, c.h, c.v);
    const auto ink = inkOn(fb, kClear);
    ASSERT_TRUE(box.contains(ink.box));
    const int slack = 3;  // side bearings and rounding
    if (c.h == HAlign::Left) {
        EXPECT_LE(ink.box.left - box.left, slack);
    } else if (c.h == HAlign::Right) {
        EXPECT_LE(box.right - ink.box.right, slack);
    } else {
        EXPECT_LE(std::abs((ink.box.left + ink.box.right) - (box.left + box.right)), 2 * slack);
    }
    const int textTop = ink.box.bottom - font.ascent();  // digits sit on the baseline
    if (c.v == VAlign::Top) {
        EXPECT_LE(std::abs(textTop - box.top), slack);
    } else if (c.v == VAlign::Bottom) {
        EXPECT_LE(std::abs(ink.box.bottom + font.descent() - box.bottom), slack);
    } else {
        EXPECT_LE(std::abs(textTop + ink.box.bottom + font.descent() - box.top - box.bottom),
                  2 * slack);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ToolkitDrawTextAlign,
                         ::testing::Values(AlignCase{"LeftTop", HAlign::Left, VAlign::Top},
                                           AlignCase{"CenterCenter", HAlign::Center, VAlign::Center},
                                           AlignCase{"RightBottom", HAlign::Right, VAlign::Bottom}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ToolkitDrawText, ClippedToItsBox) {
    const Font font = Font::nearest(16, FontWeight::Bold);
    Framebuffer fb(100, 30);
    DrawContext dc(fb);
    const Rect box{10, 5, 40, 25};
    dc.drawText("A long label that does not fit", box, font, {0, 0, 0});
    const auto ink = inkOn(fb, kClear);
    EXPECT_TRUE(box.contains(ink.box));
    EXPECT_GE(ink.box.right, box.right - 2) << "text runs up to the box edge";
}

}  // namespace
}  // namespace toolkit
