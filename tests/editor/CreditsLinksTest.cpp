// The credits panel's links through the real plug-in, headless: a click on a link control goes to
// the editor's own link module, which names its link, and the editor's next idle pass hands it to
// the opener (a recorder here, the desktop in a host). Audio may run or not.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "editor/CreditsLinks.h"
#include "editor/QX_COnOffButton.h"
#include "editor/QX_GUI_Editor.h"
#include "host/QX_DSP_VST.h"
#include "modules/modulation/LinkMessages.h"
#include "support/TestHost.h"
#include "toolkit/Control.h"

namespace {

using namespace vst;

constexpr int kCreditsButton = 394;
constexpr int kCreditsPanel = 9;
constexpr int kWebPage = 361;
constexpr int kContact = 362;
constexpr int kGuidePage = 363;
constexpr int kOpen = 364;
constexpr int kBlock = 128;

class CreditsLinksFixture {
protected:
    void openEditor(bool audioRuns) {
        audioRuns_ = audioRuns;
        ASSERT_NE(host.open(), nullptr);
        host.start(44100.0f, kBlock);
        if (audioRuns_) {
            host.process(kBlock);
        }
        editor().setLinkOpener([this](const std::string& link) { opened.push_back(link); });
        ASSERT_EQ(host.dispatch(effEditOpen), 1);
    }

    QX_DSP_VST& plugin() { return pluginOf(host.effect); }
    QX_GUI_Editor& editor() { return *static_cast<QX_GUI_Editor*>(plugin().getEditor()); }
    toolkit::Control& shown(int tag) {
        toolkit::Control* control = editor().control(tag);
        EXPECT_NE(control, nullptr) << "no control for tag " << tag;
        static toolkit::Control none(toolkit::Rect{}, -1);
        return control != nullptr ? *control : none;
    }
    // An idle pass, after a block of audio when audio runs.
    void pass() {
        if (audioRuns_) {
            host.process(kBlock);
        }
        host.dispatch(effEditIdle);
    }
    void passes(int count) {
        for (int i = 0; i < count; ++i) {
            pass();
        }
    }
    void showCredits() {
        shown(kCreditsButton).changeValue(1.0f);
        shown(kCreditsButton).changeValue(0.0f);
        pass();
        ASSERT_TRUE(editor().isPanelOpen(kCreditsPanel));
    }
    void choosePage(int page) { shown(kGuidePage).changeValue(static_cast<float>(page) / 2.0f); }
    // A left click on the control as the window delivers it: press, time passes, release.
    void click(int tag) {
        editor().frame()->mouseDown(toolkit::MouseEvent(centre(tag)));
        pass();
        editor().frame()->mouseUp(toolkit::MouseEvent(centre(tag)));
        passes(2);
    }
    // A click between two idle passes.
    void quickClick(int tag) {
        editor().frame()->mouseDown(toolkit::MouseEvent(centre(tag)));
        editor().frame()->mouseUp(toolkit::MouseEvent(centre(tag)));
    }
    toolkit::Point centre(int tag) {
        const toolkit::Rect box = shown(tag).frameRect();
        return {(box.left + box.right) / 2, (box.top + box.bottom) / 2};
    }

