#include "platform/windows/Win32EditorWindow.h"

#include <windowsx.h>

#include <algorithm>
#include <iterator>
#include <span>

namespace platform {

namespace {

constexpr wchar_t kClassName[] = L"VelkorEditorWindow";
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTickMs = 16;

struct SpecialKey {
    WPARAM virtualKey;
    toolkit::Key key;
};

constexpr SpecialKey kSpecialKeys[] = {
    {VK_BACK, toolkit::Key::Backspace}, {VK_DELETE, toolkit::Key::Delete}, {VK_LEFT, toolkit::Key::Left},
    {VK_RIGHT, toolkit::Key::Right},    {VK_UP, toolkit::Key::Up},         {VK_DOWN, toolkit::Key::Down},
    {VK_HOME, toolkit::Key::Home},      {VK_END, toolkit::Key::End},       {VK_RETURN, toolkit::Key::Enter},
    {VK_ESCAPE, toolkit::Key::Escape},  {VK_TAB, toolkit::Key::Tab},
};

// The DLL's own module, not the host's: the window class belongs to the code that serves it.
HINSTANCE thisModule(const void* addressInside) {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<LPCSTR>(addressInside), &module);
    return module;
}

// Registered on the first open and kept while the DLL stays loaded. A class left behind by an
// earlier load at the same address but with another procedure is replaced.
bool registerWindowClass(HINSTANCE instance, WNDPROC procedure) {
    static const bool registered = [instance, procedure] {
        WNDCLASSEXW existing{};
        existing.cbSize = sizeof existing;
        if (GetClassInfoExW(instance, kClassName, &existing) != 0) {
            if (existing.lpfnWndProc == procedure) {
                return true;
            }
            UnregisterClassW(kClassName, instance);
        }
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        windowClass.lpszClassName = kClassName;
        return RegisterClassExW(&windowClass) != 0;
    }();
    return registered;
}

bool held(int virtualKey) { return (GetKeyState(virtualKey) & 0x8000) != 0; }

toolkit::Modifiers currentModifiers() {
    toolkit::Modifiers modifiers;
    modifiers.shift = held(VK_SHIFT);
    modifiers.control = held(VK_CONTROL);
    modifiers.alt = held(VK_MENU);
    return modifiers;
}

toolkit::MouseButton heldButton(WPARAM keyState) {
    if ((keyState & MK_LBUTTON) != 0) {
        return toolkit::MouseButton::Left;
    }
    if ((keyState & MK_RBUTTON) != 0) {
        return toolkit::MouseButton::Right;
    }
    if ((keyState & MK_MBUTTON) != 0) {
        return toolkit::MouseButton::Middle;
    }
    return toolkit::MouseButton::None;
}

toolkit::Point positionOf(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

}  // namespace

Win32EditorWindow::Win32EditorWindow(HWND parent, int width, int height, EditorWindowClient& client)
    : client_(client), width_(width), height_(height) {
    const HINSTANCE instance = thisModule(reinterpret_cast<const void*>(&Win32EditorWindow::windowProcedure));
    if (instance == nullptr || width_ <= 0 || height_ <= 0 ||
        !registerWindowClass(instance, &Win32EditorWindow::windowProcedure)) {
        return;
    }
    screenPixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0);
    // WM_NCCREATE stores `this` and sets window_, so messages sent during creation find us.
    CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, width_, height_, parent,
                    nullptr, instance, this);
    if (window_ != nullptr && SetTimer(window_, kTimerId, kTickMs, nullptr) == 0) {
        DestroyWindow(window_);
        window_ = nullptr;
    }
}

