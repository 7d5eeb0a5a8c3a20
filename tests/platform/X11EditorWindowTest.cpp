// The X11 editor window under a private Xvfb server, seen from both sides: what the client is
// called with (ticks, input) and what reaches the screen; and the ways hosts open and close it.
#include "platform/EditorWindow.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/DisplayVariable.h"
#include "support/Eventually.h"
#include "support/PrivateXServer.h"
#include "support/XHost.h"

// Xlib's None macro would hide the toolkit's MouseButton::None.
#undef None

extern char** environ;

namespace platform {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kEditorWidth = 120;
constexpr int kEditorHeight = 80;
constexpr int kParentX = 10;  // the host's window on the root window
constexpr int kParentY = 20;
constexpr int kParentWidth = 200;
constexpr int kParentHeight = 150;
constexpr auto kPatience = 5s;  // for what should take milliseconds, on a loaded machine

std::string modifierText(const toolkit::Modifiers& m) {
    return std::string(m.shift ? " shift" : "") + (m.control ? " ctrl" : "") + (m.alt ? " alt" : "");
}

std::string buttonText(toolkit::MouseButton button) {
    switch (button) {
        case toolkit::MouseButton::Left:
            return "left";
        case toolkit::MouseButton::Right:
            return "right";
        case toolkit::MouseButton::Middle:
            return "middle";
        case toolkit::MouseButton::None:
            break;
    }
    return "none";
}

std::string positionText(const toolkit::MouseEvent& event) {
    return std::to_string(event.position.x) + "," + std::to_string(event.position.y);
}

std::string keyText(const toolkit::KeyEvent& event) {
    static constexpr const char* kNames[] = {"", "Backspace", "Delete", "Left", "Right", "Up",
                                             "Down", "Home", "End", "Enter", "Escape", "Tab"};
    const std::string name = event.key == toolkit::Key::Character ? std::string(1, static_cast<char>(event.character))
                                                                  : kNames[static_cast<int>(event.key)];
    return "key " + name + modifierText(event.modifiers);
}

// Records every call as a line of text; shows its framebuffer on the first tick, on every
// exposure, and wherever the test paints through repaint().
class RecordingClient final : public EditorWindowClient {
public:
    RecordingClient() : pixels_(kEditorWidth, kEditorHeight) {}

    // The pattern to show on the first tick; set before the window opens.
    toolkit::Framebuffer& pixels() { return pixels_; }
    void attach(EditorWindow* window) { window_.store(window); }
    void showEveryTick() { showEveryTick_.store(true); }
    // On the next tick: `paint` the framebuffer and show `region` of it.
    void repaint(std::function<void(toolkit::Framebuffer&)> paint, toolkit::Rect region) {
        const std::lock_guard lock(mutex_);
        paint_ = std::move(paint);
        paintRegion_ = region;
    }

    int ticks() const { return ticks_.load(); }
    int exposures() const { return exposures_.load(); }
    bool shown() const { return shown_.load(); }
    std::thread::id tickThread() const {
        const std::lock_guard lock(mutex_);
        return tickThread_;
    }
    std::vector<std::string> calls() const {
        const std::lock_guard lock(mutex_);
        return calls_;
    }

    void onTimer() override {
        std::function<void(toolkit::Framebuffer&)> paint;
        toolkit::Rect region;
        {
            const std::lock_guard lock(mutex_);
            tickThread_ = std::this_thread::get_id();
            paint.swap(paint_);
            region = paintRegion_;
        }
        ++ticks_;
        EditorWindow* window = window_.load();
        if (window == nullptr) {
            return;
        }
        if (paint) {
            paint(pixels_);
            window->show(pixels_, region);
        } else if (!shown_.load() || showEveryTick_.load()) {
            window->show(pixels_, pixels_.bounds());
            shown_.store(true);
        }
    }
    void onMouseDown(const toolkit::MouseEvent& e) override {
        record("down " + positionText(e) + " " + buttonText(e.button) + " x" + std::to_string(e.clickCount) +
               modifierText(e.modifiers));
    }
    void onMouseMove(const toolkit::MouseEvent& e) override {
        record("move " + positionText(e) + " " + buttonText(e.button) + modifierText(e.modifiers));
    }
    void onMouseUp(const toolkit::MouseEvent& e) override {
        record("up " + positionText(e) + " " + buttonText(e.button) + modifierText(e.modifiers));
    }
    void onMouseLeft() override { record("left"); }
    void onWheel(const toolkit::MouseEvent& e, float delta) override {
        record("wheel " + positionText(e) + (delta > 0 ? " +" : " ") + std::to_string(static_cast<int>(delta)) +
               modifierText(e.modifiers));
    }
    void onKeyDown(const toolkit::KeyEvent& e) override { record(keyText(e)); }
    void onExposed() override {
        ++exposures_;
        if (EditorWindow* window = window_.load()) {
            window->show(pixels_, pixels_.bounds());
        }
    }

private:
    void record(std::string call) {
        const std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
    }