    TestHost host;
    std::vector<std::string> opened;

private:
    bool audioRuns_ = true;
};

struct LinkClick {
    const char* name;
    int guidePage;  // chosen in the list before the click; -1 leaves the list alone
    int button;
    const char* link;
};

void PrintTo(const LinkClick& c, std::ostream* os) { *os << c.name; }

const LinkClick kClicks[] = {
    {"WebPage", -1, kWebPage, LinkMessages::kPinLinks[0]},
    {"Contact", -1, kContact, LinkMessages::kPinLinks[3]},
    {"FirstGuidePage", -1, kOpen, LinkMessages::kChosenLinks[0]},
    {"SecondGuidePage", 1, kOpen, LinkMessages::kChosenLinks[1]},
    {"ChoosingBackAgain", 0, kOpen, LinkMessages::kChosenLinks[0]},
};

class EditorCreditsLink : public CreditsLinksFixture, public ::testing::TestWithParam<std::tuple<LinkClick, bool>> {
protected:
    void SetUp() override { openEditor(std::get<1>(GetParam())); }
};

TEST_P(EditorCreditsLink, AClickOpensItsLinkOnce) {
    const LinkClick& c = std::get<0>(GetParam());
    showCredits();
    if (c.guidePage >= 0) {
        choosePage(2);
        choosePage(c.guidePage);
        pass();
        ASSERT_TRUE(opened.empty());
    }
    click(c.button);
    EXPECT_EQ(opened, std::vector<std::string>{c.link});
    // Nothing is left to open later.
    passes(4);
    EXPECT_EQ(opened.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Editor, EditorCreditsLink, ::testing::Combine(::testing::ValuesIn(kClicks), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "WithAudio" : "WithoutAudio");
                         });

class EditorCreditsLinks : public CreditsLinksFixture, public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { openEditor(GetParam()); }
};

// Showing the panel, choosing a page and changing the program are no clicks on a link; a click
// right after a program change opens, even while no audio has run since.
TEST_P(EditorCreditsLinks, NothingOpensWithoutAClick) {
    showCredits();
    choosePage(2);
    passes(8);
    host.dispatch(effSetProgram, 0, 3);
    if (!GetParam()) {
        ASSERT_TRUE(plugin().programJustLoaded.load());
    }
    passes(8);
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(editor().isPanelOpen(kCreditsPanel));
    // The chosen page survives the program change.
    click(kOpen);
    EXPECT_EQ(opened, std::vector<std::string>{LinkMessages::kChosenLinks[2]});
}

// A click whose link was not opened before the editor closed would surprise the user at the next
// open; the reopened editor starts from the first guide page again, in the list and in what Open
// opens.
TEST_P(EditorCreditsLinks, ClosingDropsWhatWasNotOpened) {
    showCredits();
    choosePage(2);
    quickClick(kWebPage);
    host.dispatch(effEditClose);
    passes(2);
    ASSERT_EQ(host.dispatch(effEditOpen), 1);
    passes(4);
    EXPECT_TRUE(opened.empty());
    showCredits();
    EXPECT_EQ(shown(kGuidePage).value(), 0.0f);
    click(kOpen);
    EXPECT_EQ(opened, std::vector<std::string>{LinkMessages::kChosenLinks[0]});
}

INSTANTIATE_TEST_SUITE_P(Editor, EditorCreditsLinks, ::testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "WithAudio" : "WithoutAudio"); });

// The link buttons say what they open, sit in the credits panel with the list, and their labels fit
// on them; the link controls are the rows the editor's link module listens to.
TEST(EditorCreditsLinkRows, ButtonsCarryTheirLabelsAndTooltips) {
    TestHost host;
    ASSERT_NE(host.open(), nullptr);
    ASSERT_EQ(host.dispatch(effEditOpen), 1);
    const auto& editor = *static_cast<QX_GUI_Editor*>(pluginOf(host.effect).getEditor());
    const toolkit::Control* list = editor.control(kGuidePage);
    ASSERT_NE(list, nullptr);
    for (const int tag : {kWebPage, kContact, kOpen}) {
        const auto* button = dynamic_cast<const QX_COnOffButton*>(editor.control(tag));
        ASSERT_NE(button, nullptr) << tag;
        EXPECT_EQ(button->shownLabel(), button->label()) << tag;
        EXPECT_FALSE(button->tooltip().empty()) << tag;
        EXPECT_EQ(button->parent(), list->parent()) << tag;
    }
    for (const CreditsLinks::Link& link : CreditsLinks::kLinks) {
        EXPECT_NE(editor.control(link.tag), nullptr) << link.tag;
    }
}

}  // namespace
