#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <vector>

#include "params/SectionPresets.h"

namespace {

struct SectionCase {
    int number;
    const char* extension;
    std::vector<int> ids;
};

const SectionCase kSections[] = {
    {0, ".SQp", {132, 133, 134, 135, 136, 137, 138, 139, 140, 141, 142, 143, 144, 145, 146, 147, 148, 149, 150, 151,
                 152, 153, 175, 195, 131}},
    {1, ".OSp", {64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 75, 76, 77, 78, 79, 80, 164, 177}},
    {2, ".FLp", {81, 82, 83, 84, 85, 86, 178, 179, 180, 181, 182, 183, 208, 209, 88, 89, 90, 91, 92, 93, 94, 87, 174,
                 121}},
    {3, ".ECp", {163, 165, 166, 167, 168, 169, 170, 171, 172, 173, 210, 162}},
};

std::unique_ptr<ProgramRecord> recordOf(float (*value)(int id)) {
    auto record = std::make_unique<ProgramRecord>();
    std::memset(record.get(), 0, sizeof(ProgramRecord));
    for (int id = 0; id < kProgramParameters; ++id) {
        record->values[id] = value(id);
    }
    return record;
}

float distinct(int id) { return static_cast<float>(id) / 400.0f; }
float untouched(int) { return 0.999f; }

void putVersion(std::vector<std::uint8_t>& file, std::uint32_t version) { std::memcpy(file.data() + 4, &version, 4); }
void putValue(std::vector<std::uint8_t>& file, std::size_t entry, float value) {
    std::memcpy(file.data() + 8 + 4 * entry, &value, 4);
}

class ParamsSectionPresets : public ::testing::TestWithParam<SectionCase> {};

TEST_P(ParamsSectionPresets, ListsTheSectionsIdsInFileOrder) {
    const SectionCase& c = GetParam();
    const SectionDefinition* section = SectionPresets::section(c.number);
    ASSERT_NE(section, nullptr);
    EXPECT_STREQ(section->extension, c.extension);
    std::vector<int> ids;
    for (const std::uint16_t entry : section->entries) {
        ids.push_back(entry);
    }
    EXPECT_EQ(ids, c.ids);
    EXPECT_EQ(SectionPresets::fileBytes(c.number), 8 + 4 * c.ids.size());
}

TEST_P(ParamsSectionPresets, RoundTripsTheListedValuesOnly) {
    const SectionCase& c = GetParam();
    const auto source = recordOf(distinct);
    const std::vector<std::uint8_t> file = SectionPresets::image(*source, c.number);
    ASSERT_EQ(file.size(), SectionPresets::fileBytes(c.number));
    EXPECT_EQ(std::memcmp(file.data(), "VLKR", 4), 0);
    std::uint32_t version = 0;
    std::memcpy(&version, file.data() + 4, 4);
    EXPECT_EQ(version, 2410u);

    auto target = recordOf(untouched);
    ASSERT_TRUE(SectionPresets::load(*target, c.number, file));
    for (int id = 0; id < kProgramParameters; ++id) {
        const bool listed = std::find(c.ids.begin(), c.ids.end(), id) != c.ids.end();
        ASSERT_EQ(target->values[id], listed ? distinct(id) : untouched(id)) << id;
    }
    EXPECT_EQ(SectionPresets::image(*target, c.number), file);

    const std::filesystem::path path = std::filesystem::path(std::getenv("VELKOR_USER_DIR")) / "section";
    ASSERT_TRUE(SectionPresets::saveFile(*source, c.number, path.string()));
    auto loaded = recordOf(untouched);
    ASSERT_TRUE(SectionPresets::loadFile(*loaded, c.number, path.string()));
    EXPECT_EQ(std::memcmp(loaded.get(), target.get(), sizeof(ProgramRecord)), 0);
    std::filesystem::remove(path);
    EXPECT_FALSE(SectionPresets::loadFile(*loaded, c.number, path.string()));
}

TEST_P(ParamsSectionPresets, AShortFileFillsTheEntriesItHolds) {
    const SectionCase& c = GetParam();
    const auto source = recordOf(distinct);
    std::vector<std::uint8_t> file = SectionPresets::image(*source, c.number);
    file.resize(file.size() + 300, 0x7F);  // oversized tails are ignored
    for (std::size_t size = 0; size <= file.size(); ++size) {
        auto target = recordOf(untouched);
        const bool loaded = SectionPresets::load(*target, c.number, std::span(file.data(), size));
        EXPECT_EQ(loaded, size >= 4) << size;
        const std::size_t held = size >= 8 ? std::min((size - 8) / 4, c.ids.size()) : 0;
        for (std::size_t e = 0; e < c.ids.size(); ++e) {
            const int id = c.ids[e];
            ASSERT_EQ(target->values[id], e < held ? distinct(id) : untouched(id)) << size << " " << id;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ParamsSectionPresets, ParamsSectionPresets, ::testing::ValuesIn(kSections),
                         [](const auto& info) { return std::string(info.param.extension + 1); });

TEST(ParamsSectionPresetFiles, OlderVersionsAreConvertedAndCurrentOnesTakenAsTheyAre) {
    constexpr int kOsc = 1;
    constexpr std::size_t kOsc1Wave = 0;  // first entry of the OSC list
    const auto source = recordOf(distinct);
    std::vector<std::uint8_t> file = SectionPresets::image(*source, kOsc);
    putValue(file, kOsc1Wave, 0.5f);

    auto target = recordOf(untouched);
    ASSERT_TRUE(SectionPresets::load(*target, kOsc, file));
    EXPECT_EQ(target->values[64], 0.5f);

    putVersion(file, 2300);
    ASSERT_TRUE(SectionPresets::load(*target, kOsc, file));
    EXPECT_FLOAT_EQ(target->values[64], 0.5f * 0.71428573f + 0.0007142857f);
    EXPECT_FLOAT_EQ(target->values[73], 0.4f * distinct(73) + 0.002f);
    EXPECT_EQ(target->values[66], distinct(66));  // not a converted id
}

TEST(ParamsSectionPresetFiles, WrongMagicAndUnknownSectionsChangeNothing) {
    const auto source = recordOf(distinct);
    std::vector<std::uint8_t> file = SectionPresets::image(*source, 3);
    file[0] = 'X';
    auto target = recordOf(untouched);
    const auto before = recordOf(untouched);
    EXPECT_FALSE(SectionPresets::load(*target, 3, file));
    file[0] = 'V';
    EXPECT_FALSE(SectionPresets::load(*target, 4, file));
    EXPECT_FALSE(SectionPresets::load(*target, -1, file));
    EXPECT_EQ(std::memcmp(target.get(), before.get(), sizeof(ProgramRecord)), 0);
    EXPECT_TRUE(SectionPresets::image(*source, 4).empty());
    EXPECT_EQ(SectionPresets::section(4), nullptr);
}

TEST(ParamsSectionPresetFiles, StoredValuesStayInsideTheNormalisedRange) {
    constexpr int kEcho = 3;
    const auto source = recordOf(distinct);
    std::vector<std::uint8_t> file = SectionPresets::image(*source, kEcho);
    const float hostile[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), -3.0f,
                             7.0f};
    const float stored[] = {0.0f, 0.0f, 0.0f, 1.0f};
    for (std::size_t e = 0; e < std::size(hostile); ++e) {
        putValue(file, e, hostile[e]);
    }
    putVersion(file, 0xFFFFFFFFu);  // read as no older than today
    auto target = recordOf(untouched);
    ASSERT_TRUE(SectionPresets::load(*target, kEcho, file));
    for (std::size_t e = 0; e < std::size(hostile); ++e) {
        EXPECT_EQ(target->values[kSections[kEcho].ids[e]], stored[e]) << e;
    }
}

}  // namespace
