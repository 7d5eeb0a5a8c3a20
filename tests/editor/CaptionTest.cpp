// Every switch and button of the shipped editor reads whole: captions are never cut, and the
// top bar's single-preset buttons read apart from the sections' own load and save buttons.
#include <gtest/gtest.h>

#include <string>

#include "editor/QX_COnOffButton.h"
#include "editor/QX_GUI_Editor.h"
#include "host/QX_DSP_VST.h"
#include "engine/QX_EngineHost.h"
#include "support/TestHost.h"
#include "toolkit/Font.h"

namespace {

using namespace vst;

class EditorCaptions : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(host.open(), nullptr);
        ASSERT_EQ(host.dispatch(effEditOpen), 1);
    }
    void TearDown() override { host.dispatch(effEditClose); }
    QX_COnOffButton* button(int tag) {
        auto* editor = static_cast<QX_GUI_Editor*>(pluginOf(host.effect).getEditor());
        return dynamic_cast<QX_COnOffButton*>(editor->control(tag));
    }

    TestHost host;
};

TEST_F(EditorCaptions, EveryCaptionFitsUnderItsSwitch) {
    const toolkit::Font font = toolkit::Font::nearest(QX_COnOffButton::kTextFontPx);
    int captioned = 0;
    for (int tag = 0; tag < kParameterCount; ++tag) {
        const QX_COnOffButton* shown = button(tag);
        if (shown == nullptr || shown->caption().empty()) continue;
        ++captioned;
        EXPECT_LE(font.textWidth(shown->caption()), shown->rect().width()) << shown->caption();
        EXPECT_LE(shown->switchRect().width(), shown->rect().width());
    }
    EXPECT_GT(captioned, 0);
    // The two that used to lose their ends.
    EXPECT_EQ(button(210)->caption(), "Dotted");
    EXPECT_EQ(button(16)->caption(), "Subtle");
}

struct Reading {
    int tag;
    const char* shown;
};

TEST_F(EditorCaptions, TopBarPresetButtonsReadApartFromSectionButtons) {
    for (const Reading r : {Reading{398, "Load P"}, Reading{399, "Save P"}, Reading{368, "Copy P"},
                            Reading{369, "Paste P"}, Reading{376, "Load"}, Reading{377, "Save"}}) {
        ASSERT_NE(button(r.tag), nullptr) << r.tag;
        EXPECT_EQ(button(r.tag)->shownLabel(), r.shown) << r.tag;
    }
    EXPECT_EQ(button(398)->tooltip(), "Load Single Sound Preset") << "the tooltip keeps the whole name";
}

}  // namespace
