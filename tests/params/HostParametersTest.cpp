// Walks the 333 host parameters through the plug-in's VST interface and checks names, displays,
// snapping, engineering values and program ownership against data/HostParameters.tsv, a
// transcription kept apart from the control table; and checks the derived lookups against the table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/QX_DSP_VST.h"
#include "params/ControlTable.h"
#include "params/ParameterLookups.h"
#include "support/DocumentedParameters.h"
#include "support/TestHost.h"

namespace {

using namespace vst;

constexpr int kHostParameters = 333;
constexpr std::size_t kNameChars = 20;
constexpr std::size_t kDisplayChars = 8;
constexpr int kFirstReservedId = 242;  // "zFuture" from here to the last host id


const std::vector<DocumentedParameter>& hostParameters() {
    static const std::vector<DocumentedParameter> parameters = loadDocumentedParameters();
    return parameters;
}

double curveOf(int code, double v) {
    double shaped = v;
    switch (code & 127) {
        case 2: shaped = v * v * v * v; break;
        case 3: shaped = v * v; break;
        case 4: shaped = 1 - (1 - v) * (1 - v); break;
        case 5: shaped = 1 - (1 - v) * (1 - v) * (1 - v) * (1 - v); break;
        default: break;
    }
    return (code & 128) ? 1 - shaped : shaped;
}

// What the host stores for `value`: option lists snap to their items, everything else is kept.
double storedFor(const DocumentedParameter& p, double value) {
    if (!p.isOptionList()) {
        return value;
    }
    const auto n = static_cast<double>(p.options.size());
    return n <= 1 ? 0.0 : std::trunc((n - 1) * value + 0.5) / (n - 1);
}

// The item a list shows for `value`: the one its snapped value k/(n-1) stands for, k itself.
std::size_t itemFor(const DocumentedParameter& p, double value) {
    return static_cast<std::size_t>(std::trunc((static_cast<double>(p.options.size()) - 1) * value + 0.5));
}

// A display must read back as a number within half its last printed digit.
void expectNumberDisplay(const std::string& text, std::optional<double> expected) {
    EXPECT_LE(text.size(), kDisplayChars) << '"' << text << '"';
    char* end = nullptr;
    const double shown = std::strtod(text.c_str(), &end);
    ASSERT_FALSE(text.empty());
    ASSERT_EQ(*end, '\0') << '"' << text << "\" is not a number";
    EXPECT_TRUE(std::isfinite(shown)) << text;
    if (!expected) {
        return;
    }
    const std::size_t point = text.find('.');
    const int decimals = point == std::string::npos ? 0 : static_cast<int>(text.size() - point - 1);
    const double tolerance = 0.5 * std::pow(10.0, -decimals) + 1e-5 * std::max(1.0, std::fabs(*expected));
    EXPECT_NEAR(shown, *expected, tolerance) << '"' << text << '"';
}

// The shown value, when the transcription documents the shown range.
std::optional<double> shownFor(const DocumentedParameter& p, double stored) {
    if (!p.hasShownRange()) {
        return std::nullopt;
    }
    return *p.min + (*p.max - *p.min) * curveOf(p.curve, stored);
}

std::string cut(const std::string& text, std::size_t chars) { return text.substr(0, std::min(text.size(), chars)); }

class ParamsHostParameters : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(hostParameters().size(), static_cast<std::size_t>(kHostParameters));
        ASSERT_NE(host.open(), nullptr);
    }

    QX_DSP_VST& plugin() { return pluginOf(host.effect); }
    void set(int id, float value) { host.effect->setParameter(host.effect, id, value); }
    float get(int id) { return host.effect->getParameter(host.effect, id); }
    std::string display(int id) { return host.text(effGetParamDisplay, id); }
    void selectProgram(int program) { host.dispatch(effSetProgram, 0, program); }

    // Checks what the host and the modules see after setting `value`.
    void expectSetting(const DocumentedParameter& p, float value, const std::vector<std::string>& texts) {
        SCOPED_TRACE("value " + std::to_string(value));
        set(p.id, value);
        const double stored = storedFor(p, value);
        EXPECT_NEAR(get(p.id), stored, 1e-6);
        if (p.hasEngineeringRange()) {
            const double engineering = *p.engMin + (*p.engMax - *p.engMin) * curveOf(p.curve, stored);
            const double scale = std::max({std::fabs(*p.engMin), std::fabs(*p.engMax), 1e-3});
            EXPECT_NEAR(plugin().paramValues[p.id], engineering, 1e-5 * scale);
        }
        const std::string shown = display(p.id);
        if (p.isOptionList()) {
            EXPECT_EQ(shown, cut(p.options[itemFor(p, value)], kDisplayChars));
        } else if (p.isText()) {
            EXPECT_EQ(shown, cut(texts[static_cast<std::size_t>(p.id)], kDisplayChars));
        } else {
            expectNumberDisplay(shown, shownFor(p, stored));
        }
    }

    TestHost host;
};

