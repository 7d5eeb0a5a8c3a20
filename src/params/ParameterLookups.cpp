#include "params/ParameterLookups.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "params/ControlTable.h"

namespace {

// Text-slot counters: kinds 57..66 share one, the data-store kinds 67..72 have one each.
constexpr unsigned kFirstTextKind = 57;
constexpr unsigned kLastTextKind = 66;
constexpr unsigned kFirstDataKind = 67;
constexpr unsigned kLastDataKind = 72;

constexpr unsigned kGlobalNumberKind = 55;
constexpr unsigned kGlobalNameKind = 56;

bool isCurveKind(unsigned kind, int& curve) {
    if (kind <= 5) {
        curve = static_cast<int>(kind);
    } else if (kind >= 7 && kind <= 12) {
        curve = static_cast<int>(kind - 7);
    } else if (kind >= 13 && kind <= 18) {
        curve = static_cast<int>(kind - 13);
    } else {
        return false;
    }
    return true;
}

bool isTextDisplayKind(unsigned kind) { return kind == 57 || kind == 58 || (kind >= 60 && kind <= 64); }

int countOptions(const char* options) {
    if (options == nullptr) {
        return 0;
    }
    return static_cast<int>(std::count(options, options + std::strlen(options), ','));
}

// Prints a float into at most 8 characters, with as many decimals as fit.
void floatToText(float value, char* text, std::size_t size) {
    constexpr int kDisplayChars = 8;
    char buffer[64];
    int length = 0;
    if (!std::isfinite(value)) {
        length = std::snprintf(buffer, sizeof buffer, "%s", "---");
    } else {
        for (int decimals = 2; decimals >= 0; --decimals) {
            length = std::snprintf(buffer, sizeof buffer, "%.*f", decimals, static_cast<double>(value));
            if (length <= kDisplayChars) {
                break;
            }
        }
        if (length > kDisplayChars) {
            length = std::snprintf(buffer, sizeof buffer, "%s", "Huge!");
        }
    }
    const std::size_t copied = std::min(static_cast<std::size_t>(length), size - 1);
    std::memcpy(text, buffer, copied);
    text[copied] = '\0';
}

}  // namespace

const ParameterLookups& ParameterLookups::get() {
    // The language guards the first build; later callers wait for it to finish.
    static const ParameterLookups lookups;
    return lookups;
}

ParameterLookups::ParameterLookups() {
    std::fill(std::begin(paramTextSlot), std::end(paramTextSlot), kNoTextSlot);
    const auto table = controlTable();
    for (std::size_t row = 1; row < table.size() && table[row].kind != control::kEndOfTable; ++row) {
        const ControlDescriptor& d = table[row];
        const unsigned id = d.id & control::kIdMask;
        if (id >= static_cast<unsigned>(kParameterIds)) {
            continue;
        }
        if (control::isOptionKind(d.kind)) {
            paramOptionCount[id] = static_cast<std::uint16_t>(countOptions(d.options));
        }
        int curveCode = 0;
        if (isCurveKind(d.kind, curveCode)) {
            paramCurve[id] = static_cast<std::uint8_t>(curveCode + ((d.id & control::kInvertCurve) ? kInvertedCurve : 0));
        }
        if (d.kind < control::kFirstDirectiveKind) {
            paramToDescriptor[id] = static_cast<std::uint32_t>(row);
        }
    }
    int textCounter = 0;
    int dataCounters[kLastDataKind - kFirstDataKind + 1] = {};
    for (int id = 0; id < kParameterIds; ++id) {
        const ControlDescriptor* d = descriptor(id);
        if (d == nullptr) {
            continue;
        }
        int slot = -1;
        if (d->kind >= kFirstTextKind && d->kind <= kLastTextKind) {
            slot = textCounter++;
        } else if (d->kind >= kFirstDataKind && d->kind <= kLastDataKind) {
            slot = dataCounters[d->kind - kFirstDataKind]++;
        }
        if (slot >= 0) {
            paramTextSlot[id] = static_cast<std::uint8_t>(slot + ((d->id & control::kGlobal) ? kGlobalTextSlot : 0));
        }
    }
}

const ControlDescriptor* ParameterLookups::descriptor(int id) const {
    if (id < 0 || id >= kParameterIds || paramToDescriptor[id] == 0) {
        return nullptr;
    }
    return &controlTable()[paramToDescriptor[id]];
}

int ParameterLookups::curve(int id) const { return id >= 0 && id < kParameterIds ? paramCurve[id] : 0; }

int ParameterLookups::optionCount(int id) const {
    return id >= 0 && id < kParameterIds ? paramOptionCount[id] : 0;
}

