// The host's own window, as a DAW gives an editor: top level, with a window class of the host's.
// Destroyed, and its class unregistered, when it goes.
#pragma once

#include <windows.h>

class HostWindow {
public:
    HostWindow(const wchar_t* className, int width, int height);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    // Null when the window could not be made (GetLastError says why).
    HWND handle() const { return handle_; }

private:
    const wchar_t* className_;
    HWND handle_;
};
