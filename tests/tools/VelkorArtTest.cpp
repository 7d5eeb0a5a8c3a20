// The editor's bitmaps as the plug-in embeds them: each decodes at the size and frame count its
// control expects with no two neighbouring frames alike, every bitmap the control table names
// exists, knob pointers sweep clockwise from -135 to +135 degrees, and every section of the
// background carries its title.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <optional>
#include <string_view>

#include "editor/EditorLayout.h"
#include "params/ControlTable.h"
#include "platform/Platform.h"
#include "toolkit/Bitmap.h"

namespace {

std::optional<toolkit::Bitmap> loadArt(const char* name) {
    return toolkit::Bitmap::fromPng(platform::findResource(name));
}

int brightness(const toolkit::Pixel& p) { return p.r + p.g + p.b; }

int optionCount(std::string_view parameter) {
    for (const ControlDescriptor& row : controlTable()) {
        if (row.name != nullptr && row.options != nullptr && parameter == row.name) {
            int count = 0;
            for (const char* c = row.options; *c != 0; ++c) {
                count += *c == ',' ? 1 : 0;
            }
            return count;
        }
    }
    return -1;
}

bool framesEqual(const toolkit::Bitmap& bitmap, int a, int b) {
    const toolkit::Rect ra = bitmap.frameRect(a);
    const toolkit::Rect rb = bitmap.frameRect(b);
    for (int y = 0; y < bitmap.frameHeight(); ++y) {
        for (int x = 0; x < bitmap.frameWidth(); ++x) {
            if (!(bitmap.at(ra.left + x, ra.top + y) == bitmap.at(rb.left + x, rb.top + y))) {
                return false;
            }
        }
    }
    return true;
}

struct ArtCase {
    const char* file;
    int frameWidth;
    int frameHeight;
    int frames;
    const char* optionsOf;  // the parameter whose option list the frames show, if any
};

constexpr ArtCase kArt[] = {
    {"BG.png", layout::kEditorWidth, layout::kEditorHeight, 1, nullptr},
    {"Knob.png", 41, 41, 29, nullptr},
    {"Knob_Small.png", 29, 29, 29, nullptr},
    {"Switch.png", 30, 16, 2, nullptr},
    {"Switch_Retrig.png", 30, 16, 2, nullptr},
    {"Button.png", 44, 18, 2, nullptr},
    {"Button_Tab.png", 48, 18, 2, nullptr},
    {"Button_Small.png", 18, 18, 2, nullptr},
    {"AsnMidiCC.png", 44, 18, 2, nullptr},
    {"Led.png", 12, 12, 2, nullptr},
    {"Slider_Handle.png", 20, 12, 1, nullptr},
    {"Wave_Options.png", 60, 30, 15, "Osc1 Wave"},
    {"SubWave_Options.png", 60, 30, 7, "SubOsc Wave"},
    {"LfoShape_Options.png", 60, 30, 12, "Lfo1 Shape"},
    {"Credits_Panel.png", layout::kCreditsPanel.width, layout::kCreditsPanel.height, 1, nullptr},
    {"Learn_Panel.png", layout::kLearnPanel.width, layout::kLearnPanel.height, 1, nullptr},
};

class ToolsVelkorArt : public ::testing::TestWithParam<ArtCase> {};

TEST_P(ToolsVelkorArt, DecodesAtItsSizeWithDistinctFrames) {
    const ArtCase& c = GetParam();
    const std::optional<toolkit::Bitmap> art = loadArt(c.file);
    ASSERT_TRUE(art.has_value()) << c.file;
    EXPECT_EQ(art->width(), c.frameWidth);
    ASSERT_EQ(art->height(), c.frameHeight * c.frames);
    if (c.optionsOf != nullptr) {
        EXPECT_EQ(c.frames, optionCount(c.optionsOf)) << "one frame per item of " << c.optionsOf;
    }
    toolkit::Bitmap strip = *art;
    strip.setFrames(c.frames);
    for (int i = 1; i < c.frames; ++i) {
        EXPECT_FALSE(framesEqual(strip, i - 1, i)) << "frames " << i - 1 << " and " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Tools, ToolsVelkorArt, ::testing::ValuesIn(kArt), [](const auto& info) {
    std::string name = info.param.file;
    return name.substr(0, name.find('.'));
});

TEST(ToolsVelkorArtTable, EveryBitmapTheControlTableNamesDecodes) {
    for (const ControlDescriptor& row : controlTable()) {
        if (row.bitmap != nullptr && row.bitmap[0] != 0) {
            EXPECT_TRUE(loadArt(row.bitmap).has_value()) << row.bitmap;
        }
    }
}

// The pointer is the brightest thing on a knob: its angle, clockwise from the top, in degrees.
double pointerAngle(const toolkit::Bitmap& strip, int frame) {
    const toolkit::Rect r = strip.frameRect(frame);
    int brightest = 0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            brightest = std::max(brightest, brightness(strip.at(x, y)));
        }
    }
    constexpr int kCoreTolerance = 30;  // the pointer's core, not its anti-aliased edge
    double sx = 0;
    double sy = 0;
    int count = 0;
    const double centre = strip.frameWidth() / 2.0;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            if (brightness(strip.at(x, y)) >= brightest - kCoreTolerance) {
                sx += x - r.left + 0.5 - centre;
                sy += y - r.top + 0.5 - centre;
                ++count;
            }
        }
    }
    return std::atan2(sx / count, -sy / count) * 180 / 3.141592653589793;
}

class ToolsVelkorArtKnob : public ::testing::TestWithParam<const char*> {};

TEST_P(ToolsVelkorArtKnob, PointerSweepsClockwiseFromMinusToPlus135Degrees) {
    std::optional<toolkit::Bitmap> strip = loadArt(GetParam());
    ASSERT_TRUE(strip.has_value());
    strip->setFrames(layout::kKnobFrames);
    constexpr double kEndToleranceDegrees = 6;
    EXPECT_NEAR(pointerAngle(*strip, 0), -135, kEndToleranceDegrees);
    EXPECT_NEAR(pointerAngle(*strip, layout::kKnobFrames - 1), 135, kEndToleranceDegrees);
    for (int i = 1; i < layout::kKnobFrames; ++i) {
        EXPECT_GT(pointerAngle(*strip, i), pointerAngle(*strip, i - 1)) << "frame " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Tools, ToolsVelkorArtKnob, ::testing::Values("Knob.png", "Knob_Small.png"),
                         [](const auto& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

// Title letters are light grey on a dark strip; neither the strip nor its amber mark has such
// pixels.
TEST(ToolsVelkorArtBackground, EverySectionShowsItsTitle) {
    const std::optional<toolkit::Bitmap> bg = loadArt("BG.png");
    ASSERT_TRUE(bg.has_value());
    constexpr int kLightText = 150;    // every channel above this
    constexpr int kInkPerLetter = 12;  // px a 10 px bold capital covers at least
    for (const layout::Section& section : layout::kSections) {
        const layout::Box& b = section.box;
        int ink = 0;
        for (int y = b.y; y < b.y + layout::kSectionTitleHeight; ++y) {
            for (int x = b.x; x < b.x + b.width; ++x) {
                const toolkit::Pixel& p = bg->at(x, y);
                ink += std::min({p.r, p.g, p.b}) > kLightText ? 1 : 0;
            }
        }
        int letters = 0;
        for (const char* c = section.title; *c != 0; ++c) {
            letters += std::isalnum(static_cast<unsigned char>(*c)) != 0 ? 1 : 0;
        }
        EXPECT_GE(ink, kInkPerLetter * letters) << section.title;
    }
}

}  // namespace
