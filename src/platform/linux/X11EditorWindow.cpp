#include "platform/linux/X11EditorWindow.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdint>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace platform {

namespace {

// Xlib's None (zero) would hide the toolkit's MouseButton::None from here on.
constexpr Pixmap kNoPixmap = None;
#undef None

using Clock = std::chrono::steady_clock;
constexpr auto kTick = std::chrono::milliseconds(16);

struct SpecialKey {
    KeySym keysym;
    toolkit::Key key;
};

constexpr SpecialKey kSpecialKeys[] = {
    {XK_BackSpace, toolkit::Key::Backspace}, {XK_Delete, toolkit::Key::Delete},
    {XK_KP_Delete, toolkit::Key::Delete},    {XK_Left, toolkit::Key::Left},
    {XK_KP_Left, toolkit::Key::Left},        {XK_Right, toolkit::Key::Right},
    {XK_KP_Right, toolkit::Key::Right},      {XK_Up, toolkit::Key::Up},
    {XK_KP_Up, toolkit::Key::Up},            {XK_Down, toolkit::Key::Down},
    {XK_KP_Down, toolkit::Key::Down},        {XK_Home, toolkit::Key::Home},
    {XK_KP_Home, toolkit::Key::Home},        {XK_End, toolkit::Key::End},
    {XK_KP_End, toolkit::Key::End},          {XK_Return, toolkit::Key::Enter},
    {XK_KP_Enter, toolkit::Key::Enter},      {XK_Escape, toolkit::Key::Escape},
    {XK_Tab, toolkit::Key::Tab},             {XK_ISO_Left_Tab, toolkit::Key::Tab},
};

// The keypad's operator and digit keysyms sit at their ASCII codes plus this.
constexpr KeySym kKeypadOffset = 0xff80;
constexpr KeySym kUnicodeKeysymBase = 0x01000000;

char32_t characterOf(KeySym keysym) {
    if ((keysym >= 0x20 && keysym <= 0x7e) || (keysym >= 0xa0 && keysym <= 0xff)) {
        return static_cast<char32_t>(keysym);  // Latin-1 keysyms are their own code points
    }
    if ((keysym >= XK_KP_Multiply && keysym <= XK_KP_9) || keysym == XK_KP_Equal) {
        return static_cast<char32_t>(keysym - kKeypadOffset);
    }
    if (keysym >= kUnicodeKeysymBase + 0x100 && keysym <= kUnicodeKeysymBase + 0x10ffff) {
        return static_cast<char32_t>(keysym - kUnicodeKeysymBase);
    }
    return 0;
}

toolkit::Modifiers modifiersOf(unsigned state) {
    toolkit::Modifiers modifiers;
    modifiers.shift = (state & ShiftMask) != 0;
    modifiers.control = (state & ControlMask) != 0;
    modifiers.alt = (state & Mod1Mask) != 0;
    return modifiers;
}

toolkit::MouseButton heldButton(unsigned state) {
    if ((state & Button1Mask) != 0) {
        return toolkit::MouseButton::Left;
    }
    if ((state & Button3Mask) != 0) {
        return toolkit::MouseButton::Right;
    }
    if ((state & Button2Mask) != 0) {
        return toolkit::MouseButton::Middle;
    }
    return toolkit::MouseButton::None;
}

toolkit::MouseButton buttonOf(unsigned button) {
    switch (button) {
        case Button1:
            return toolkit::MouseButton::Left;
        case Button2:
            return toolkit::MouseButton::Middle;
        case Button3:
            return toolkit::MouseButton::Right;
        default:
            return toolkit::MouseButton::None;
    }
}

// 8-bit channel values placed under `mask`, scaled to its width.
void fillChannel(std::array<std::uint32_t, 256>& table, unsigned long mask, std::uint32_t extraBits) {
    const auto bits = static_cast<unsigned>(std::popcount(mask));
    const auto shift = static_cast<unsigned>(std::countr_zero(mask));
    const std::uint32_t top = (1u << bits) - 1;
    for (std::uint32_t v = 0; v < table.size(); ++v) {
        table[v] = ((v * top + 127) / 255) << shift | extraBits;
    }
}

}  // namespace

