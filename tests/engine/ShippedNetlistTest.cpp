#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/NetlistConstants.h"
#include "engine/QX_ModuleBase.h"
#include "engine/ShippedNetlist.h"

namespace {

constexpr int kLastParameterId = 450;
constexpr int kKeyboardMidiParameter = 334;

bool isModuleId(int id) { return id >= kFirstModuleId && id <= kLastModuleId; }

int entryCount(const NetlistRecord& record) {
    int count = 0;
    while (count < kNetlistEntriesPerRecord && record.entries[count].pin != kEndOfEntries) {
        ++count;
    }
    return count;
}

// One entry the builder applies, with the record it sits in (for extra wiring: the record after
// the marker).
struct AppliedEntry {
    int record;
    NetlistEntry entry;
};

std::vector<AppliedEntry> appliedEntries(Netlist netlist) {
    std::vector<AppliedEntry> applied;
    for (int r = 0; r < kShippedNetlistRecords; ++r) {
        const NetlistRecord& record = netlist[r];
        if (record.moduleId == kExtraWiring) {
            const NetlistRecord& payload = netlist[r + 1];
            for (int e = 0; e < entryCount(payload); ++e) {
                applied.push_back({r + 1, payload.entries[e]});
            }
            ++r;
        } else if (isModuleId(record.moduleId)) {
            for (int e = 0; e < entryCount(record); ++e) {
                applied.push_back({r, record.entries[e]});
            }
        }
    }
    return applied;
}

TEST(EngineShippedNetlist, HoldsItsRecordsThenTheEnd) {
    const Netlist netlist = shippedNetlist();
    ASSERT_EQ(netlist.size(), static_cast<std::size_t>(kShippedNetlistRecords + 1));
    for (int r = 0; r < kShippedNetlistRecords; ++r) {
        EXPECT_LT(netlist[r].moduleId, kNetlistEnd) << "record " << r;
    }
    EXPECT_GE(netlist[kShippedNetlistRecords].moduleId, kNetlistEnd);
}

TEST(EngineShippedNetlist, RecordsCarryTheirIds) {
    struct Case {
        int record;
        int moduleId;
    };
    constexpr Case kCases[] = {
        {0, 6003},   {1, 6005},   {2, 6008},   {19, 6529},  {56, 6543},  {57, 6546},
        {58, 6035},  {80, 6152},  {90, 6152},  {104, 6300}, {121, 6252}, {122, 6547},
        {123, 6532}, {153, 6245}, {154, 6548}, {155, 6548}, {157, 6246}, {158, 6548},
        {159, 6548}, {160, 6350}, {168, 6230}, {169, 6549},
    };
    const Netlist netlist = shippedNetlist();
    for (const Case& c : kCases) {
        EXPECT_EQ(netlist[c.record].moduleId, c.moduleId) << "record " << c.record;
    }
    EXPECT_EQ(netlist[57].entries[0].pin, 20) << "voice copies";
    EXPECT_EQ(netlist[154].entries[0].source, 6114);
    EXPECT_EQ(netlist[158].entries[0].source, 6115);
}

TEST(EngineShippedNetlist, EveryRecordEndsItsEntries) {
    const Netlist netlist = shippedNetlist();
    for (int r = 0; r <= kShippedNetlistRecords; ++r) {
        const int count = entryCount(netlist[r]);
        const int id = netlist[r].moduleId;
        if (id == kVoiceGroupStart) {
            EXPECT_EQ(count, 1) << "record " << r;
        } else if (id == kVoiceGroupEnd || id >= kNetlistEnd) {
            EXPECT_EQ(count, 0) << "record " << r;
        }
        for (int e = 0; e < count; ++e) {
            const int pin = netlist[r].entries[e].pin;
            const bool input = pin < kModulePins;
            const bool registration =
                pin >= kFirstRegistrationPin && pin < kFirstRegistrationPin + kParameterSlots;
            EXPECT_TRUE(input || registration) << "record " << r << " entry " << e;
        }
    }
}

TEST(EngineShippedNetlist, SourcesAreMadeBeforeTheirReadersSaveTheFeedback) {
    const Netlist netlist = shippedNetlist();
    std::map<int, int> madeAt;  // module id -> record that last made it
    std::vector<std::string> feedback;
    for (int r = 0; r < kShippedNetlistRecords; ++r) {
        const NetlistRecord& record = netlist[r];
        if (record.moduleId == kExtraWiring) {
            const int target = record.entries[0].source;
            ASSERT_TRUE(madeAt.contains(target)) << "record " << r;
            const NetlistRecord& payload = netlist[r + 1];
            for (int e = 0; e < entryCount(payload); ++e) {
                const NetlistEntry& entry = payload.entries[e];
                ASSERT_TRUE(madeAt.contains(entry.source)) << "record " << r + 1;
                EXPECT_GT(madeAt[entry.source], madeAt[target]) << "extra wiring runs forward";
                feedback.push_back(std::to_string(target) + ":" + std::to_string(entry.pin) + "<-" +
                                   std::to_string(entry.source) + ":" +
                                   std::to_string(entry.sourceOutput));
            }
            ++r;
            continue;
        }
        if (!isModuleId(record.moduleId)) {
            continue;
        }
        for (int e = 0; e < entryCount(record); ++e) {
            const NetlistEntry& entry = record.entries[e];
            if (entry.pin < kFirstRegistrationPin && isModuleId(entry.source)) {
                EXPECT_TRUE(madeAt.contains(entry.source))
                    << "record " << r << " reads " << entry.source << " before it is made";
            }
        }
        madeAt[record.moduleId] = r;
    }
    EXPECT_EQ(feedback, (std::vector<std::string>{"6114:1<-6245:0", "6115:1<-6246:0"}));
    EXPECT_EQ(madeAt[6152], 90) << "the second 6152 replaces the first";
}

TEST(EngineShippedNetlist, VoiceGroupHolds64ModulesOf1379) {
    const Netlist netlist = shippedNetlist();
    int starts = 0;
    int ends = 0;
    int copies = 0;
    int outside = 0;
    int inside = 0;
    bool inGroup = false;
    for (int r = 0; r < kShippedNetlistRecords; ++r) {
        const int id = netlist[r].moduleId;
        if (id == kVoiceGroupStart) {
            ++starts;
            copies = netlist[r].entries[0].pin;
            inGroup = true;
        } else if (id == kVoiceGroupEnd) {
            ++ends;
            inGroup = false;
        } else if (isModuleId(id)) {
            ++(inGroup ? inside : outside);
        }
    }
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(copies, 20);
    EXPECT_EQ(inside, 64);
    EXPECT_EQ(outside, 99);
    EXPECT_EQ(outside + copies * inside, 1379);
}

TEST(EngineShippedNetlist, BindsEngineParametersButNotTheKeyboard) {
    int bindings = 0;
    for (const AppliedEntry& applied : appliedEntries(shippedNetlist())) {
        const int source = applied.entry.source;
        if (source >= kFirstConstant) {
            continue;
        }
        ++bindings;
        EXPECT_GE(source, 0) << "record " << applied.record;
        EXPECT_LE(source, kLastParameterId) << "record " << applied.record;
        EXPECT_NE(source, kKeyboardMidiParameter) << "record " << applied.record;
    }
    EXPECT_GT(bindings, 0);
}

TEST(EngineNetlistConstants, HoldTenTimesTheValueMeant) {
    struct Case {
        int number;
        float stored;
    };
    constexpr Case kCases[] = {
        {5500, 0.0f},     {5525, 25.0f},    {5538, 38.0f},    {5539, 38.0f},    {5540, 40.0f},
        {5550, 50.0f},    {5551, 60.0f},    {5555, 100.0f},   {5556, 125.0f},   {5567, 400.0f},
        {5591, 1000.0f},  {5592, 1250.0f},  {5607, 5000.0f},  {5626, 9750.0f},  {5627, -1.0f},
        {5628, -5.0f},    {5629, -10.0f},   {5630, 0.1f},     {5631, 0.2f},     {5632, 0.3f},
        {5633, 0.4f},     {5634, 0.5f},     {5635, 0.6f},     {5636, 0.7f},     {5637, 0.8f},
        {5638, 0.9f},     {5639, 2200.0f},  {5640, 2400.0f},  {5641, 4100.0f},  {5642, 4200.0f},
        {5643, 6100.0f},  {5644, 12000.0f}, {5645, 9.8f},     {5646, -2.0f},    {5647, 11.0f},
        {5648, 0.2f},     {5649, 9.2f},     {5650, -20.0f},   {5651, -114.0f},  {5652, 0.00133f},
        {5653, 3.3333f},  {5654, -4.25f},   {5655, 0.001f},   {5656, -200.0f},  {5657, 0.0f},
        {5999, 0.0f},
    };
    for (const Case& c : kCases) {
        const float* value = netlistConstant(c.number);
        ASSERT_NE(value, nullptr) << c.number;
        EXPECT_EQ(*value, c.stored) << "constant " << c.number;
    }
    EXPECT_EQ(netlistConstant(5499), nullptr);
    EXPECT_EQ(netlistConstant(6000), nullptr);
}

// The written table: a second transcription of the same netlist in its own notation, read back
// here and compared entry by entry with the compiled table.
struct WrittenEntry {
    NetlistEntry entry;
    bool isConstant;
    float storedValue;
};

bool parseWrittenEntry(const std::string& token, WrittenEntry& out) {
    int a = 0;
    int b = 0;
    int c = 0;
    char tail = 0;
    out = {{}, false, 0.0f};
    if (std::sscanf(token.c_str(), "R%d=P%d%c", &a, &b, &tail) == 2) {
        out.entry = {static_cast<std::uint8_t>(kFirstRegistrationPin + a), 0,
                     static_cast<std::int16_t>(b)};
        return true;
    }
    if (std::sscanf(token.c_str(), "copies=%d%c", &a, &tail) == 1) {
        out.entry = {static_cast<std::uint8_t>(a), 0, 0};
        return true;
    }
    if (std::sscanf(token.c_str(), "target=%d%c", &a, &tail) == 1) {
        out.entry = {0, 0, static_cast<std::int16_t>(a)};
        return true;
    }
    const std::string arrow = "←";
    const std::size_t at = token.find(arrow);
    if (at == std::string::npos) {
        return false;
    }
    const int pin = std::stoi(token.substr(0, at));
    const std::string source = token.substr(at + arrow.size());
    float value = 0.0f;
    if (std::sscanf(source.c_str(), "P%d%c", &a, &tail) == 1) {
        out.entry = {static_cast<std::uint8_t>(pin), 0, static_cast<std::int16_t>(a)};
        return true;
    }
    if (std::sscanf(source.c_str(), "K%d(%f)%c", &a, &value, &tail) == 2) {
        out = {{static_cast<std::uint8_t>(pin), 0, static_cast<std::int16_t>(a)}, true, value};
        return true;
    }
    if (std::sscanf(source.c_str(), "%d:%d%c", &a, &c, &tail) == 2) {
        out.entry = {static_cast<std::uint8_t>(pin), static_cast<std::uint8_t>(c),
                     static_cast<std::int16_t>(a)};
        return true;
    }
    return false;
}

TEST(EngineShippedNetlist, MatchesTheWrittenTable) {
    const auto path = std::filesystem::path(VELKOR_TESTS_DIR) / "engine" / "data" / "ShippedNetlist.txt";
    std::ifstream file(path);
    ASSERT_TRUE(file) << path;
    const Netlist netlist = shippedNetlist();
    int expectedRecord = 0;
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream words(line);
        int recordIndex = -1;
        int moduleId = -1;
        words >> recordIndex >> moduleId;
        ASSERT_EQ(recordIndex, expectedRecord) << line;
        ASSERT_LT(recordIndex, static_cast<int>(netlist.size()));
        const NetlistRecord& record = netlist[recordIndex];
        EXPECT_EQ(record.moduleId, moduleId) << "record " << recordIndex;
        int e = 0;
        std::string token;
        while (words >> token) {
            SCOPED_TRACE("record " + std::to_string(recordIndex) + ": " + token);
            WrittenEntry written;
            ASSERT_TRUE(parseWrittenEntry(token, written));
            ASSERT_LT(e, kNetlistEntriesPerRecord);
            const NetlistEntry& actual = record.entries[e];
            EXPECT_EQ(int{actual.pin}, int{written.entry.pin});
            EXPECT_EQ(int{actual.sourceOutput}, int{written.entry.sourceOutput});
            EXPECT_EQ(actual.source, written.entry.source);
            if (written.isConstant) {
                const float* stored = netlistConstant(written.entry.source);
                ASSERT_NE(stored, nullptr);
                EXPECT_EQ(*stored, written.storedValue);
            }
            ++e;
        }
        if (e < kNetlistEntriesPerRecord) {
            EXPECT_EQ(record.entries[e].pin, kEndOfEntries) << "record " << recordIndex;
        }
        ++expectedRecord;
    }
    EXPECT_EQ(expectedRecord, kShippedNetlistRecords + 1);
}

}  // namespace