    toolkit::Framebuffer pixels_;  // the backend's thread only, once attached
    std::atomic<EditorWindow*> window_{nullptr};
    std::atomic<bool> showEveryTick_{false};
    std::atomic<bool> shown_{false};
    std::atomic<int> ticks_{0};
    std::atomic<int> exposures_{0};
    mutable std::mutex mutex_;
    std::thread::id tickThread_;
    std::vector<std::string> calls_;
    std::function<void(toolkit::Framebuffer&)> paint_;
    toolkit::Rect paintRegion_;
};

// An asymmetric pattern, so swapped channels or a shifted origin show; the top rows are half
// transparent, so the premultiplied colour (not the straight one) must reach the screen.
toolkit::Pixel patternAt(int x, int y) {
    if (y < 10) {
        return toolkit::Color{120, 60, 20, 128}.premultiplied();
    }
    return {static_cast<std::uint8_t>(x * 2), static_cast<std::uint8_t>(y * 3),
            static_cast<std::uint8_t>(x + y), 255};
}

void paintPattern(toolkit::Framebuffer& pixels) {
    for (int y = 0; y < pixels.height(); ++y) {
        for (int x = 0; x < pixels.width(); ++x) {
            pixels.at(x, y) = patternAt(x, y);
        }
    }
}

// Plays the host: its own connection and a top-level window to put the editor in.
class X11EditorWindowTestBase : public testing::Test {
protected:
    void SetUp() override {
        if (!sharedXServer().installed()) {
            GTEST_SKIP() << "Xvfb is not installed";
        }
        ASSERT_FALSE(sharedXServer().name().empty()) << "Xvfb did not start";
        xhost_.emplace(sharedXServer().name());
        host_ = xhost_->display();
        ASSERT_NE(host_, nullptr);
        parent_ = makeTopLevel(kParentX, kParentY, kParentWidth, kParentHeight);
        // The pointer starts on the host's window, beside the editor.
        movePointer(kEditorWidth + 20, kEditorHeight + 20);
    }
    void TearDown() override {
        host_ = nullptr;
        xhost_.reset();
    }

    Window makeTopLevel(int x, int y, int width, int height) {
        return xhost_->makeTopLevel(x, y, width, height, 0x303030);
    }

    std::unique_ptr<EditorWindow> open(RecordingClient& client, Window parent) {
        std::unique_ptr<EditorWindow> window =
            openEditorWindow(reinterpret_cast<void*>(parent), kEditorWidth, kEditorHeight, client);
        client.attach(window.get());
        return window;
    }
    std::unique_ptr<EditorWindow> open(RecordingClient& client) { return open(client, parent_); }

    // In the editor's coordinates, which start at the host window's corner.
    void movePointer(int x, int y) {
        XTestFakeMotionEvent(host_, DefaultScreen(host_), kParentX + x, kParentY + y, CurrentTime);
        XSync(host_, False);
    }

    // The editor's area as it is on the screen, as 0xRRGGBB per pixel.
    std::vector<std::uint32_t> screen() {
        std::vector<std::uint32_t> colours;
        XImage* image = XGetImage(host_, parent_, 0, 0, kEditorWidth, kEditorHeight, AllPlanes, ZPixmap);
        if (image == nullptr) {
            return colours;
        }
        for (int y = 0; y < kEditorHeight; ++y) {
            for (int x = 0; x < kEditorWidth; ++x) {
                colours.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y) & 0xffffff));
            }
        }
        XDestroyImage(image);
        return colours;
    }
    static std::vector<std::uint32_t> expectedScreen(const std::function<toolkit::Pixel(int, int)>& pixelAt) {
        std::vector<std::uint32_t> colours;
        for (int y = 0; y < kEditorHeight; ++y) {
            for (int x = 0; x < kEditorWidth; ++x) {
                const toolkit::Pixel p = pixelAt(x, y);
                colours.push_back(std::uint32_t{p.r} << 16 | std::uint32_t{p.g} << 8 | p.b);
            }
        }
        return colours;
    }

    std::optional<XHost> xhost_;
    Display* host_ = nullptr;
    Window parent_ = 0;
};

class PlatformX11EditorWindow : public X11EditorWindowTestBase {};

