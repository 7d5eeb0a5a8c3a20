#include "platform/linux/X11ErrorTrap.h"

#include <X11/Xlib.h>

#include <array>
#include <atomic>
#include <mutex>

namespace platform {

namespace {

constexpr int kSlots = 128;  // editor windows open at once in one process

struct TrappedDisplay {
    std::atomic<Display*> display{nullptr};
    std::atomic<bool> failed{false};
};

// The handler runs inside Xlib, possibly with a display lock held, so it reads the slots
// without taking the mutex; the mutex only orders installing and removing.
std::array<TrappedDisplay, kSlots> trapped;
std::mutex installation;
int users = 0;
std::atomic<XErrorHandler> previous{nullptr};

int onError(Display* display, XErrorEvent* error) {
    for (TrappedDisplay& slot : trapped) {
        if (slot.display.load() == display) {
            slot.failed.store(true);
            return 0;
        }
    }
    const XErrorHandler next = previous.load();
    return next != nullptr ? next(display, error) : 0;
}

}  // namespace

X11ErrorTrap::X11ErrorTrap(Display* display) : slot_(-1) {
    const std::lock_guard lock(installation);
    for (int i = 0; i < kSlots; ++i) {
        Display* expected = nullptr;
        if (trapped[static_cast<std::size_t>(i)].display.compare_exchange_strong(expected, display)) {
            slot_ = i;
            break;
        }
    }
    if (slot_ < 0) {
        return;
    }
    trapped[static_cast<std::size_t>(slot_)].failed.store(false);
    if (users++ == 0) {
        previous.store(XSetErrorHandler(onError));
    }
}

X11ErrorTrap::~X11ErrorTrap() {
    if (slot_ < 0) {
        return;
    }
    const std::lock_guard lock(installation);
    trapped[static_cast<std::size_t>(slot_)].display.store(nullptr);
    if (--users == 0) {
        // Someone who installed a handler after us keeps theirs.
        const XErrorHandler current = XSetErrorHandler(previous.load());
        if (current != onError) {
            XSetErrorHandler(current);
        }
        previous.store(nullptr);
    }
}

bool X11ErrorTrap::takeError() {
    return slot_ >= 0 && trapped[static_cast<std::size_t>(slot_)].failed.exchange(false);
}

}  // namespace platform
