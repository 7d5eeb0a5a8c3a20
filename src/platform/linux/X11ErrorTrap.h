// Keeps X protocol errors on our own connection from reaching Xlib's default handler, which ends
// the whole process: a host may destroy its window (and ours inside it) before closing the
// editor, or hand us a window id that is already gone. Errors on other connections, the host's
// among them, still go to whatever handler was installed before.
#pragma once

// Xlib's own name for a display; its header stays out of ours for the macros it defines.
struct _XDisplay;

namespace platform {

class X11ErrorTrap {
public:
    explicit X11ErrorTrap(_XDisplay* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

    // False when the display had no free slot; its errors then reach the previous handler.
    bool trapping() const { return slot_ >= 0; }
    // Whether an error arrived since the last call; call after XSync to see every error of the
    // requests made so far.
    bool takeError();

private:
    int slot_;
};

}  // namespace platform