X11EditorWindow::X11EditorWindow(Display* display, WindowId parent, int width, int height,
                                 EditorWindowClient& client)
    : client_(client), display_(display), width_(width), height_(height) {
    errors_.emplace(display_);
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (errors_->trapping() && wakeFd_ >= 0 && width_ > 0 && height_ > 0 && create(parent)) {
        thread_ = std::thread([this] { run(); });
    }
}

bool X11EditorWindow::create(WindowId parent) {
    XWindowAttributes parentAttributes;
    if (XGetWindowAttributes(display_, parent, &parentAttributes) == 0 || errors_->takeError()) {
        return false;
    }
    const int screen = XScreenNumberOfScreen(parentAttributes.screen);
    Visual* visual = DefaultVisual(display_, screen);
    const int depth = DefaultDepth(display_, screen);
    if (visual->c_class != TrueColor || depth < 24) {
        return false;
    }
    image_ = XCreateImage(display_, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                          static_cast<unsigned>(width_), static_cast<unsigned>(height_), 32, 0);
    if (image_ == nullptr || image_->bits_per_pixel != 32 || image_->bytes_per_line != width_ * 4) {
        return false;
    }
    screenPixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0);
    image_->data = reinterpret_cast<char*>(screenPixels_.data());
    // Written as native words; Xlib swaps them when the server's order differs.
    image_->byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
    // Bits outside the colour masks are alpha on a 32-bit visual: opaque.
    const unsigned long colourBits = visual->red_mask | visual->green_mask | visual->blue_mask;
    const auto alphaBits = depth == 32 ? static_cast<std::uint32_t>(~colourBits) : 0u;
    fillChannel(red_, visual->red_mask, alphaBits);
    fillChannel(green_, visual->green_mask, 0);
    fillChannel(blue_, visual->blue_mask, 0);

    XSetWindowAttributes attributes{};
    attributes.colormap = DefaultColormap(display_, screen);
    attributes.border_pixel = 0;
    attributes.background_pixmap = kNoPixmap;  // no flash of background before the first frame
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            LeaveWindowMask | KeyPressMask | StructureNotifyMask;
    window_ = XCreateWindow(display_, parent, 0, 0, static_cast<unsigned>(width_),
                            static_cast<unsigned>(height_), 0, depth, InputOutput, visual,
                            CWColormap | CWBorderPixel | CWBackPixmap | CWEventMask, &attributes);
    gc_ = XCreateGC(display_, window_, 0, nullptr);
    XMapWindow(display_, window_);
    XSync(display_, False);
    return !errors_->takeError();
}

X11EditorWindow::~X11EditorWindow() {
    if (thread_.joinable()) {
        running_.store(false);
        eventfd_write(wakeFd_, 1);
        thread_.join();
    }
    if (wakeFd_ >= 0) {
        close(wakeFd_);
    }
    if (image_ != nullptr) {
        image_->data = nullptr;  // ours, not Xlib's to free
        XDestroyImage(image_);
    }
    if (gc_ != nullptr) {
        XFreeGC(display_, gc_);
    }
    if (window_ != 0 && !windowGone_) {
        XDestroyWindow(display_, window_);
    }
    // Every error of the requests above is caught before the trap goes; closing sends nothing
    // that can fail.
    XSync(display_, False);
    errors_.reset();
    XCloseDisplay(display_);
}

void X11EditorWindow::show(const toolkit::Framebuffer& pixels, const toolkit::Rect& region) {
    const toolkit::Rect area = region.intersection(pixels.bounds()).intersection({0, 0, width_, height_});
    if (area.empty() || windowGone_) {
        return;
    }
    // Premultiplied pixels over black are their colour channels as they stand.
    for (int y = area.top; y < area.bottom; ++y) {
        const std::span<const toolkit::Pixel> source = pixels.row(y);
        std::uint32_t* target = &screenPixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_)];
        for (int x = area.left; x < area.right; ++x) {
            const toolkit::Pixel p = source[static_cast<std::size_t>(x)];
            target[x] = red_[p.r] | green_[p.g] | blue_[p.b];
        }
    }
    XPutImage(display_, window_, gc_, image_, area.left, area.top, area.left, area.top,
              static_cast<unsigned>(area.width()), static_cast<unsigned>(area.height()));
    drew_ = true;
}

