// The host's side of the private X server in window tests: DISPLAY pointed at the server, the
// host's own connection, and top-level windows to put editors in.
#pragma once

#include <optional>
#include <string>

#include "support/DisplayVariable.h"

// After the project's headers: Xlib's macros (None, Status...) would clash with their names.
#include <X11/Xlib.h>

class XHost {
public:
    explicit XHost(const std::string& displayName);
    // Closes the connection, which takes its windows with it, then restores DISPLAY.
    ~XHost();
    XHost(const XHost&) = delete;
    XHost& operator=(const XHost&) = delete;

    // Null when the server could not be reached.
    Display* display() const { return display_; }
    // Mapped, and placed where asked: no window manager moves it.
    Window makeTopLevel(int x, int y, int width, int height, unsigned long background);

private:
    DisplayVariable variable_;
    Display* display_;
};
