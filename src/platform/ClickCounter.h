// Tells a double click from two single clicks for window backends whose system reports only
// presses: the second press of the same button, soon and close to the first, counts 2.
#pragma once

#include <cstdint>

#include "toolkit/InputEvent.h"

namespace platform {

class ClickCounter {
public:
    static constexpr std::uint32_t kDoubleClickMs = 400;
    static constexpr int kDoubleClickPixels = 4;  // on either axis

    // The click count of a press at `timeMs` (any millisecond clock that only moves forward,
    // wrapping allowed). A third press starts over at 1.
    int press(toolkit::MouseButton button, toolkit::Point position, std::uint32_t timeMs);

private:
    toolkit::MouseButton button_ = toolkit::MouseButton::None;
    toolkit::Point position_;
    std::uint32_t timeMs_ = 0;
    int count_ = 0;
};

}  // namespace platform
