// The editor in a real X11 window, as a Linux host opens it: the host's own window is the
// parent given to effEditOpen, and the user's drag arrives through the X server.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <thread>

#include "editor/EditorLayout.h"
#include "editor/QX_GUI_Editor.h"
#include "host/QX_DSP_VST.h"
#include "support/Eventually.h"
#include "support/PrivateXServer.h"
#include "support/TestHost.h"
#include "support/XHost.h"

// After the toolkit: Xlib's None macro would hide MouseButton::None.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace {

using namespace std::chrono_literals;
using namespace vst;

constexpr int kCutoff = 83;  // "LPF Cutoff", a knob
constexpr auto kPatience = 10s;  // for what should take milliseconds, on a loaded machine

class EditorX11Window : public testing::Test {
protected:
    void SetUp() override {
        if (!sharedXServer().installed()) {
            GTEST_SKIP() << "Xvfb is not installed";
        }
        ASSERT_FALSE(sharedXServer().name().empty()) << "Xvfb did not start";
        xhost_.emplace(sharedXServer().name());
        x_ = xhost_->display();
        ASSERT_NE(x_, nullptr);
        parent_ = xhost_->makeTopLevel(0, 0, layout::kEditorWidth, layout::kEditorHeight, 0);
        ASSERT_NE(host.open(), nullptr);
    }
    void TearDown() override {
        x_ = nullptr;
        xhost_.reset();
    }

    QX_GUI_Editor& editor() { return *static_cast<QX_GUI_Editor*>(pluginOf(host.effect).getEditor()); }
    unsigned childWindows() {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree(x_, parent_, &root, &parent, &children, &count);
        if (children != nullptr) XFree(children);
        return count;
    }
    std::uint32_t pixel(int x, int y) {
        XImage* image = XGetImage(x_, parent_, x, y, 1, 1, AllPlanes, ZPixmap);
        const auto colour = static_cast<std::uint32_t>(XGetPixel(image, 0, 0) & 0xffffff);
        XDestroyImage(image);
        return colour;
    }
    void pointerTo(int x, int y) {
        XTestFakeMotionEvent(x_, DefaultScreen(x_), x, y, CurrentTime);
        XSync(x_, False);
    }
    void button(bool down) {
        XTestFakeButtonEvent(x_, 1, down ? True : False, CurrentTime);
        XSync(x_, False);
    }

    TestHost host;
    std::optional<XHost> xhost_;
    Display* x_ = nullptr;
    Window parent_ = 0;
};

TEST_F(EditorX11Window, ShowsItselfAndADragReachesTheHost) {
    host.effect->setParameter(host.effect, kCutoff, 0.5f);  // set while closed, shown at open
    ASSERT_EQ(host.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent_)), 1);
    EXPECT_EQ(childWindows(), 1u);
    // The knob's rectangle is fixed from open on; the window's thread only draws it.
    const toolkit::Rect knob = editor().control(kCutoff)->frameRect();
    const int x = knob.left + knob.width() / 2;
    const int y = knob.top + layout::kKnobSize / 2;
    EXPECT_TRUE(eventually([&] { return pixel(x, y) != 0; }, kPatience)) << "nothing drawn on the host's window";

    pointerTo(x, y);
    button(true);
    for (int step = 1; step <= 10; ++step) {
        pointerTo(x, y - 4 * step);
        std::this_thread::sleep_for(20ms);
    }
    button(false);
    EXPECT_TRUE(eventually([&] { return host.effect->getParameter(host.effect, kCutoff) > 0.55f; }, kPatience));

    host.dispatch(effEditClose);  // joins the window's thread
    EXPECT_EQ(childWindows(), 0u);
    const float reached = host.effect->getParameter(host.effect, kCutoff);
    EXPECT_NEAR(reached, 0.5f + 40.0f / 200.0f, 0.02f) << "40 px of a 200 px travel";
    ASSERT_FALSE(host.automations.empty());
    for (const auto& automation : host.automations) {
        EXPECT_EQ(automation.index, kCutoff) << "only the dragged knob is automated, not the sync at open";
    }
    EXPECT_FLOAT_EQ(host.automations.back().value, reached);
}

TEST_F(EditorX11Window, OpensAgainInTheSameWindowAndClosesCleanly) {
    for (int round = 0; round < 10; ++round) {
        ASSERT_EQ(host.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent_)), 1);
        ASSERT_EQ(host.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent_)), 1);  // hosts that open twice
        EXPECT_EQ(childWindows(), 1u);
        host.dispatch(effEditClose);
        EXPECT_EQ(childWindows(), 0u);
    }
    EXPECT_TRUE(host.automations.empty());
}

}  // namespace
