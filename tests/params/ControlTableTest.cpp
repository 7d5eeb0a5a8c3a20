// Checks the control table against the documented host parameters (data/HostParameters.tsv, a
// transcription made separately from the table) and against the invariants its readers rely on.
#include "params/ControlTable.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/DocumentedParameters.h"

namespace {

constexpr int kParameterIds = 451;
constexpr std::size_t kHostNameChars = 20;  // what getParameterName hands the host


int idOf(const ControlDescriptor& d) { return static_cast<int>(d.id & control::kIdMask); }

// Rows from 1 up to the end row that make parameters (not layout directives).
std::vector<const ControlDescriptor*> parameterRows() {
    std::vector<const ControlDescriptor*> rows;
    const auto table = controlTable();
    for (std::size_t i = 1; i < table.size() && table[i].kind != control::kEndOfTable; ++i) {
        if (table[i].kind < control::kFirstDirectiveKind) {
            rows.push_back(&table[i]);
        }
    }
    return rows;
}

const ControlDescriptor* rowFor(int id) {
    const ControlDescriptor* found = nullptr;
    for (const auto* d : parameterRows()) {
        if (idOf(*d) == id) {
            found = d;
        }
    }
    return found;
}

bool inRange(unsigned kind, unsigned first, unsigned last) { return kind >= first && kind <= last; }

// The kind codes that make the documented control.
bool kindFits(const DocumentedParameter& p, unsigned kind) {
    const std::string& c = p.control;
    if (c == "knob") {
        const unsigned curve = static_cast<unsigned>(p.curve);
        return kind == curve || kind == 7 + curve || kind == 13 + curve;
    }
    if (c == "frequency knob") return kind == control::kFrequencyKnob;
    if (c == "on/off") return inRange(kind, 26, 28);
    if (c == "button") return inRange(kind, 19, 28);  // animated or action button
    if (c == "button hub") return kind == control::kButtonHub;
    if (c == "exclusive") return inRange(kind, 30, 31);
    if (c == "option list") return inRange(kind, 32, 42);
    if (c == "stored value") return kind == control::kFloatStore;
    if (c == "text") return inRange(kind, 57, 64);
    if (c == "data store") return inRange(kind, 67, 72);
    ADD_FAILURE() << "unknown control \"" << c << "\" for id " << p.id;
    return false;
}

void expectClose(float actual, double expected, const char* what) {
    EXPECT_NEAR(actual, expected, 1e-6 * std::fabs(expected) + 1e-12) << what;
}

TEST(ParamsControlTable, StartsWithTheBackgroundAndEndsWithOneEndRow) {
    const auto table = controlTable();
    ASSERT_GE(table.size(), 2u);
    EXPECT_EQ(table[0].kind, 0);
    ASSERT_NE(table[0].bitmap, nullptr);
    EXPECT_STREQ(table[0].bitmap, "BG.png");
    int endRows = 0;
    for (const auto& d : table) {
        endRows += d.kind == control::kEndOfTable;
    }
    EXPECT_EQ(endRows, 1);
    EXPECT_EQ(table.back().kind, control::kEndOfTable);
}

TEST(ParamsControlTable, ParameterIdsAreUniqueAndInRange) {
    std::set<int> seen;
    for (const auto* d : parameterRows()) {
        const int id = idOf(*d);
        EXPECT_LT(id, kParameterIds);
        EXPECT_TRUE(seen.insert(id).second) << "id " << id << " has two parameter rows";
        EXPECT_EQ(d->id & ~(control::kIdMask | control::kInvertCurve | control::kGlobal), 0u) << id;
        EXPECT_EQ(d->arg, -1) << id;
    }
}

TEST(ParamsControlTable, EveryHostIdHasANameTheHostCanTellApart) {
    std::map<std::string, int> shown;
    for (int id = 0; id < control::kHostParameterCount; ++id) {
        const auto* d = rowFor(id);
        ASSERT_NE(d, nullptr) << "no row for host id " << id;
        ASSERT_NE(d->name, nullptr) << id;
        const std::string name = d->name;
        EXPECT_FALSE(name.empty()) << id;
        if (name == "zFuture") {
            continue;
        }
        const auto [it, fresh] = shown.emplace(name.substr(0, kHostNameChars), id);
        EXPECT_TRUE(fresh) << "ids " << it->second << " and " << id << " look alike to the host";
    }
}

TEST(ParamsControlTable, OptionListsBelongToOptionKindsAndEndWithAComma) {
    for (const auto* d : parameterRows()) {
        if (control::isOptionKind(d->kind)) {
            ASSERT_NE(d->options, nullptr) << idOf(*d);
            const std::size_t length = std::strlen(d->options);
            ASSERT_GT(length, 0u) << idOf(*d);
            EXPECT_EQ(d->options[length - 1], ',') << idOf(*d);
            EXPECT_EQ(std::strstr(d->options, ",,"), nullptr) << idOf(*d);
        } else {
            EXPECT_EQ(d->options, nullptr) << idOf(*d);
        }
    }
}

TEST(ParamsControlTable, MatchesTheDocumentedHostParameters) {
    const auto documented = loadDocumentedParameters();
    ASSERT_EQ(documented.size(), static_cast<std::size_t>(control::kHostParameterCount));
    for (std::size_t i = 0; i < documented.size(); ++i) {
        const DocumentedParameter& p = documented[i];
        SCOPED_TRACE("id " + std::to_string(p.id) + " \"" + p.name + "\"");
        ASSERT_EQ(p.id, static_cast<int>(i));
        const auto* d = rowFor(p.id);
        ASSERT_NE(d, nullptr);
        ASSERT_NE(d->name, nullptr);
        EXPECT_EQ(std::string(d->name), p.name);
        EXPECT_TRUE(kindFits(p, d->kind)) << "kind " << d->kind << " for " << p.control;
        EXPECT_EQ((d->id & control::kGlobal) != 0, p.global);
        EXPECT_EQ(d->id & control::kInvertCurve, 0u);  // no documented row inverts its curve
        if (p.min) expectClose(d->min, *p.min, "shown min");
        if (p.max) expectClose(d->max, *p.max, "shown max");
        if (p.engMin) expectClose(d->engMin, 10.0 * *p.engMin, "engMin (times ten)");
        if (p.engMax) expectClose(d->engMax, 10.0 * *p.engMax, "engMax (times ten)");
        EXPECT_EQ(d->options ? std::string(d->options) : std::string(), p.optionText);
    }
}

TEST(ParamsControlTable, GlobalRowsAreExactlyTheDocumentedOnes) {
    std::set<int> documented;
    for (const auto& p : loadDocumentedParameters()) {
        if (p.global) documented.insert(p.id);
    }
    std::set<int> inTable;
    for (const auto* d : parameterRows()) {
        if (d->id & control::kGlobal) inTable.insert(idOf(*d));
    }
    EXPECT_EQ(inTable, documented);
    EXPECT_FALSE(documented.empty());
}

// Slots are handed out walking ids in order: one counter for text kinds 57..66 and one per data
// kind 67..72. The record has text slots 0..2, two 512-byte stores and one 2048-byte store.
TEST(ParamsControlTable, TextAndDataStoresGetTheirProgramSlots) {
    int textCounter = 0;
    std::array<int, 6> dataCounters{};
    std::map<int, std::pair<unsigned, int>> slots;  // id -> (kind, slot)
    for (int id = 0; id < kParameterIds; ++id) {
        const auto* d = rowFor(id);
        if (d == nullptr) continue;
        if (inRange(d->kind, 57, 66)) {
            slots[id] = {d->kind, textCounter++};
        } else if (inRange(d->kind, 67, 72)) {
            slots[id] = {d->kind, dataCounters[d->kind - 67]++};
        }
    }
    const std::map<int, std::pair<unsigned, int>> expected = {
        {0, {control::kTextEntry, 0}},     {1, {control::kTextEntry, 1}},
        {2, {control::kTextEntry, 2}},     {3, {control::kDataStore512, 0}},
        {4, {control::kDataStore512, 1}},  {5, {control::kDataStore2048, 0}},
    };
    EXPECT_EQ(slots, expected);
}

// Editor-only and engine ids that the core and the editor address directly.
struct EngineIdCase {
    int id;
    unsigned kind;
    double normalised;
    double engineering;  // what setParameter delivers for `normalised`
};

constexpr double kLowestRateBlockMs = 128 * 1000.0 / 200;

const EngineIdCase kEngineIdCases[] = {
    {338, control::kFloatStore, 1.0, 1.0},     // channel pressure d1/127 at 127
    {339, control::kFloatStore, 0.5, 0.0},     // pitch bend centre
    {339, control::kFloatStore, 1.0, 0.1},     // full bend times "Bend Depth" octaves
    {340, control::kFloatStore, 1.0, 1.0},     // modulation wheel
    {385, control::kFloatStore, kLowestRateBlockMs / 1000.0, kLowestRateBlockMs},
    {401, control::kTextOnly, 0.0, 0.0},
    {402, control::kMultiLevel, 1.0, 7.0},
    {403, control::kMultiLevel, 1.0, 7.0},
    {404, control::kFloatStore, 0.5, 0.0},     // MPE bend centre, member channel 1
    {418, control::kFloatStore, 0.5, 0.0},     // ... channel 15
    {418, control::kFloatStore, 1.0, 0.01},
    {419, control::kFloatStore, 0.0, 0.0},     // MPE pressure rest
    {433, control::kFloatStore, 1.0, 0.1},
    {434, control::kFloatStore, 0.0, 0.0},     // MPE CC 74 rest
    {448, control::kFloatStore, 1.0, 0.1},
    {450, control::kAssignMidiCC, 0.0, 0.0},
};

TEST(ParamsControlTable, EngineAndEditorIdsDeliverWhatTheirUsersExpect) {
    for (const auto& c : kEngineIdCases) {
        SCOPED_TRACE("id " + std::to_string(c.id));
        const auto* d = rowFor(c.id);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->kind, c.kind);
        EXPECT_EQ(d->id & control::kGlobal, 0u);
        const double engineering = (d->engMin + (d->engMax - d->engMin) * c.normalised) * 0.1;
        EXPECT_NEAR(engineering, c.engineering, 1e-6 * std::fabs(c.engineering) + 1e-9);
    }
}

}  // namespace
