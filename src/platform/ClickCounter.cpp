#include "platform/ClickCounter.h"

#include <cstdlib>

namespace platform {

int ClickCounter::press(toolkit::MouseButton button, toolkit::Point position, std::uint32_t timeMs) {
    // Unsigned difference: right across a wrap of the clock.
    const bool soon = timeMs - timeMs_ <= kDoubleClickMs;
    const bool close = std::abs(position.x - position_.x) <= kDoubleClickPixels &&
                       std::abs(position.y - position_.y) <= kDoubleClickPixels;
    count_ = count_ == 1 && button == button_ && soon && close ? 2 : 1;
    button_ = button;
    position_ = position;
    timeMs_ = timeMs;
    return count_;
}

}  // namespace platform
