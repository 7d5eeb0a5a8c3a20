#include "ArtCatalogue.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "BackgroundArt.h"
#include "ControlArt.h"
#include "KnobArt.h"
#include "PanelArt.h"
#include "WaveStripArt.h"
#include "editor/EditorLayout.h"
#include "params/ControlTable.h"

namespace art {
namespace {

// Control bitmap sizes in px: frame width and height, as the control classes expect them.
constexpr int kSwitchWidth = 30;
constexpr int kSwitchHeight = 16;
constexpr int kButtonWidth = 44;
constexpr int kTabWidth = 48;
constexpr int kButtonHeight = 18;
constexpr int kSmallButtonSide = 18;
constexpr int kLedSide = 12;
constexpr int kHandleWidth = 20;
constexpr int kHandleHeight = 12;
constexpr int kOptionImageWidth = 60;
constexpr int kOptionImageHeight = 30;

// The items of a parameter's option list, so the strips follow the table's lists item by item.
std::vector<std::string> optionItems(std::string_view parameter) {
    for (const ControlDescriptor& row : controlTable()) {
        if (row.name != nullptr && row.options != nullptr && parameter == row.name) {
            std::vector<std::string> items;
            std::string item;
            for (const char* c = row.options; *c != 0; ++c) {
                if (*c == ',') {
                    items.push_back(item);
                    item.clear();
                } else {
                    item += *c;
                }
            }
            return items;
        }
    }
    throw std::runtime_error("no option list for \"" + std::string(parameter) + "\"");
}

Canvas waveStrip(std::string_view parameter) {
    return paintWaveStrip(optionItems(parameter), kOptionImageWidth, kOptionImageHeight);
}

constexpr ArtPiece kCatalogue[] = {
    {"BG.png", paintBackground},
    {"Knob.png", [] { return paintKnobStrip(layout::kKnobSize, layout::kKnobFrames); }},
    {"Knob_Small.png", [] { return paintKnobStrip(layout::kSmallKnobSize, layout::kKnobFrames); }},
    {"Switch.png", [] { return paintSwitch(kSwitchWidth, kSwitchHeight); }},
    {"Switch_Retrig.png", [] { return paintRetrigSwitch(kSwitchWidth, kSwitchHeight); }},
    {"Button.png", [] { return paintButton(kButtonWidth, kButtonHeight); }},
    {"Button_Tab.png", [] { return paintTabButton(kTabWidth, kButtonHeight); }},
    {"Button_Small.png", [] { return paintButton(kSmallButtonSide, kSmallButtonSide); }},
    {"AsnMidiCC.png", [] { return paintLearnButton(kButtonWidth, kButtonHeight); }},
    {"Led.png", [] { return paintLed(kLedSide); }},
    {"Slider_Handle.png", [] { return paintSliderHandle(kHandleWidth, kHandleHeight); }},
    {"Wave_Options.png", [] { return waveStrip("Osc1 Wave"); }},
    {"SubWave_Options.png", [] { return waveStrip("SubOsc Wave"); }},
    {"LfoShape_Options.png", [] { return waveStrip("Lfo1 Shape"); }},
    {layout::kCreditsPanel.bitmap,
     [] { return paintPopupPanel(layout::kCreditsPanel.width, layout::kCreditsPanel.height, "CREDITS"); }},
    {layout::kLearnPanel.bitmap,
     [] { return paintPopupPanel(layout::kLearnPanel.width, layout::kLearnPanel.height, "MIDI LEARN"); }},
};

}  // namespace

std::span<const ArtPiece> artCatalogue() { return kCatalogue; }

}  // namespace art
