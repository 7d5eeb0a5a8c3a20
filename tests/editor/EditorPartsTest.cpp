// The editor's small parts on their own: the mailbox that carries values across threads and the
// shaping of randomised values.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "editor/ParameterMailbox.h"
#include "editor/QX_GUI_Memory_Banks.h"

namespace {

using Delivered = std::vector<std::pair<int, float>>;

Delivered collect(ParameterMailbox& mailbox) {
    Delivered got;
    mailbox.collect([&](int index, float value) { got.emplace_back(index, value); });
    return got;
}

TEST(EditorParameterMailbox, DeliversTheLatestValueOfEachSlotOnceInIdOrder) {
    ParameterMailbox mailbox;
    mailbox.post(450, 0.5f);
    mailbox.post(7, 0.1f);
    mailbox.post(7, 0.2f);
    mailbox.post(0, 1.0f);
    mailbox.post(451, 0.3f);  // outside the ids: ignored
    mailbox.post(-1, 0.3f);
    EXPECT_EQ(collect(mailbox), (Delivered{{0, 1.0f}, {7, 0.2f}, {450, 0.5f}}));
    EXPECT_TRUE(collect(mailbox).empty());
    mailbox.post(31, 0.25f);  // word edges
    mailbox.post(32, 0.75f);
    mailbox.discardPending();
    EXPECT_TRUE(collect(mailbox).empty());
    Delivered known;
    mailbox.forEachKnown([&](int index, float value) { known.emplace_back(index, value); });
    EXPECT_EQ(known, (Delivered{{0, 1.0f}, {7, 0.2f}, {31, 0.25f}, {32, 0.75f}, {450, 0.5f}}));
}

struct ShapeCase {
    int mode;
    int position;
    float r;
    float expected;
};

// Mode 2: cubed for members 0..4, pulled to the middle for 5..9, plain for 10..14, 0 after.
constexpr ShapeCase kShapes[] = {
    {0, 0, 0.3f, 0.3f},   {1, 20, 0.3f, 0.3f},   {2, 0, 0.5f, 0.125f}, {2, 4, 0.9f, 0.729f},
    {2, 5, 0.9f, 0.66f},  {2, 9, 0.1f, 0.34f},   {2, 7, 0.5f, 0.5f},   {2, 10, 0.3f, 0.3f},
    {2, 14, 0.8f, 0.8f},  {2, 15, 0.8f, 0.0f},   {2, 47, 0.8f, 0.0f},
};

TEST(EditorRandomiseGroup, ShapesByModeAndPosition) {
    for (const ShapeCase& c : kShapes) {
        EXPECT_NEAR(QX_GUI_Memory_Banks::shaped(c.mode, c.position, c.r), c.expected, 1e-6f)
            << "mode " << c.mode << " position " << c.position << " r " << c.r;
    }
}

}  // namespace
