#include "EditorWindowChecks.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "HostWindow.h"
#include "platform/EditorWindow.h"
#include "toolkit/Framebuffer.h"

namespace {

constexpr wchar_t kHostClassName[] = L"VelkorWintestWindowHost";
constexpr int kWidth = 200;
constexpr int kHeight = 100;

std::string describe(const char* what, const toolkit::MouseEvent& event) {
    const char* button = event.button == toolkit::MouseButton::Left    ? "L"
                         : event.button == toolkit::MouseButton::Right ? "R"
                         : event.button == toolkit::MouseButton::Middle ? "M"
                                                                        : "-";
    return std::string(what) + " " + button + " " + std::to_string(event.position.x) + "," +
           std::to_string(event.position.y) + " x" + std::to_string(event.clickCount);
}

class RecordingClient final : public platform::EditorWindowClient {
public:
    std::vector<std::string> events;

    void onTimer() override {}
    void onMouseDown(const toolkit::MouseEvent& event) override { events.push_back(describe("down", event)); }
    void onMouseMove(const toolkit::MouseEvent& event) override { events.push_back(describe("move", event)); }
    void onMouseUp(const toolkit::MouseEvent& event) override { events.push_back(describe("up", event)); }
    void onMouseLeft() override { events.push_back("left"); }
    void onWheel(const toolkit::MouseEvent& event, float delta) override {
        events.push_back(describe("wheel", event) + " " + std::to_string(static_cast<int>(delta)));
    }
    void onKeyDown(const toolkit::KeyEvent& event) override {
        events.push_back(event.key == toolkit::Key::Character ? "char " + std::to_string(event.character)
                                                              : "key " + std::to_string(static_cast<int>(event.key)));
    }
    void onExposed() override {}
};

void pumpPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

LPARAM at(int x, int y) { return MAKELPARAM(x, y); }

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "; ";
    }
    return text;
}

}  // namespace

EditorWindowChecks::EditorWindowChecks(CheckLog& log) : log_(log) {}

void EditorWindowChecks::refusesParentsThatAreNoWindows() {
    RecordingClient client;
    log_.check(platform::openEditorWindow(nullptr, kWidth, kHeight, client) == nullptr,
               "editor window: no window without a parent");
    // A handle value no window has.
    void* stale = reinterpret_cast<void*>(static_cast<std::uintptr_t>(0x7ffe1234));
    log_.check(platform::openEditorWindow(stale, kWidth, kHeight, client) == nullptr,
               "editor window: no window inside a handle that is no window");
}

void EditorWindowChecks::forwardsInput() {
    const HostWindow hostWindow(kHostClassName, 400, 300);
    const HWND host = hostWindow.handle();
    if (!log_.check(host != nullptr, "editor window: the host's window opens", std::to_string(GetLastError()))) {
        return;
    }
    RecordingClient client;
    {
        const auto window = platform::openEditorWindow(host, kWidth, kHeight, client);
        const HWND editor = GetWindow(host, GW_CHILD);
        if (log_.check(window != nullptr && editor != nullptr, "editor window: opens inside the host's")) {
            POINT wheelAt{10, 20};
            ClientToScreen(editor, &wheelAt);
            const std::pair<UINT, std::pair<WPARAM, LPARAM>> messages[] = {
                {WM_LBUTTONDOWN, {MK_LBUTTON, at(30, 40)}},
                {WM_MOUSEMOVE, {MK_LBUTTON, at(32, 38)}},
                {WM_LBUTTONUP, {0, at(32, 38)}},
                {WM_LBUTTONDOWN, {MK_LBUTTON, at(31, 39)}},  // soon and close: a double click
                {WM_LBUTTONUP, {0, at(31, 39)}},
                {WM_RBUTTONDOWN, {MK_RBUTTON, at(50, 60)}},
                {WM_RBUTTONUP, {0, at(50, 60)}},
                {WM_MOUSEWHEEL, {MAKEWPARAM(0, 2 * WHEEL_DELTA), MAKELPARAM(wheelAt.x, wheelAt.y)}},
                {WM_KEYDOWN, {VK_LEFT, 0}},
                {WM_KEYDOWN, {VK_BACK, 0}},
                {WM_CHAR, {0x08, 0}},  // Backspace's character: already a named key
                {WM_CHAR, {0xe9, 0}},
                {WM_CHAR, {0xd83c, 0}},  // U+1F3B9 in two halves
                {WM_CHAR, {0xdfb9, 0}},
            };
            for (const auto& [message, parameters] : messages) {
                PostMessageW(editor, message, parameters.first, parameters.second);
            }
            pumpPending();
            const std::vector<std::string> expected = {
                "down L 30,40 x1", "move L 32,38 x1", "up L 32,38 x1", "down L 31,39 x2",
                "up L 31,39 x1",   "down R 50,60 x1", "up R 50,60 x1", "wheel - 10,20 x1 2",
                "key " + std::to_string(static_cast<int>(toolkit::Key::Left)),
                "key " + std::to_string(static_cast<int>(toolkit::Key::Backspace)),
                "char 233",        "char 127929",
            };
            log_.check(client.events == expected, "editor window: input reaches the client as the host delivers it",
                       joined(client.events));
        }
    }
    log_.check(GetWindow(host, GW_CHILD) == nullptr, "editor window: closing leaves no window behind");
}

void EditorWindowChecks::showsPixels() {
    const HostWindow hostWindow(kHostClassName, 400, 300);
    const HWND host = hostWindow.handle();
    if (!log_.check(host != nullptr, "editor window: the host's window opens", std::to_string(GetLastError()))) {
        return;
    }
    ShowWindow(host, SW_SHOWNOACTIVATE);
    RecordingClient client;
    {
        const auto window = platform::openEditorWindow(host, kWidth, kHeight, client);
        const HWND editor = GetWindow(host, GW_CHILD);
        if (log_.check(window != nullptr && editor != nullptr, "editor window: opens inside the host's")) {
            pumpPending();
            // Premultiplied: half-covered orange shows as the darker orange it makes over black.
            toolkit::Framebuffer pixels(kWidth, kHeight);
            pixels.at(7, 5) = toolkit::Pixel{100, 50, 25, 128};
            pixels.at(8, 5) = toolkit::Pixel{200, 100, 50, 255};
            window->show(pixels, toolkit::Rect{7, 5, 9, 6});
            const HDC dc = GetDC(editor);
            const COLORREF half = GetPixel(dc, 7, 5);
            const COLORREF whole = GetPixel(dc, 8, 5);
            ReleaseDC(editor, dc);
            log_.check(half == RGB(100, 50, 25) && whole == RGB(200, 100, 50),
                       "editor window: shows premultiplied pixels over black",
                       std::to_string(half) + " " + std::to_string(whole));
        }
    }
}
