// Double clicks from bare presses: same button, within 400 ms and 4 pixels, and only in pairs.
#include "platform/ClickCounter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace platform {
namespace {

using toolkit::MouseButton;

struct Press {
    MouseButton button;
    toolkit::Point position;
    std::uint32_t timeMs;
};

struct ClickCase {
    const char* name;
    std::vector<Press> presses;
    std::vector<int> counts;
};

const ClickCase kClickCases[] = {
    {"SecondPressSoonAndClose", {{MouseButton::Left, {10, 10}, 1000}, {MouseButton::Left, {14, 6}, 1400}}, {1, 2}},
    {"TooLate", {{MouseButton::Left, {10, 10}, 1000}, {MouseButton::Left, {10, 10}, 1401}}, {1, 1}},
    {"TooFarAcross", {{MouseButton::Left, {10, 10}, 1000}, {MouseButton::Left, {15, 10}, 1100}}, {1, 1}},
    {"TooFarDown", {{MouseButton::Left, {10, 10}, 1000}, {MouseButton::Left, {10, 15}, 1100}}, {1, 1}},
    {"OtherButton", {{MouseButton::Left, {10, 10}, 1000}, {MouseButton::Right, {10, 10}, 1100}}, {1, 1}},
    {"ThirdPressStartsOver",
     {{MouseButton::Right, {5, 5}, 100}, {MouseButton::Right, {5, 5}, 200}, {MouseButton::Right, {5, 5}, 300},
      {MouseButton::Right, {5, 5}, 400}},
     {1, 2, 1, 2}},
    {"AcrossTheClocksWrap", {{MouseButton::Left, {0, 0}, 0xffffff00u}, {MouseButton::Left, {0, 0}, 0x40}}, {1, 2}},
};

class PlatformClickCounter : public testing::TestWithParam<ClickCase> {};

TEST_P(PlatformClickCounter, CountsPresses) {
    ClickCounter counter;
    std::vector<int> counts;
    for (const Press& press : GetParam().presses) {
        counts.push_back(counter.press(press.button, press.position, press.timeMs));
    }
    EXPECT_EQ(counts, GetParam().counts);
}

INSTANTIATE_TEST_SUITE_P(Platform, PlatformClickCounter, testing::ValuesIn(kClickCases),
                         [](const testing::TestParamInfo<ClickCase>& info) { return info.param.name; });

}  // namespace
}  // namespace platform