Win32EditorWindow::~Win32EditorWindow() {
    if (window_ == nullptr) {
        return;  // never opened, or destroyed with the host's window
    }
    KillTimer(window_, kTimerId);
    // Messages sent while the window goes (capture and focus changes) must not reach a client
    // that is closing.
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

void Win32EditorWindow::show(const toolkit::Framebuffer& pixels, const toolkit::Rect& region) {
    const toolkit::Rect area = region.intersection(pixels.bounds()).intersection({0, 0, width_, height_});
    if (area.empty() || window_ == nullptr) {
        return;
    }
    // Premultiplied pixels over black are their colour channels as they stand.
    for (int y = area.top; y < area.bottom; ++y) {
        const std::span<const toolkit::Pixel> source = pixels.row(y);
        std::uint32_t* target = &screenPixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_)];
        for (int x = area.left; x < area.right; ++x) {
            const toolkit::Pixel p = source[static_cast<std::size_t>(x)];
            target[x] = static_cast<std::uint32_t>(p.b) | static_cast<std::uint32_t>(p.g) << 8 |
                        static_cast<std::uint32_t>(p.r) << 16;
        }
    }
    if (HDC dc = GetDC(window_); dc != nullptr) {
        blit(dc, area);
        ReleaseDC(window_, dc);
    }
}

void Win32EditorWindow::blit(HDC dc, const toolkit::Rect& area) {
    // A top-down DIB of just the area's rows: no bottom-up scan line arithmetic to get wrong.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -area.height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const std::uint32_t* rows = &screenPixels_[static_cast<std::size_t>(area.top) * static_cast<std::size_t>(width_)];
    SetDIBitsToDevice(dc, area.left, area.top, static_cast<DWORD>(area.width()), static_cast<DWORD>(area.height()),
                      area.left, 0, 0, static_cast<UINT>(area.height()), rows, &info, DIB_RGB_COLORS);
}

LRESULT CALLBACK Win32EditorWindow::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Win32EditorWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32EditorWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        // The host destroyed its window first: ours went with it.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->handle(message, wParam, lParam);
}

LRESULT Win32EditorWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (inClient_ && message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
        // A modal loop inside the client (a file dialog) is running: its windows need the mouse.
        if (GetCapture() == window_) {
            ReleaseCapture();
        }
        return 0;
    }
    switch (message) {
        case WM_TIMER:
            if (wParam == kTimerId) {
                callClient([this] { client_.onTimer(); });
            }
            return 0;
        case WM_PAINT:
            paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // every pixel is ours to paint: no flash of background before it
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            onButton(toolkit::MouseButton::Left, message == WM_LBUTTONDOWN, lParam);
            return 0;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            onButton(toolkit::MouseButton::Right, message == WM_RBUTTONDOWN, lParam);
            return 0;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            onButton(toolkit::MouseButton::Middle, message == WM_MBUTTONDOWN, lParam);
            return 0;
        case WM_MOUSEMOVE:
            onMouseMove(wParam, lParam);
            return 0;
        case WM_MOUSELEAVE:
            trackingLeave_ = false;
            // During a drag the pointer belongs to us until the release.
            if (GetCapture() != window_) {
                callClient([this] { client_.onMouseLeft(); });
            }
            return 0;
        case WM_MOUSEWHEEL:
            onWheel(wParam, lParam);
            return 0;
        case WM_GETDLGCODE:
            // Hosts' dialog managers would take Tab, Enter and the arrows for themselves.
            return DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_WANTTAB;
        case WM_KEYDOWN:
            onKeyDown(wParam);
            return 0;
        case WM_CHAR:
            onCharacter(wParam);
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void Win32EditorWindow::paint() {
    PAINTSTRUCT paint;
    if (HDC dc = BeginPaint(window_, &paint); dc != nullptr) {
        const toolkit::Rect damaged =
            toolkit::Rect{paint.rcPaint.left, paint.rcPaint.top, paint.rcPaint.right, paint.rcPaint.bottom}
                .intersection({0, 0, width_, height_});
        if (!damaged.empty()) {
            blit(dc, damaged);  // what was last shown, until the client draws the whole frame again
        }
        EndPaint(window_, &paint);
    }
    if (inClient_) {
        exposedDuringCall_ = true;
        return;
    }
    callClient([this] { client_.onExposed(); });
}

template <typename Call>
void Win32EditorWindow::callClient(Call call) {
    if (inClient_) {
        return;
    }
    inClient_ = true;
    call();
    if (exposedDuringCall_) {
        exposedDuringCall_ = false;
        client_.onExposed();
    }
    inClient_ = false;
}

void Win32EditorWindow::onButton(toolkit::MouseButton button, bool press, LPARAM lParam) {
    const toolkit::Point position = positionOf(lParam);
    const toolkit::Modifiers modifiers = currentModifiers();
    if (press) {
        SetFocus(window_);  // keys go to the focused window, and a text field may want them
        SetCapture(window_);
        const int count = clicks_.press(button, position, static_cast<std::uint32_t>(GetMessageTime()));
        callClient([&] { client_.onMouseDown(toolkit::MouseEvent(position, button, modifiers, count)); });
        return;
    }
    const bool othersHeld = held(VK_LBUTTON) || held(VK_RBUTTON) || held(VK_MBUTTON);
    if (!othersHeld && GetCapture() == window_) {
        ReleaseCapture();
    }
    callClient([&] { client_.onMouseUp(toolkit::MouseEvent(position, button, modifiers)); });
    // Released outside: no leave was reported while the drag held the pointer.
    if (!othersHeld && !toolkit::Rect{0, 0, width_, height_}.contains(position)) {
        callClient([this] { client_.onMouseLeft(); });
    }
}

void Win32EditorWindow::onMouseMove(WPARAM wParam, LPARAM lParam) {
    if (!trackingLeave_) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = window_;
        trackingLeave_ = TrackMouseEvent(&track) != 0;
    }
    const toolkit::MouseEvent event(positionOf(lParam), heldButton(wParam), currentModifiers());
    callClient([&] { client_.onMouseMove(event); });
}

