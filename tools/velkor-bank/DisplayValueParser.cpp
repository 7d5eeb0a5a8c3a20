#include "velkor-bank/DisplayValueParser.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

#include "params/ControlDescriptor.h"
#include "params/ParameterLookups.h"
#include "velkor-bank/ProgramSource.h"

namespace bank {

namespace {

constexpr std::string_view kReservedName = "zFuture";
constexpr std::string_view kOn = "On";
constexpr std::string_view kOff = "Off";
constexpr std::size_t kDisplayChars = 8;
constexpr unsigned kLastStoreKind = 72;          // kinds 57..72: text fields and byte stores
constexpr unsigned kLastSwitchKind = 31;         // kinds 26..31: on/off and exclusive buttons

bool isStoreKind(unsigned kind) { return kind >= control::kFirstTextSlotKind && kind <= kLastStoreKind; }

bool isSwitchKind(unsigned kind) {
    return kind >= control::kOnOffSwitch && kind <= kLastSwitchKind && kind != control::kButtonHub;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A unit belongs to a parameter when its name carries it: "(s)", "(Hz)", "Rate(Hz)" or a last word "%", "dB".
bool nameCarriesUnit(std::string_view name, std::string_view unit) {
    const std::string bracketed = "(" + std::string(unit) + ")";
    const std::string lastWord = " " + std::string(unit);
    return name.find(bracketed) != std::string_view::npos ||
           (name.size() > lastWord.size() && name.substr(name.size() - lastWord.size()) == lastWord);
}

int decimalsOf(std::string_view number) {
    const auto point = number.find('.');
    return point == std::string_view::npos ? 0 : static_cast<int>(number.size() - point - 1);
}

std::string displayOf(int id, float normalised) {
    char text[kDisplayChars + 1];
    ParameterLookups::get().display(id, normalised, nullptr, text, sizeof text);
    return text;
}

DisplayValueParser::Result failure(std::string message) { return {0.0f, std::move(message)}; }

DisplayValueParser::Result parseOption(int id, std::string_view text) {
    const ParameterLookups& lookups = ParameterLookups::get();
    const int count = lookups.optionCount(id);
    std::string items;
    for (int index = 0; index < count; ++index) {
        const std::string_view item = lookups.option(id, index);
        if (item == text) {
            return {count > 1 ? static_cast<float>(index) / static_cast<float>(count - 1) : 0.0f, {}};
        }
        items += (index ? ", " : "") + std::string(item);
    }
    return failure("\"" + std::string(text) + "\" is not one of " + items);
}

DisplayValueParser::Result parseNumber(int id, const ControlDescriptor& row, std::string_view text) {
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '+') {
        digits.remove_prefix(1);
    }
    double written = 0.0;
    const auto [end, fault] = std::from_chars(digits.data(), digits.data() + digits.size(), written);
    if (fault != std::errc() || end == digits.data() || !std::isfinite(written)) {
        return failure("\"" + std::string(text) + "\" is not a number");
    }
    const std::string_view number(digits.data(), static_cast<std::size_t>(end - digits.data()));
    const std::string_view unit = trim(std::string_view(end, static_cast<std::size_t>(digits.data() + digits.size() - end)));
    if (!unit.empty() && !nameCarriesUnit(row.name, unit)) {
        return failure("unit \"" + std::string(unit) + "\" does not belong to \"" + row.name + "\"");
    }
    const double low = std::min(row.min, row.max);
    const double high = std::max(row.min, row.max);
    // The display rounds to hundredths, so its lowest shown value may read a hair beyond the range.
    constexpr double kDisplayHalfStep = 0.005;
    if (written < low - kDisplayHalfStep || written > high + kDisplayHalfStep || row.max == row.min) {
        return failure(std::string(text) + " is outside " + displayOf(id, row.min < row.max ? 0.0f : 1.0f) + ".." +
                       displayOf(id, row.min < row.max ? 1.0f : 0.0f));
    }
    const double shaped = std::clamp((written - row.min) / (row.max - row.min), 0.0, 1.0);
    const float normalised = ParameterLookups::inverseCurve(ParameterLookups::get().curve(id), static_cast<float>(shaped));

    // Read it back as the display shows it: the same digits, never more precision than shown.
    const std::string shown = displayOf(id, normalised);
    const double step = std::pow(10.0, -decimalsOf(shown));
    const double readBack = std::strtod(shown.c_str(), nullptr);
    if (decimalsOf(number) > decimalsOf(shown) || std::abs(readBack - written) > step * 0.25) {
        return failure(std::string(number) + " shows as " + shown + " on the display; write the value as shown");
    }
    return {normalised, {}};
}

}  // namespace

int DisplayValueParser::findParameter(std::string_view name) {
    const ParameterLookups& lookups = ParameterLookups::get();
    for (int id = 0; id < control::kHostParameterCount; ++id) {
        const ControlDescriptor* row = lookups.descriptor(id);
        if (row == nullptr || row->name == nullptr || name != row->name) {
            continue;
        }
        if (lookups.isGlobal(id) || isStoreKind(row->kind) || id == kVersionParameter || name == kReservedName) {
            return -1;
        }
        return id;
    }
    return -1;
}

bool DisplayValueParser::isParameterName(std::string_view name) {
    for (int id = 0; id < kParameterIds; ++id) {
        const ControlDescriptor* row = ParameterLookups::get().descriptor(id);
        if (row != nullptr && row->name != nullptr && name == row->name) {
            return true;
        }
    }
    return false;
}

std::string DisplayValueParser::nameIgnoringCase(std::string_view name) {
    for (int id = 0; id < control::kHostParameterCount; ++id) {
        const ControlDescriptor* row = ParameterLookups::get().descriptor(id);
        if (row != nullptr && row->name != nullptr && equalsIgnoringCase(name, row->name) &&
            findParameter(row->name) == id) {
            return row->name;
        }
    }
    return {};
}

DisplayValueParser::Result DisplayValueParser::parse(int id, std::string_view text) {
    const ControlDescriptor* row = ParameterLookups::get().descriptor(id);
    if (row == nullptr) {
        return failure("no parameter " + std::to_string(id));
    }
    text = trim(text);
    if (control::isOptionKind(row->kind)) {
        return parseOption(id, text);
    }
    if (isSwitchKind(row->kind) && (text == kOn || text == kOff)) {
        return {text == kOn ? 1.0f : 0.0f, {}};
    }
    return parseNumber(id, *row, text);
}

}  // namespace bank