TEST_F(ParamsHostParameters, NamesAreTheDocumentedOnesCutForTheHost) {
    for (const auto& p : hostParameters()) {
        EXPECT_EQ(host.text(effGetParamName, p.id), cut(p.name, kNameChars)) << "id " << p.id;
        if (p.id >= kFirstReservedId) {
            EXPECT_EQ(p.name, "zFuture") << "id " << p.id;
        }
    }
    for (const int id : {333, 334, 400, 450, 451, 100000}) {
        EXPECT_EQ(host.text(effGetParamName, id), "z-") << "id " << id;
    }
}

// Text slots are handed out to the text rows in id order.
std::vector<std::string> fillTextSlots(QX_DSP_VST& plugin) {
    const std::vector<std::string> samples = {"/banks/Default.Bnk", "first text", "ab"};
    std::vector<std::string> texts(kHostParameters);
    std::size_t slot = 0;
    for (const auto& p : hostParameters()) {
        if (p.isText()) {
            texts[static_cast<std::size_t>(p.id)] = samples.at(slot);
            plugin.setProgramText(samples[slot].c_str(), static_cast<int>(slot));
            ++slot;
        }
    }
    return texts;
}

TEST_F(ParamsHostParameters, EveryParameterStoresDeliversAndDisplaysWhatTheHostSet) {
    const auto texts = fillTextSlots(plugin());
    constexpr float kValues[] = {0.0f, 0.13f, 0.4f, 0.5f, 0.74f, 0.75f, 1.0f};
    for (const auto& p : hostParameters()) {
        SCOPED_TRACE("id " + std::to_string(p.id) + " \"" + p.name + "\"");
        for (const float value : kValues) {
            expectSetting(p, value, texts);
        }
    }
}

TEST_F(ParamsHostParameters, EveryOptionOfEveryListIsReachableAndShown) {
    int lists = 0;
    for (const auto& p : hostParameters()) {
        if (!p.isOptionList()) {
            continue;
        }
        SCOPED_TRACE("id " + std::to_string(p.id) + " \"" + p.name + "\"");
        ++lists;
        ASSERT_GE(p.options.size(), 2u);
        ASSERT_TRUE(p.hasEngineeringRange());
        const auto last = static_cast<float>(p.options.size() - 1);
        // Lists whose engineering values step by 0.1 per item hand the modules a whole number per
        // item as tenths (the option index, a channel, a filter type).
        const double firstTenths = *p.engMin * 10.0;
        const double step = (*p.engMax - *p.engMin) * 10.0 / last;
        const bool whole =
            std::fabs(std::fabs(step) - 1.0) < 1e-4 && std::fabs(firstTenths - std::round(firstTenths)) < 1e-4;
        for (std::size_t k = 0; k < p.options.size(); ++k) {
            expectSetting(p, static_cast<float>(k) / last, {});
            if (whole) {
                const double tenths = std::trunc(plugin().paramValues[p.id] * 10.0 + 1000.5) - 1000.0;
                EXPECT_EQ(tenths, std::round(firstTenths) + std::round(step) * static_cast<double>(k)) << "item " << k;
            }
        }
    }
    EXPECT_EQ(lists, 48);
}

TEST_F(ParamsHostParameters, GlobalParametersOutliveProgramChangesAndTheOthersFollowThePrograms) {
    constexpr int kOther = 7;
    // "Version" stays current: a program that reads older is upgraded when it is applied.
    constexpr int kVersion = 207;
    const auto cleared = [](int id) { return id == kVersion ? 1.0f : 0.0f; };
    for (const auto& p : hostParameters()) {
        set(p.id, 1.0f);
    }
    selectProgram(kOther);
    ASSERT_EQ(host.dispatch(effGetProgram), kOther);
    for (const auto& p : hostParameters()) {
        if (p.global) {
            EXPECT_EQ(get(p.id), 1.0f) << "global id " << p.id << " lost in program " << kOther;
        }
        set(p.id, cleared(p.id));
    }
    selectProgram(0);
    for (const auto& p : hostParameters()) {
        // Globals keep the last value set in any program; the others are program 0's again.
        EXPECT_EQ(get(p.id), p.global ? 0.0f : 1.0f) << "id " << p.id << (p.global ? " (global)" : "");
    }
    selectProgram(kOther);
    for (const auto& p : hostParameters()) {
        EXPECT_EQ(get(p.id), cleared(p.id)) << "id " << p.id;
    }
}