void Win32EditorWindow::onWheel(WPARAM wParam, LPARAM lParam) {
    // The wheel reports screen coordinates, and to the focused window wherever the pointer is.
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(window_, &point);
    const float delta = static_cast<float>(GET_WHEEL_DELTA_WPARAM(wParam)) / static_cast<float>(WHEEL_DELTA);
    const toolkit::MouseEvent event({point.x, point.y}, toolkit::MouseButton::None, currentModifiers());
    callClient([&] { client_.onWheel(event, delta); });
}

void Win32EditorWindow::onKeyDown(WPARAM virtualKey) {
    const auto special = std::find_if(std::begin(kSpecialKeys), std::end(kSpecialKeys),
                                      [virtualKey](const SpecialKey& k) { return k.virtualKey == virtualKey; });
    if (special != std::end(kSpecialKeys)) {
        const toolkit::KeyEvent event(special->key, 0, currentModifiers());
        callClient([&] { client_.onKeyDown(event); });
    }
}

void Win32EditorWindow::onCharacter(WPARAM codeUnit) {
    const auto unit = static_cast<wchar_t>(codeUnit);
    // Characters beyond the first plane come as two messages, one per UTF-16 half.
    if (unit >= 0xd800 && unit <= 0xdbff) {
        highSurrogate_ = unit;
        return;
    }
    char32_t character = unit;
    if (unit >= 0xdc00 && unit <= 0xdfff) {
        if (highSurrogate_ == 0) {
            return;
        }
        character = 0x10000 + ((static_cast<char32_t>(highSurrogate_) - 0xd800) << 10) +
                    (static_cast<char32_t>(unit) - 0xdc00);
    }
    highSurrogate_ = 0;
    // Backspace, Tab, Enter and Escape come as named keys; other control codes are not text.
    if (character < 0x20 || character == 0x7f) {
        return;
    }
    const toolkit::KeyEvent event(toolkit::Key::Character, character, currentModifiers());
    callClient([&] { client_.onKeyDown(event); });
}

std::unique_ptr<EditorWindow> openEditorWindow(void* parent, int width, int height, EditorWindowClient& client) {
    const auto parentWindow = static_cast<HWND>(parent);
    if (parentWindow == nullptr || IsWindow(parentWindow) == 0) {
        return nullptr;
    }
    auto window = std::make_unique<Win32EditorWindow>(parentWindow, width, height, client);
    if (!window->opened()) {
        return nullptr;
    }
    return window;
}

}  // namespace platform