void X11EditorWindow::run() {
    pollfd watched[] = {{ConnectionNumber(display_), POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    Clock::time_point nextTick = Clock::now() + kTick;
    // Whether Xlib may have something to send or to hand over. An idle tick draws nothing and
    // the socket stays quiet, so the thread wakes, ticks and sleeps without a call into Xlib.
    bool xlibBusy = true;
    while (running_.load()) {
        if (xlibBusy) {
            // XPending also flushes what the client drew, and takes what arrived meanwhile.
            while (XPending(display_) > 0) {
                XEvent event;
                XNextEvent(display_, &event);
                dispatch(event);
            }
        }
        const Clock::time_point now = Clock::now();
        if (now >= nextTick) {
            drew_ = false;
            client_.onTimer();
            xlibBusy = drew_;
            // Ticks missed while the client was busy are dropped, not made up in a burst.
            nextTick = std::max(nextTick + kTick, now);
            continue;
        }
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(nextTick - now);
        poll(watched, 2, static_cast<int>(wait.count()));
        xlibBusy = watched[0].revents != 0;
    }
}

void X11EditorWindow::dispatch(XEvent& event) {
    switch (event.type) {
        case Expose:
            if (event.xexpose.count == 0) {  // the last of a series
                client_.onExposed();
            }
            break;
        case ButtonPress:
        case ButtonRelease:
            onButton(event);
            break;
        case MotionNotify: {
            // Only the latest of a run of moves matters; a drag then costs one step per batch.
            XEvent next;
            while (XEventsQueued(display_, QueuedAlready) > 0 && XPeekEvent(display_, &next) != 0 &&
                   next.type == MotionNotify) {
                XNextEvent(display_, &event);
            }
            const XMotionEvent& motion = event.xmotion;
            client_.onMouseMove(toolkit::MouseEvent({motion.x, motion.y}, heldButton(motion.state),
                                                    modifiersOf(motion.state)));
            break;
        }
        case LeaveNotify:
            // During a drag the pointer belongs to us until the release.
            if (heldButton(event.xcrossing.state) == toolkit::MouseButton::None) {
                client_.onMouseLeft();
            }
            break;
        case KeyPress:
            onKey(event);
            break;
        case DestroyNotify:
            windowGone_ = windowGone_ || event.xdestroywindow.window == window_;
            break;
        default:
            break;
    }
}

void X11EditorWindow::onButton(const XEvent& pressOrRelease) {
    const XButtonEvent& event = pressOrRelease.xbutton;
    const bool press = pressOrRelease.type == ButtonPress;
    const toolkit::Point position{event.x, event.y};
    const toolkit::Modifiers modifiers = modifiersOf(event.state);
    if (event.button == Button4 || event.button == Button5) {
        if (press) {
            client_.onWheel(toolkit::MouseEvent(position, toolkit::MouseButton::None, modifiers),
                            event.button == Button4 ? 1.0f : -1.0f);
        }
        return;
    }
    const toolkit::MouseButton button = buttonOf(event.button);
    if (button == toolkit::MouseButton::None) {
        return;
    }
    if (press) {
        const int count = clicks_.press(button, position, static_cast<std::uint32_t>(event.time));
        client_.onMouseDown(toolkit::MouseEvent(position, button, modifiers, count));
    } else {
        client_.onMouseUp(toolkit::MouseEvent(position, button, modifiers));
    }
}

void X11EditorWindow::onKey(XEvent& press) {
    XKeyEvent& event = press.xkey;
    char text[8];
    KeySym keysym = NoSymbol;
    XLookupString(&event, text, sizeof text, &keysym, nullptr);
    const toolkit::Modifiers modifiers = modifiersOf(event.state);
    const auto special = std::find_if(std::begin(kSpecialKeys), std::end(kSpecialKeys),
                                      [keysym](const SpecialKey& k) { return k.keysym == keysym; });
    if (special != std::end(kSpecialKeys)) {
        client_.onKeyDown(toolkit::KeyEvent(special->key, 0, modifiers));
    } else if (const char32_t character = characterOf(keysym); character != 0) {
        client_.onKeyDown(toolkit::KeyEvent(toolkit::Key::Character, character, modifiers));
    }
}

std::unique_ptr<EditorWindow> openEditorWindow(void* parent, int width, int height, EditorWindowClient& client) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return nullptr;
    }
    auto window = std::make_unique<X11EditorWindow>(
        display, static_cast<Window>(reinterpret_cast<std::uintptr_t>(parent)), width, height, client);
    if (!window->opened()) {
        return nullptr;
    }
    return window;
}

}  // namespace platform