// The lookups must say what the table rows say: descriptor row, curve, option count and text slot.
TEST(ParamsDerivedLookups, AgreeWithTheControlTableRowsForEveryId) {
    const auto& lookups = ParameterLookups::get();
    const auto table = controlTable();
    std::size_t end = 1;
    while (end < table.size() && table[end].kind != control::kEndOfTable) {
        ++end;
    }
    ASSERT_LT(end, table.size());
    int textSlots = 0;
    int dataSlots[6] = {};
    for (int id = 0; id < kParameterIds; ++id) {
        SCOPED_TRACE("id " + std::to_string(id));
        std::size_t row = 0;
        for (std::size_t r = 1; r < end; ++r) {
            if ((table[r].id & control::kIdMask) == static_cast<unsigned>(id) &&
                table[r].kind < control::kFirstDirectiveKind) {
                row = r;
            }
        }
        EXPECT_EQ(lookups.paramToDescriptor[id], row);
        if (row == 0) {
            EXPECT_EQ(lookups.paramCurve[id], 0);
            EXPECT_EQ(lookups.paramOptionCount[id], 0);
            EXPECT_EQ(lookups.paramTextSlot[id], kNoTextSlot);
            continue;
        }
        const ControlDescriptor& d = table[row];
        const unsigned kind = d.kind;
        int curve = 0;
        if (kind <= 5 || (kind >= 7 && kind <= 18)) {
            curve = static_cast<int>(kind <= 5 ? kind : kind <= 12 ? kind - 7 : kind - 13);
            curve += (d.id & control::kInvertCurve) ? 128 : 0;
        }
        EXPECT_EQ(lookups.paramCurve[id], curve) << "kind " << kind;
        const bool optionKind = kind == 29 || (kind >= 32 && kind <= 42) || kind == 74;
        const int items =
            optionKind && d.options ? static_cast<int>(std::count(d.options, d.options + std::strlen(d.options), ','))
                                    : 0;
        EXPECT_EQ(lookups.paramOptionCount[id], items) << "kind " << kind;
        int slot = kNoTextSlot;
        if (kind >= 57 && kind <= 66) {
            slot = textSlots++;
        } else if (kind >= 67 && kind <= 72) {
            slot = dataSlots[kind - 67]++;
        }
        if (slot != kNoTextSlot && (d.id & control::kGlobal)) {
            slot += 128;
        }
        EXPECT_EQ(lookups.paramTextSlot[id], slot) << "kind " << kind;
        EXPECT_EQ(lookups.isGlobal(id), (d.id & control::kGlobal) != 0);
    }
}

// The same lookups against the separate transcription, for the ids the host sees.
TEST(ParamsDerivedLookups, AgreeWithTheDocumentedHostParameters) {
    const auto& lookups = ParameterLookups::get();
    ASSERT_EQ(hostParameters().size(), static_cast<std::size_t>(kHostParameters));
    int textSlot = 0;
    for (const auto& p : hostParameters()) {
        SCOPED_TRACE("id " + std::to_string(p.id) + " \"" + p.name + "\"");
        EXPECT_NE(lookups.paramToDescriptor[p.id], 0u);
        EXPECT_EQ(lookups.paramCurve[p.id], p.curve);
        EXPECT_EQ(lookups.paramOptionCount[p.id], static_cast<int>(p.options.size()));
        EXPECT_EQ(lookups.isGlobal(p.id), p.global);
        if (p.isText()) {
            EXPECT_EQ(lookups.paramTextSlot[p.id], textSlot++ + (p.global ? 128 : 0));
        }
    }
    EXPECT_EQ(textSlot, 3);
}

const DocumentedParameter& parameterNamed(const std::string& name) {
    const auto& all = hostParameters();
    const auto it = std::find_if(all.begin(), all.end(), [&](const DocumentedParameter& p) { return p.name == name; });
    if (it == all.end()) {
        ADD_FAILURE() << "no parameter \"" << name << '"';
        static const DocumentedParameter none;
        return none;
    }
    return *it;
}

struct SnapCase {
    float value;
    float stored;
    const char* shown;
};

