// The editor window on Windows: a child of the host's window with a window class of our own.
// Unlike the X11 backend there is no thread of ours: the window belongs to the host's UI thread,
// which delivers its messages, runs its 16 ms timer and so calls the client. Windows hosts expect
// exactly this (they open, idle and close editors on that thread and pump its messages), and a
// window can only be served by the thread that created it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "platform/ClickCounter.h"
#include "platform/EditorWindow.h"

namespace platform {

class Win32EditorWindow final : public EditorWindow {
public:
    // Check opened() before use: the window can fail to open.
    Win32EditorWindow(HWND parent, int width, int height, EditorWindowClient& client);
    ~Win32EditorWindow() override;
    Win32EditorWindow(const Win32EditorWindow&) = delete;
    Win32EditorWindow& operator=(const Win32EditorWindow&) = delete;

    bool opened() const { return window_ != nullptr; }
    void show(const toolkit::Framebuffer& pixels, const toolkit::Rect& region) override;

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    void blit(HDC dc, const toolkit::Rect& area);
    void onButton(toolkit::MouseButton button, bool press, LPARAM lParam);
    void onMouseMove(WPARAM wParam, LPARAM lParam);
    void onWheel(WPARAM wParam, LPARAM lParam);
    void onKeyDown(WPARAM virtualKey);
    void onCharacter(WPARAM codeUnit);
    // Runs one client call unless another is still running: a modal loop inside the client (a
    // file dialog) pumps our messages, and the client is not re-entrant.
    template <typename Call>
    void callClient(Call call);

    EditorWindowClient& client_;
    int width_;
    int height_;
    HWND window_ = nullptr;
    std::vector<std::uint32_t> screenPixels_;  // the whole window, BGRA words, top row first
    ClickCounter clicks_;
    bool trackingLeave_ = false;
    bool inClient_ = false;
    bool exposedDuringCall_ = false;
    wchar_t highSurrogate_ = 0;
};

}  // namespace platform
