#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>

#include "params/ProgramUpgrade.h"

namespace {

// One stored value before and after upgrading a program of the given version.
struct UpgradeCase {
    const char* name;
    float version;  // as stored in "Version"
    int id;
    float before;
    float after;
};

constexpr float oscWave2400(float x) { return x * 0.71428573f + 0.0007142857f; }
constexpr float lpfType2400(float x) { return x * 0.8888889f + 0.0011111111f; }
constexpr float lpfType2300(float x) { return x * 0.375f + 0.00125f; }

const UpgradeCase kUpgradeCases[] = {
    {"BendDepthOf2400", 0.24f, 184, 0.5f, 0.5f * 0.23404256f + 0.00021276595f},
    {"LpfTypeUntouchedAt2400", 0.24f, 82, 0.5f, 0.5f},
    {"LpfTypeOf2300", 0.23f, 82, 0.5f, lpfType2400(0.5f)},
    {"OscWaveOf2300", 0.23f, 64, 0.75f, oscWave2400(0.75f)},
    {"SubOscOf2300", 0.23f, 73, 0.6f, 0.6f / 3.0f + 0.0016666666f},
    {"MpeOffFor2300", 0.23f, 232, 0.9f, 0.0f},
    {"MpeRateCentredFor2300", 0.23f, 239, 0.9f, 0.5f},
    {"EchoLengthKeptAt2300", 0.23f, 168, 1.0f, 1.0f},
    {"EchoLengthOf2200", 0.22f, 168, 1.0f, 4.0f / 7.0f},
    {"EchoLengthZeroOf2200", 0.22f, 168, 0.0f, 0.0f},
    {"LpfTypeOf2200", 0.22f, 82, 0.5f, lpfType2400(lpfType2300(0.5f))},
    {"DriveOf2200", 0.22f, 209, 0.9f, 1.0f / 3.0f},
    {"MeltWowOf2200", 0.22f, 224, 0.0f, 0.5345f},
    {"LfoTargetKeptAt2200", 0.22f, 10, 0.5f, 0.5f},
    {"LfoTargetOf2100", 0.21f, 10, 0.5f, 0.5f * 0.9444444f + 0.00055555557f},
    {"Lfo3TargetOf2100", 0.21f, 32, 0.5f, 0.5f * 0.9411765f + 0.00058823527f},
    {"OscWaveOf2100", 0.21f, 65, 0.5f, oscWave2400(0.5f * 0.8f + 0.001f)},
    {"ArpRateOf2100", 0.21f, 128, 0.5f, 0.5f * 0.5f + 0.50125f},
    {"EqFrequencyOf2100", 0.21f, 199, 0.9f, 0.047898f},
    {"EmptyRecordGetsEverything", 0.0f, 196, 0.9f, 0.00391f},
    {"CurrentIsLeftAlone", 0.241f, 184, 0.5f, 0.5f},
    {"NewerIsLeftAlone", 0.25f, 64, 0.5f, 0.5f},
};

class ParamsProgramUpgrade : public ::testing::TestWithParam<UpgradeCase> {};

TEST_P(ParamsProgramUpgrade, ConvertsTheValueAndStampsTheCurrentVersion) {
    const UpgradeCase& c = GetParam();
    auto record = std::make_unique<ProgramRecord>();
    std::memset(record.get(), 0, sizeof(ProgramRecord));
    record->values[ProgramUpgrade::kVersionParameter] = c.version;
    record->values[c.id] = c.before;
    ProgramUpgrade::upgradeProgram(*record);
    EXPECT_NEAR(record->values[c.id], c.after, 1e-6f);
    EXPECT_EQ(ProgramUpgrade::versionOf(*record), c.version > 0.241f ? 2500 : 2410);
}

INSTANTIATE_TEST_SUITE_P(ParamsProgramUpgrade, ParamsProgramUpgrade, ::testing::ValuesIn(kUpgradeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ParamsProgramUpgradeOnce, AnUpgradedProgramIsNeverUpgradedAgain) {
    auto once = std::make_unique<ProgramRecord>();
    std::memset(once.get(), 0, sizeof(ProgramRecord));
    for (int id = 0; id < kProgramParameters; ++id) {
        once->values[id] = 0.7f;
    }
    once->values[ProgramUpgrade::kVersionParameter] = 0.24f;
    ProgramUpgrade::upgradeProgram(*once);
    auto twice = std::make_unique<ProgramRecord>(*once);
    ProgramUpgrade::upgradeProgram(*twice);
    EXPECT_EQ(std::memcmp(once.get(), twice.get(), sizeof(ProgramRecord)), 0);
    EXPECT_EQ(once->values[ProgramUpgrade::kVersionParameter], 0.241f);
}

TEST(ParamsProgramUpgradeOnce, HostileVersionsReadAsVersions) {
    auto record = std::make_unique<ProgramRecord>();
    std::memset(record.get(), 0, sizeof(ProgramRecord));
    record->values[ProgramUpgrade::kVersionParameter] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(ProgramUpgrade::versionOf(*record), 0);
    record->values[ProgramUpgrade::kVersionParameter] = -5.0f;
    EXPECT_EQ(ProgramUpgrade::versionOf(*record), 0);
    record->values[ProgramUpgrade::kVersionParameter] = std::numeric_limits<float>::infinity();
    EXPECT_EQ(ProgramUpgrade::versionOf(*record), 0);
    record->values[ProgramUpgrade::kVersionParameter] = 1.0e30f;
    EXPECT_EQ(ProgramUpgrade::versionOf(*record), 1000000);
}

struct SectionValueCase {
    const char* name;
    int id;
    int version;
    float before;
    float after;
};

const SectionValueCase kSectionValueCases[] = {
    {"OscWaveOf2300", 64, 2300, 0.5f, oscWave2400(0.5f)},
    {"OscWaveOf2410", 64, 2410, 0.5f, 0.5f},
    {"SubOscOf2300", 73, 2300, 0.5f, 0.4f * 0.5f + 0.002f},
    {"LpfTypeOf2300", 82, 2300, 0.5f, lpfType2400(0.5f)},
    {"LpfTypeOf2200", 82, 2200, 0.5f, lpfType2400(lpfType2300(0.5f))},
    {"EchoLengthOf2200", 168, 2200, 0.5f, 2.0f / 7.0f},
    {"EchoLengthOf2300", 168, 2300, 0.5f, 0.5f},
    {"BendDepthIsNoSectionValue", 184, 2000, 0.5f, 0.5f},
};

class ParamsSectionValueUpgrade : public ::testing::TestWithParam<SectionValueCase> {};

TEST_P(ParamsSectionValueUpgrade, ConvertsByIdAndVersion) {
    const SectionValueCase& c = GetParam();
    EXPECT_NEAR(ProgramUpgrade::convertSectionValue(c.id, c.before, c.version), c.after, 1e-6f);
}

INSTANTIATE_TEST_SUITE_P(ParamsSectionValueUpgrade, ParamsSectionValueUpgrade,
                         ::testing::ValuesIn(kSectionValueCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