TEST_F(ParamsHostParameters, PlayModeSnapsToTheNearestMode) {
    const int playMode = parameterNamed("Play Mode").id;
    constexpr SnapCase kCases[] = {
        {0.0f, 0.0f, "Mono"}, {0.24f, 0.0f, "Mono"},   {0.25f, 0.5f, "Legato"}, {0.4f, 0.5f, "Legato"},
        {0.74f, 0.5f, "Legato"}, {0.75f, 1.0f, "Poly"}, {1.0f, 1.0f, "Poly"},
    };
    for (const auto& c : kCases) {
        set(playMode, c.value);
        EXPECT_EQ(get(playMode), c.stored) << c.value;
        EXPECT_EQ(display(playMode), c.shown) << c.value;
        EXPECT_NEAR(plugin().paramValues[playMode], c.stored * 0.2f, 1e-7) << c.value;
    }
}

// "Filter %" runs from 5 down to -2.5: its items and engineering values fall as the host value rises.
TEST_F(ParamsHostParameters, FilterPercentRunsDownwardsFromItsMinimum) {
    const DocumentedParameter& p = parameterNamed("Filter %");
    ASSERT_TRUE(p.hasShownRange() && p.hasEngineeringRange());
    ASSERT_LT(*p.max, *p.min);
    set(p.id, 0.0f);
    EXPECT_EQ(display(p.id), "100%");
    EXPECT_NEAR(plugin().paramValues[p.id], *p.engMin, 1e-6);
    float previous = plugin().paramValues[p.id];
    for (std::size_t k = 1; k < p.options.size(); ++k) {
        set(p.id, static_cast<float>(k) / static_cast<float>(p.options.size() - 1));
        EXPECT_LT(plugin().paramValues[p.id], previous) << "item " << k;
        previous = plugin().paramValues[p.id];
    }
    EXPECT_EQ(display(p.id), "25%");
    EXPECT_NEAR(previous, *p.engMax, 1e-6);
}

// A curve-3 knob delivers a quarter of its engineering range at the middle of its travel, and a
// module setting the middle of that range moves the host value to sqrt(0.5).
TEST_F(ParamsHostParameters, SquareCurveKnobsMeetTheirEngineeringMidpoints) {
    int knobs = 0;
    for (const auto& p : hostParameters()) {
        if (p.curve != 3) {
            continue;
        }
        SCOPED_TRACE("id " + std::to_string(p.id) + " \"" + p.name + "\"");
        ++knobs;
        ASSERT_TRUE(p.hasEngineeringRange());
        const double span = *p.engMax - *p.engMin;
        set(p.id, 0.5f);
        EXPECT_NEAR(plugin().paramValues[p.id], *p.engMin + span * 0.25, 1e-5 * std::fabs(span));
        const auto middle = static_cast<float>(*p.engMin + span * 0.5);
        plugin().setParameterFromModule(p.id, middle, true);
        EXPECT_NEAR(get(p.id), 0.70710678f, 1e-5);
        EXPECT_EQ(plugin().paramValues[p.id], middle);
        plugin().setParameterFromModule(p.id, static_cast<float>(*p.engMax + span), false);
        EXPECT_EQ(get(p.id), 1.0f);
        plugin().setParameterFromModule(p.id, static_cast<float>(*p.engMin - span), false);
        EXPECT_EQ(get(p.id), 0.0f);
    }
    EXPECT_EQ(knobs, 41);
}

TEST_F(ParamsHostParameters, HostishValuesLeaveADefinedValueAndAReadableDisplay) {
    constexpr float kInf = std::numeric_limits<float>::infinity();
    const float kValues[] = {std::numeric_limits<float>::quiet_NaN(), -kInf, kInf, -1.0f, 2.0f, 1e30f, -0.0f};
    for (const auto& p : hostParameters()) {
        SCOPED_TRACE("id " + std::to_string(p.id) + " \"" + p.name + "\"");
        for (const float value : kValues) {
            set(p.id, value);
            const float stored = get(p.id);
            EXPECT_TRUE(stored >= 0.0f && stored <= 1.0f) << value << " stored as " << stored;
            EXPECT_TRUE(std::isfinite(plugin().paramValues[p.id])) << value;
            const std::string shown = display(p.id);
            if (p.isOptionList()) {
                EXPECT_EQ(shown, cut(p.options[itemFor(p, stored)], kDisplayChars)) << value;
            } else if (!p.isText()) {
                expectNumberDisplay(shown, shownFor(p, stored));
            }
        }
        plugin().setParameterFromModule(p.id, std::numeric_limits<float>::quiet_NaN(), true);
        const float stored = get(p.id);
        EXPECT_TRUE(stored >= 0.0f && stored <= 1.0f) << "module NaN stored as " << stored;
        EXPECT_FALSE(std::isnan(plugin().paramValues[p.id]));
    }
}

}  // namespace