TEST(PlatformX11EditorWindowWithoutDisplay, OpensNothing) {
    const DisplayVariable none(nullptr);
    RecordingClient client;
    EXPECT_EQ(openEditorWindow(reinterpret_cast<void*>(std::uintptr_t{1}), kEditorWidth, kEditorHeight, client),
              nullptr);
}

TEST_F(PlatformX11EditorWindow, ParentThatIsNoWindowOpensNothing) {
    const Window gone = makeTopLevel(0, 0, 10, 10);
    XDestroyWindow(host_, gone);
    XSync(host_, False);
    for (const Window parent : {Window{0}, gone}) {
        RecordingClient client;
        EXPECT_EQ(open(client, parent), nullptr) << "parent " << parent;
    }
}

TEST_F(PlatformX11EditorWindow, TicksEvery16MsOnItsOwnThread) {
    RecordingClient client;
    const std::unique_ptr<EditorWindow> window = open(client);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(eventually([&] { return client.ticks() > 0; }, kPatience));
    const int before = client.ticks();
    const Clock::time_point start = Clock::now();
    std::this_thread::sleep_for(500ms);
    const int ticks = client.ticks() - before;
    const double nominal = std::chrono::duration<double>(Clock::now() - start) / 16ms;
    // Wide bounds: a busy machine delays ticks; what must never happen is a burst or a stall.
    EXPECT_GE(ticks, nominal * 0.5);
    EXPECT_LE(ticks, nominal * 1.1 + 1);
    EXPECT_NE(client.tickThread(), std::this_thread::get_id());
}

TEST_F(PlatformX11EditorWindow, ShowsTheFramebufferAndRegionsOfIt) {
    RecordingClient client;
    paintPattern(client.pixels());
    const std::unique_ptr<EditorWindow> window = open(client);
    ASSERT_NE(window, nullptr);
    const std::vector<std::uint32_t> pattern = expectedScreen(patternAt);
    EXPECT_TRUE(eventually([&] { return client.shown() && screen() == pattern; }, kPatience));
    EXPECT_GE(client.exposures(), 1);

    // Only the region shown changes on the screen, though the whole framebuffer did.
    const toolkit::Rect region{30, 20, 70, 50};
    const toolkit::Pixel blue{0, 0, 255, 255};
    client.repaint([&](toolkit::Framebuffer& pixels) { pixels.fill(blue); }, region);
    const std::vector<std::uint32_t> patched =
        expectedScreen([&](int x, int y) { return region.contains(toolkit::Point{x, y}) ? blue : patternAt(x, y); });
    EXPECT_TRUE(eventually([&] { return screen() == patched; }, kPatience));

    // Covered and uncovered, the window is exposed and shown whole again.
    const int exposures = client.exposures();
    const Window cover = makeTopLevel(kParentX, kParentY, kEditorWidth, kEditorHeight);
    XDestroyWindow(host_, cover);
    XSync(host_, False);
    const std::vector<std::uint32_t> allBlue = expectedScreen([&](int, int) { return blue; });
    EXPECT_TRUE(eventually([&] { return client.exposures() > exposures && screen() == allBlue; }, kPatience));
}

struct InputStep {
    enum Kind { Move, Press, Release, KeyDown, KeyUp } kind;
    int a;  // x, button or keysym
    int b = 0;  // y
};

struct InputCase {
    const char* name;
    std::vector<InputStep> steps;
    std::vector<std::string> calls;
};

using S = InputStep;
const InputCase kInputCases[] = {
    {"Click", {{S::Move, 30, 25}, {S::Press, 1}, {S::Release, 1}},
     {"move 30,25 none", "down 30,25 left x1", "up 30,25 left"}},
    {"DoubleClick", {{S::Move, 30, 25}, {S::Press, 1}, {S::Release, 1}, {S::Press, 1}, {S::Release, 1}},
     {"move 30,25 none", "down 30,25 left x1", "up 30,25 left", "down 30,25 left x2", "up 30,25 left"}},
    {"ShiftRightClick",
     {{S::Move, 5, 70}, {S::KeyDown, XK_Shift_L}, {S::Press, 3}, {S::Release, 3}, {S::KeyUp, XK_Shift_L}},
     {"move 5,70 none", "down 5,70 right x1 shift", "up 5,70 right shift"}},
    {"Drag", {{S::Move, 30, 25}, {S::Press, 1}, {S::Move, 40, 35}, {S::Release, 1}},
     {"move 30,25 none", "down 30,25 left x1", "move 40,35 left", "up 40,35 left"}},
    {"DragOutAndRelease", {{S::Move, 30, 25}, {S::Press, 1}, {S::Move, kEditorWidth + 20, 40}, {S::Release, 1}},
     {"move 30,25 none", "down 30,25 left x1", "move 140,40 left", "up 140,40 left", "left"}},
    {"Wheel", {{S::Move, 60, 40}, {S::Press, 4}, {S::Release, 4}, {S::Press, 5}, {S::Release, 5}},
     {"move 60,40 none", "wheel 60,40 +1", "wheel 60,40 -1"}},
    {"Leave", {{S::Move, 60, 40}, {S::Move, kEditorWidth + 20, 40}}, {"move 60,40 none", "left"}},
    {"Keys",
     {{S::Move, 60, 40}, {S::KeyDown, XK_a}, {S::KeyUp, XK_a}, {S::KeyDown, XK_Shift_L}, {S::KeyDown, XK_a},
      {S::KeyUp, XK_a}, {S::KeyUp, XK_Shift_L}, {S::KeyDown, XK_Control_L}, {S::KeyDown, XK_c}, {S::KeyUp, XK_c},
      {S::KeyUp, XK_Control_L}, {S::KeyDown, XK_BackSpace}, {S::KeyUp, XK_BackSpace}, {S::KeyDown, XK_Return},
      {S::KeyUp, XK_Return}},
     {"move 60,40 none", "key a", "key A shift", "key c ctrl", "key Backspace", "key Enter"}},
};

