// The editor window on an X11 desktop: a child of the host's window on a connection of our own,
// served by our own thread, which also runs the 16 ms timer. Hosts call their idle at any rate,
// or not at all while the window is hidden, so nothing here waits for them.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <thread>
#include <vector>

#include "platform/ClickCounter.h"
#include "platform/EditorWindow.h"
#include "platform/linux/X11ErrorTrap.h"

// Xlib's types, declared as its header does: the header itself defines macros (None, True,
// Status...) that clash with ordinary names, so only our source includes it.
struct _XDisplay;
struct _XGC;
struct _XImage;
union _XEvent;

namespace platform {

class X11EditorWindow final : public EditorWindow {
public:
    using WindowId = unsigned long;  // Xlib's Window

    // Takes ownership of `display`. Check opened() before use: the window can fail to open.
    X11EditorWindow(_XDisplay* display, WindowId parent, int width, int height, EditorWindowClient& client);
    ~X11EditorWindow() override;
    X11EditorWindow(const X11EditorWindow&) = delete;
    X11EditorWindow& operator=(const X11EditorWindow&) = delete;

    bool opened() const { return thread_.joinable(); }
    void show(const toolkit::Framebuffer& pixels, const toolkit::Rect& region) override;

private:
    using ChannelTable = std::array<std::uint32_t, 256>;

    bool create(WindowId parent);
    void run();
    void dispatch(_XEvent& event);
    void onButton(const _XEvent& event);
    void onKey(_XEvent& event);

    EditorWindowClient& client_;
    _XDisplay* display_;
    std::optional<X11ErrorTrap> errors_;
    int width_;
    int height_;
    WindowId window_ = 0;
    _XGC* gc_ = nullptr;
    _XImage* image_ = nullptr;
    std::vector<std::uint32_t> screenPixels_;  // the whole window in the visual's format
    ChannelTable red_{};
    ChannelTable green_{};
    ChannelTable blue_{};
    bool windowGone_ = false;  // destroyed with the host's window; our thread's alone until joined
    bool drew_ = false;        // during a tick: something went to the server; our thread's
    ClickCounter clicks_;
    int wakeFd_ = -1;
    std::atomic<bool> running_{true};
    std::thread thread_;
};

}  // namespace platform
