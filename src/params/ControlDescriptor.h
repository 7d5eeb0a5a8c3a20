// One row of the control table: a parameter's names, ranges, curve and options, and the
// editor control (or layout directive) that the row makes.
#pragma once

#include <cstdint>

struct ControlDescriptor {
    std::uint32_t id;      // bits 0-15 id, bit 28 inverted curve, bit 31 global value
    std::uint16_t kind;    // control kind code; kEndOfTable ends the table
    std::int16_t arg;      // -1 when the row carries none
    std::int16_t x;
    std::int16_t y;
    const char* bitmap;
    float min;             // shown value at normalised 0
    float max;             // shown value at normalised 1 (may lie below min)
    float engMin;          // engineering value at normalised 0, times ten
    float engMax;          // engineering value at normalised 1, times ten
    const char* name;
    const char* options;   // items each followed by a comma
    const char* tooltip;
};

namespace control {

constexpr std::uint32_t kIdMask = 0xFFFF;
constexpr std::uint32_t kInvertCurve = 1u << 28;
constexpr std::uint32_t kGlobal = 1u << 31;

constexpr std::uint16_t kFirstDirectiveKind = 139;  // rows from here on are editor layout
constexpr std::uint16_t kEndOfTable = 161;

constexpr int kHostParameterCount = 333;  // ids 0..332; ids above belong to the editor and engine

// Kind codes the table uses; where a kind list gives a range, the first code of the range unless noted.
constexpr std::uint16_t kFrequencyKnob = 6;
constexpr std::uint16_t kOnOffSwitch = 26;   // two-state switch
constexpr std::uint16_t kActionButton = 27;  // momentary button whose press is a command
constexpr std::uint16_t kButtonHub = 29;
constexpr std::uint16_t kExclusiveButton = 30;
constexpr std::uint16_t kOptionsText = 32;
constexpr std::uint16_t kOptionsImage = 33;
constexpr std::uint16_t kFloatStore = 53;
constexpr std::uint16_t kGlobalNumberDisplay = 55;
constexpr std::uint16_t kGlobalNameDisplay = 56;
constexpr std::uint16_t kTextEntry = 57;
constexpr std::uint16_t kDataStore512 = 67;   // own slot counter: the 512-byte areas of a program
constexpr std::uint16_t kDataStore2048 = 69;  // own slot counter: the 2048-byte area of a program
constexpr std::uint16_t kAssignMidiCC = 76;
constexpr std::uint16_t kEqWindow = 114;
constexpr std::uint16_t kTextOnly = 83;
constexpr std::uint16_t kMultiLevel = 122;
constexpr std::uint16_t kMemoryBanks = 135;  // randomise group, mode 0
constexpr std::uint16_t kLastMemoryBanks = 137;  // randomise group, mode 2
constexpr std::uint16_t kWebLinks = 138;     // the bank-and-preset command target

// Layout and linking directives.
constexpr std::uint16_t kOptionPanel = 142;   // option `id` at item `x` opens panel `arg`
constexpr std::uint16_t kExclusiveSet = 143;  // buttons `id`, `arg`, `x`, `y`: one of them on
constexpr std::uint16_t kPanelButton = 144;   // button `id` opens panels `arg`, `x`, `y`
constexpr std::uint16_t kCommandLink = 148;   // button `id` sends command `arg` to control `x`
constexpr std::uint16_t kGroupMember = 149;   // control `x` is member `arg` of group `id`
constexpr std::uint16_t kTextSize = 151;      // text controls that follow are `x` by `y`
constexpr std::uint16_t kStripFrames = 152;   // knob and slider strips that follow have `x` frames
constexpr std::uint16_t kHiddenPanel = 158;   // panel `id` at `x`, `y`, background `bitmap`
constexpr std::uint16_t kSubPanel = 159;      // the same inside the current panel
constexpr std::uint16_t kClosePanel = 160;    // back to the container the panel sits in

// The command a button sends to a randomise group.
constexpr int kRandomiseCommand = 90;

// Text fields share kinds 57..66; the program's byte stores use their own kinds.
constexpr std::uint16_t kFirstTextSlotKind = 57;
constexpr std::uint16_t kLastTextSlotKind = 66;
constexpr std::uint16_t kDataStore512Kind = 67;
constexpr std::uint16_t kDataStore2048Kind = 69;
constexpr int kLastStoreParameter = 5;  // ids 0..5 are the program's text and data stores

// The kinds that make an editor control (or, 135..138, an editor object); any other kind below
// the directives makes nothing.
constexpr bool isControlKind(unsigned kind) {
    return kind <= 53 || (kind >= 55 && kind <= 64) || kind == 67 || kind == 69 || kind == 73 || kind == 74 ||
           (kind >= 76 && kind <= 84) || (kind >= 90 && kind <= 96) || (kind >= 114 && kind <= 129) ||
           (kind >= 134 && kind <= 138);
}

constexpr bool isOptionKind(unsigned kind) {
    return kind == 29 || (kind >= 32 && kind <= 42) || kind == 74;
}

}  // namespace control
