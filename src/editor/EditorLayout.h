// Geometry shared by the editor's control layout and the art generator, so the sections drawn on
// the background and the controls placed on them come from one place.
#pragma once

namespace layout {

struct Box {
    int x;
    int y;
    int width;
    int height;
};

struct Section {
    const char* title;
    Box box;
};

constexpr int kEditorWidth = 991;
constexpr int kEditorHeight = 701;

// The top bar: logo, preset name and stepping, bank menu, copy/paste, read-outs, credits.
constexpr Box kTopBar{0, 0, kEditorWidth, 42};
constexpr int kSectionTitleHeight = 18;  // title strip at the top of every section

// Four rows of sections under the top bar.
constexpr Section kSections[] = {
    {"OSC", {6, 46, 300, 160}},
    {"MIXER", {310, 46, 190, 160}},
    {"FILTER", {504, 46, 286, 160}},
    {"MASTER", {794, 46, 191, 160}},
    {"AMP ENV", {6, 210, 208, 160}},
    {"FILTER ENV", {218, 210, 252, 160}},
    {"ENV 1 / ENV 2", {474, 210, 256, 160}},
    {"LFO 1-3", {734, 210, 251, 160}},
    {"HFO", {6, 374, 324, 160}},
    {"AFTERTOUCH / MPE", {334, 374, 260, 160}},
    {"ARP", {598, 374, 162, 160}},
    {"EQ", {764, 374, 221, 160}},
    {"SEQ", {6, 538, 424, 160}},
    {"MELT", {434, 538, 206, 160}},
    {"CHORUS", {644, 538, 156, 160}},
    {"ECHO", {804, 538, 181, 160}},
};

// Hidden panels that open over the sections (the bitmap is the panel's whole background).
struct Panel {
    const char* bitmap;
    int width;
    int height;
};

constexpr Panel kCreditsPanel{"Credits_Panel.png", 420, 240};
constexpr Panel kLearnPanel{"Learn_Panel.png", 346, 174};
constexpr Panel kPanels[] = {kCreditsPanel, kLearnPanel};

constexpr bool sameName(const char* a, const char* b) {
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

// The panel drawn by `bitmap`, or null.
constexpr const Panel* findPanel(const char* bitmap) {
    if (bitmap == nullptr) {
        return nullptr;
    }
    for (const Panel& panel : kPanels) {
        if (sameName(panel.bitmap, bitmap)) {
            return &panel;
        }
    }
    return nullptr;
}

// The section that holds the point (editor coordinates), or null.
constexpr const Section* sectionAt(int x, int y) {
    for (const Section& section : kSections) {
        const Box& b = section.box;
        if (x >= b.x && x < b.x + b.width && y >= b.y && y < b.y + b.height) {
            return &section;
        }
    }
    return nullptr;
}

// Control bitmaps every control class may rely on.
constexpr int kKnobSize = 41;      // "Knob.png": 29 frames of 41 x 41 stacked vertically
constexpr int kKnobFrames = 29;
constexpr int kSmallKnobSize = 29;  // "Knob_Small.png": 29 frames of 29 x 29
constexpr int kLabelHeight = 12;    // text under a knob

}  // namespace layout