int ParameterLookups::textSlot(int id) const {
    return id >= 0 && id < kParameterIds ? paramTextSlot[id] : kNoTextSlot;
}

bool ParameterLookups::isGlobal(int id) const {
    const ControlDescriptor* d = descriptor(id);
    return d != nullptr && (d->id & control::kGlobal) != 0;
}

std::string_view ParameterLookups::option(int id, int index) const {
    const ControlDescriptor* d = descriptor(id);
    if (d == nullptr || d->options == nullptr || index < 0) {
        return {};
    }
    std::string_view list(d->options);
    for (int i = 0; i < index; ++i) {
        const std::size_t comma = list.find(',');
        if (comma == std::string_view::npos) {
            return {};
        }
        list.remove_prefix(comma + 1);
    }
    const std::size_t comma = list.find(',');
    return comma == std::string_view::npos ? std::string_view{} : list.substr(0, comma);
}

float ParameterLookups::engineeringValue(int id, float normalised) const {
    const ControlDescriptor* d = descriptor(id);
    if (d == nullptr) {
        return 0.0f;
    }
    const float shaped = applyCurve(curve(id), normalised);
    return (d->engMin + (d->engMax - d->engMin) * shaped) * 0.1f;
}

float ParameterLookups::normalisedFromEngineering(int id, float engineering) const {
    const ControlDescriptor* d = descriptor(id);
    if (d == nullptr || d->engMax == d->engMin || std::isnan(engineering)) {
        return 0.0f;
    }
    const float linear = std::clamp((engineering * 10.0f - d->engMin) / (d->engMax - d->engMin), 0.0f, 1.0f);
    return inverseCurve(curve(id), linear);
}

float ParameterLookups::snap(int id, float normalised) const {
    const int steps = optionCount(id);
    if (steps == 0) {
        return normalised;
    }
    if (steps == 1) {
        return 0.0f;
    }
    const float last = static_cast<float>(steps - 1);
    return std::trunc(last * normalised + 0.5f) / last;
}

void ParameterLookups::display(int id, float normalised, const char* slotText, char* text, std::size_t size) const {
    if (size == 0) {
        return;
    }
    text[0] = '\0';
    const ControlDescriptor* d = descriptor(id);
    if (d == nullptr) {
        return;
    }
    constexpr std::size_t kDisplayChars = 8;
    const std::size_t limit = std::min(size - 1, kDisplayChars);
    if (control::isOptionKind(d->kind)) {
        const int steps = optionCount(id);
        if (steps == 0) {
            return;
        }
        const float position = std::trunc(static_cast<float>(steps - 1) * normalised + 1e-3f);  // float k/(n-1) may sit below k
        if (position >= 0.0f && position < static_cast<float>(steps)) {
            const std::string_view item = option(id, static_cast<int>(position)).substr(0, limit);
            std::memcpy(text, item.data(), item.size());
            text[item.size()] = '\0';
            return;
        }
    } else if (d->kind == kGlobalNumberKind || d->kind == kGlobalNameKind) {
        return;
    } else if (isTextDisplayKind(d->kind)) {
        if (slotText == nullptr) {
            std::snprintf(text, size, "%s", "0");
            return;
        }
        const std::size_t length = strnlen(slotText, limit);
        std::memcpy(text, slotText, length);
        text[length] = '\0';
        return;
    }
    const float shown = d->min + (d->max - d->min) * applyCurve(curve(id), normalised);
    floatToText(shown, text, std::min(size, kDisplayChars + 1));
}

float ParameterLookups::applyCurve(int code, float value) {
    float shaped = value;
    switch (code & ~kInvertedCurve) {
        case 2:
            shaped = value * value * value * value;
            break;
        case 3:
            shaped = value * value;
            break;
        case 4:
            shaped = 1.0f - (1.0f - value) * (1.0f - value);
            break;
        case 5: {
            const float rest = 1.0f - value;
            shaped = 1.0f - rest * rest * rest * rest;
            break;
        }
        default:
            break;
    }
    return (code & kInvertedCurve) ? 1.0f - shaped : shaped;
}

float ParameterLookups::inverseCurve(int code, float value) {
    float x = (code & kInvertedCurve) ? 1.0f - value : value;
    if (std::isnan(x) || x == 0.0f || x == 1.0f) {
        return x;
    }
    switch (code & ~kInvertedCurve) {
        case 2:
            return std::sqrt(std::sqrt(x));
        case 3:
            return std::sqrt(x);
        case 4:
            return 1.0f - std::sqrt(1.0f - x);
        case 5:
            return 1.0f - std::sqrt(std::sqrt(1.0f - x));
        default:
            return x;
    }
}