class PlatformX11EditorInput : public X11EditorWindowTestBase, public testing::WithParamInterface<InputCase> {
protected:
    void play(const InputStep& step) {
        switch (step.kind) {
            case InputStep::Move:
                movePointer(step.a, step.b);
                return;
            case InputStep::Press:
            case InputStep::Release:
                XTestFakeButtonEvent(host_, static_cast<unsigned>(step.a), step.kind == InputStep::Press, CurrentTime);
                break;
            case InputStep::KeyDown:
            case InputStep::KeyUp:
                XTestFakeKeyEvent(host_, XKeysymToKeycode(host_, static_cast<KeySym>(step.a)),
                                  step.kind == InputStep::KeyDown, CurrentTime);
                break;
        }
        XSync(host_, False);
    }
};

TEST_P(PlatformX11EditorInput, ReachesTheClient) {
    RecordingClient client;
    const std::unique_ptr<EditorWindow> window = open(client);
    ASSERT_NE(window, nullptr);
    for (const InputStep& step : GetParam().steps) {
        play(step);
    }
    const std::vector<std::string>& expected = GetParam().calls;
    eventually([&] { return client.calls().size() >= expected.size(); }, kPatience);
    // A moment more for anything that should not be there.
    const int ticks = client.ticks();
    eventually([&] { return client.ticks() > ticks + 2; }, kPatience);
    EXPECT_EQ(client.calls(), expected);
}

INSTANTIATE_TEST_SUITE_P(Platform, PlatformX11EditorInput, testing::ValuesIn(kInputCases),
                         [](const testing::TestParamInfo<InputCase>& info) { return info.param.name; });

int entriesIn(const char* folder) {
    int count = 0;
    if (DIR* directory = opendir(folder)) {
        while (readdir(directory) != nullptr) {
            ++count;
        }
        closedir(directory);
    }
    return count;
}

TEST_F(PlatformX11EditorWindow, OpeningAndClosingFiftyTimesLeavesNothingBehind) {
    const int files = entriesIn("/proc/self/fd");
    const int threads = entriesIn("/proc/self/task");
    RecordingClient client;
    for (int i = 0; i < 50; ++i) {
        std::unique_ptr<EditorWindow> window = open(client);
        ASSERT_NE(window, nullptr) << "opening " << i;
        client.attach(nullptr);
    }
    EXPECT_EQ(entriesIn("/proc/self/fd"), files);
    EXPECT_EQ(entriesIn("/proc/self/task"), threads);
}

TEST_F(PlatformX11EditorWindow, SurvivesHostsThatOpenTwiceOrNeverClose) {
    RecordingClient first;
    RecordingClient second;
    std::unique_ptr<EditorWindow> firstWindow = open(first);
    const std::unique_ptr<EditorWindow> secondWindow = open(second);
    ASSERT_NE(firstWindow, nullptr);
    ASSERT_NE(secondWindow, nullptr);
    firstWindow.reset();
    const int ticks = second.ticks();
    EXPECT_TRUE(eventually([&] { return second.ticks() > ticks + 2; }, kPatience)) << "the other window stopped";

    // The host destroys its window with ours inside while we keep drawing into it.
    second.showEveryTick();
    XDestroyWindow(host_, parent_);
    XSync(host_, False);
    const int after = second.ticks();
    EXPECT_TRUE(eventually([&] { return second.ticks() > after + 5; }, kPatience));
}

}  // namespace
}  // namespace platform
