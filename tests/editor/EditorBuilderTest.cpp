// The table walk on small tables of its own: panels nest and close, and rows of kinds without a
// meaning create nothing and change nothing for the rows after them.
#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "editor/BitmapCache.h"
#include "editor/EditorBuilder.h"
#include "toolkit/Frame.h"

namespace {

constexpr ControlDescriptor row(std::uint16_t kind, int id, int arg, int x, int y) {
    return {.id = static_cast<std::uint32_t>(id), .kind = kind, .arg = static_cast<std::int16_t>(arg),
            .x = static_cast<std::int16_t>(x), .y = static_cast<std::int16_t>(y), .bitmap = nullptr,
            .min = 0, .max = 0, .engMin = 0, .engMax = 0, .name = nullptr, .options = nullptr, .tooltip = nullptr};
}

constexpr ControlDescriptor kBackground = row(0, 0, -1, 0, 0);
constexpr ControlDescriptor kEnd = row(control::kEndOfTable, 0, -1, 0, 0);

class NoListener : public toolkit::ControlListener {
public:
    void valueChanged(toolkit::Control&) override {}
};

struct Built {
    toolkit::Frame frame{991, 701};
    EditorViews views;
};

std::unique_ptr<Built> build(const std::vector<ControlDescriptor>& rows) {
    auto built = std::make_unique<Built>();
    BitmapCache bitmaps;
    NoListener listener;
    EditorBuilder(bitmaps, listener, built->views).build(rows, built->frame);
    return built;
}

// A panel in a section, a sub-panel inside it, and a second panel after both closed.
std::vector<ControlDescriptor> nestedPanels(std::vector<ControlDescriptor> between) {
    std::vector<ControlDescriptor> rows{kBackground, row(control::kHiddenPanel, 1, -1, 740, 260)};
    rows.insert(rows.end(), between.begin(), between.end());
    rows.insert(rows.end(), {row(control::kSubPanel, 2, -1, 10, 20), row(control::kClosePanel, 0, -1, 0, 0),
                             row(control::kClosePanel, 0, -1, 0, 0), row(control::kHiddenPanel, 3, -1, 12, 70),
                             row(control::kClosePanel, 0, -1, 0, 0), kEnd});
    return rows;
}

TEST(EditorBuilder, PanelsNestHiddenAndReachToTheEndOfTheirSection) {
    const auto built = build(nestedPanels({}));
    const auto& top = built->frame.children();
    ASSERT_EQ(top.size(), 2u);
    const auto* first = dynamic_cast<const toolkit::ContainerView*>(top[0].get());
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->isOpen());
    // "LFO 1-3" ends at 985 x 370.
    EXPECT_EQ(first->rect(), (toolkit::Rect{740, 260, 985, 370}));
    ASSERT_EQ(first->children().size(), 1u);
    EXPECT_EQ(first->children()[0]->rect(), (toolkit::Rect{10, 20, 245, 110}));
    EXPECT_EQ(top[1]->rect(), (toolkit::Rect{12, 70, 306, 206}));  // inside "OSC"
}

struct IgnoredCase {
    const char* name;
    ControlDescriptor row;
};

void PrintTo(const IgnoredCase& c, std::ostream* out) { *out << c.name; }

class EditorBuilderIgnores : public ::testing::TestWithParam<IgnoredCase> {};

TEST_P(EditorBuilderIgnores, ARowWithoutMeaningLeavesTheBuildAlone) {
    const auto plain = build(nestedPanels({}));
    const auto withRow = build(nestedPanels({GetParam().row}));
    ASSERT_EQ(withRow->frame.children().size(), plain->frame.children().size());
    for (std::size_t i = 0; i < plain->frame.children().size(); ++i) {
        const auto* a = dynamic_cast<const toolkit::ContainerView*>(plain->frame.children()[i].get());
        const auto* b = dynamic_cast<const toolkit::ContainerView*>(withRow->frame.children()[i].get());
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->rect(), a->rect());
        EXPECT_EQ(b->children().size(), a->children().size());
    }
    EXPECT_TRUE(withRow->views.links.empty());
    EXPECT_TRUE(withRow->views.randomGroups.empty());
    EXPECT_EQ(withRow->views.commandTarget, -1);
}

INSTANTIATE_TEST_SUITE_P(Editor, EditorBuilderIgnores,
                         ::testing::Values(IgnoredCase{"UnlistedKind54", row(54, 20, 3, 5, 5)},
                                           IgnoredCase{"UnlistedKind100", row(100, 21, -1, 0, 0)},
                                           IgnoredCase{"UnlistedDirective157", row(157, 1, 2, 3, 4)},
                                           IgnoredCase{"UnlistedDirective200", row(200, 9, 9, 9, 9)},
                                           IgnoredCase{"StoreKind53", row(control::kFloatStore, 22, -1, 1, 1)}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
