// Lookups derived once per process from the control table, and the conversions between a
// parameter's normalised, shown and engineering values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "params/ControlDescriptor.h"

constexpr int kParameterIds = 451;
constexpr std::uint8_t kNoTextSlot = 255;
constexpr std::uint8_t kGlobalTextSlot = 128;   // added to the slot of a global row
constexpr std::uint8_t kInvertedCurve = 128;    // added to the curve code of an inverted row

class ParameterLookups {
public:
    // Built by the first caller; a caller that arrives during the build waits for it.
    static const ParameterLookups& get();

    const ControlDescriptor* descriptor(int id) const;  // null when no row carries the id
    int curve(int id) const;
    int optionCount(int id) const;
    int textSlot(int id) const;  // kNoTextSlot when none
    bool isGlobal(int id) const;

    // The option `index` of the id's list, or an empty view.
    std::string_view option(int id, int index) const;

    float engineeringValue(int id, float normalised) const;
    float normalisedFromEngineering(int id, float engineering) const;
    float snap(int id, float normalised) const;

    // The 8-character display text; `slotText` is the id's text slot in the current program.
    void display(int id, float normalised, const char* slotText, char* text, std::size_t size) const;

    static float applyCurve(int code, float value);
    static float inverseCurve(int code, float value);

    std::uint32_t paramToDescriptor[kParameterIds] = {};
    std::uint8_t paramCurve[kParameterIds] = {};
    std::uint16_t paramOptionCount[kParameterIds] = {};
    std::uint8_t paramTextSlot[kParameterIds] = {};

private:
    ParameterLookups();
};
