// The editor's window on the desktop: a child of the host's window that shows the editor's
// framebuffer and forwards input. The backend runs its own 16 ms timer, and every call into the
// client (timer ticks and input) arrives on one thread, where the client does all its drawing
// and view work: on X11 a thread of the backend's own, never the host's; on Windows the host's
// UI thread, which owns the window there.
#pragma once

#include <cstdint>
#include <memory>

#include "toolkit/Framebuffer.h"
#include "toolkit/InputEvent.h"
#include "toolkit/Rect.h"

namespace platform {

class EditorWindowClient {
public:
    virtual ~EditorWindowClient() = default;
    // Every 16 ms: the client runs its idle pass and returns through `show` what to copy.
    virtual void onTimer() = 0;
    virtual void onMouseDown(const toolkit::MouseEvent& event) = 0;
    virtual void onMouseMove(const toolkit::MouseEvent& event) = 0;
    virtual void onMouseUp(const toolkit::MouseEvent& event) = 0;
    virtual void onMouseLeft() = 0;
    virtual void onWheel(const toolkit::MouseEvent& event, float delta) = 0;
    virtual void onKeyDown(const toolkit::KeyEvent& event) = 0;
    // The window was exposed: the whole framebuffer must be shown again.
    virtual void onExposed() = 0;
};

class EditorWindow {
public:
    virtual ~EditorWindow() = default;  // closes the window and stops the timer thread
    // Copies `region` of `pixels` to the screen; called by the client on the backend's thread.
    virtual void show(const toolkit::Framebuffer& pixels, const toolkit::Rect& region) = 0;
};

// Opens a window of `width` x `height` inside the host's `parent` (an X11 window id on Linux, an
// HWND on Windows). Null when it cannot (no display). The client must outlive the window.
std::unique_ptr<EditorWindow> openEditorWindow(void* parent, int width, int height,
                                               EditorWindowClient& client);

}  // namespace platform
