#include "engine/RateTables.h"
#include "engine/SharedSynthTables.h"
#include "support/SharedTablesHold.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <latch>
#include <map>
#include <memory>
#include <numbers>
#include <ostream>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kHarmonics = SharedSynthTables::kHarmonics;
constexpr int kPoints = SharedSynthTables::kSinePoints;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

// ---- Shared tables: contents ------------------------------------------------------------

class EngineSynthTables : public ::testing::Test {
protected:
    static void SetUpTestSuite() { tables = SharedSynthTables::acquire(); }
    static void TearDownTestSuite() {
        SharedSynthTables::release();
        tables = nullptr;
    }
    static const SharedSynthTables* tables;
};

const SharedSynthTables* EngineSynthTables::tables = nullptr;

TEST_F(EngineSynthTables, PitchTableAnchorsAndOctaves) {
    EXPECT_EQ(tables->pitchTable[3600], 13.75f);
    EXPECT_EQ(tables->pitchTable[4200], 440.0f);
    EXPECT_EQ(tables->pitchTable[3720], 27.5f);
    for (int i = 0; i + 120 < SharedSynthTables::kPitchTableSize; i += 7) {
        EXPECT_FLOAT_EQ(tables->pitchTable[i + 120], 2.0f * tables->pitchTable[i]) << i;
    }
}

TEST_F(EngineSynthTables, SineTableAnchors) {
    EXPECT_EQ(tables->sineTable[512], 0.5f);
    EXPECT_EQ(tables->sineTable[0], 0.0f);
    EXPECT_NEAR(tables->sineTable[2048], 0.0f, 1e-7f);
    EXPECT_EQ(tables->sineTable[1536], -0.5f);
    EXPECT_FLOAT_EQ(tables->sineTable[256], static_cast<float>(0.5 * std::sqrt(0.5)));
}

TEST_F(EngineSynthTables, WaveSlots) {
    EXPECT_EQ(tables->waveTables[SharedSynthTables::kSineWave], tables->sineTable);
    EXPECT_EQ(tables->waveTables[SharedSynthTables::kPulseWave],
              tables->waveTables[SharedSynthTables::kSawWave]);
    std::set<const float*> distinct;
    for (int w = 1; w <= SharedSynthTables::kLastBuiltWave; ++w) {
        ASSERT_NE(tables->waveTables[w], nullptr) << w;
        distinct.insert(tables->waveTables[w]);
    }
    EXPECT_EQ(distinct.size(), 13u);
    for (int w = SharedSynthTables::kLastBuiltWave + 1; w < SharedSynthTables::kWaveSlots; ++w) {
        EXPECT_EQ(tables->waveTables[w], nullptr) << w;
    }
}

// Raw recipes restated from the waveform list, before taper and normalisation.
using Recipe = std::function<double(int n)>;

Recipe fromList(std::map<int, double> amplitudes) {
    return [amplitudes](int n) {
        const auto found = amplitudes.find(n);
        return found == amplitudes.end() ? 0.0 : found->second;
    };
}

std::map<int, double> withRange(std::map<int, double> amplitudes, int first, int last,
                                double amplitude) {
    for (int n = first; n <= last; ++n) {
        amplitudes[n] = amplitude;
    }
    return amplitudes;
}

bool isTriangularPlusOne(int n) {
    for (int m = 0; m * (m + 1) / 2 + 1 <= n; ++m) {
        if (m * (m + 1) / 2 + 1 == n) {
            return true;
        }
    }
    return false;
}

std::vector<double> normalisedRecipe(const Recipe& recipe) {
    std::vector<double> a(kHarmonics + 1, 0.0);  // 1-based
    double sum = 0.0;
    for (int n = 1; n <= kHarmonics; ++n) {
        const double taper = n > 896 ? 1.0 - (n - 897) / 128.0 : 1.0;
        a[n] = recipe(n) * taper;
        sum += std::abs(a[n]) / n;
    }
    // Scaled by the reciprocal, in the builder's order, so reference sums can match bit for bit.
    const double scale = 1.0 / sum;
    for (double& value : a) {
        value *= scale;
    }
    return a;
}

struct WaveCase {
    std::string name;
    int wave;
    Recipe recipe;
};

void PrintTo(const WaveCase& c, std::ostream* os) { *os << c.name; }

std::vector<WaveCase> waveCases() {
    return {
        {"Saw", 1, [](int n) { return -1.0 / n; }},
        {"SoftRamp", 2, [](int n) { return std::pow(0.5, n - 1); }},
        {"Triangle", 3,
         [](int n) { return n % 2 == 0 ? 0.0 : ((n / 2) % 2 == 0 ? 1.0 : -1.0) / (n * n); }},
        {"Peak", 4,
         [](int n) {
             const double k = 1.0 + 0.75 * (n / 2);
             return n % 2 == 0 ? 0.0 : ((n / 2) % 2 == 0 ? 1.0 : -1.0) / (k * k);
         }},
        {"Cluster", 5, [](int n) { return n % 4 == 1 || n % 4 == 2 ? 1.0 / n : 0.0; }},
        {"Organ", 6, [](int n) { return (n & (n - 1)) == 0 && n <= 512 ? 1.0 / n : 0.0; }},
        {"Square", 7, [](int n) { return n % 2 == 1 ? 1.0 / n : 0.0; }},
        {"InvSaw", 9, [](int n) { return 1.0 / n; }},
        {"Bell", 10, [](int n) { return isTriangularPlusOne(n) ? 1.0 / n : 0.0; }},
        {"Vox", 11,
         fromList({{1, 1.0}, {3, 1.0}, {6, 0.5}, {8, 0.2}, {11, 0.01}, {12, 0.02}, {13, 0.03},
                   {14, 0.04}, {15, 0.05}, {16, 0.1}, {17, 0.05}, {18, 0.03}, {19, 0.02},
                   {20, 0.01}})},
        {"Vox2", 12,
         fromList(withRange(
             withRange(withRange({{1, 1.0}, {2, 1.0}, {3, 1.0}, {4, 0.1}, {5, 0.1}, {6, 0.5},
                                  {7, 0.3}, {13, 0.09}, {14, 0.08}, {15, 0.07}, {16, 0.06},
                                  {17, 0.05}, {18, 0.05}, {19, 0.04}, {20, 0.03}, {21, 0.03}},
                                 8, 12, 0.1),
                       22, 24, 0.02),
             25, 27, 0.01))},
        {"Vox3", 13,
         fromList({{1, 1.0}, {2, 1.0}, {3, 1.0}, {4, 0.6}, {5, 0.5}, {6, 0.2}, {7, 0.3},
                   {23, 0.04}, {24, 0.04}, {25, 0.03}, {26, 0.02}, {27, 0.02}, {28, 0.01},
                   {29, 0.01}})},
        {"Funk", 14,
         fromList(withRange(withRange({{1, 1.0}, {2, 0.8}, {3, 0.3}, {4, 0.2}, {5, 0.1}}, 6, 9,
                                      0.05),
                            10, 17, 0.01))},
    };
}

// Sine coefficient of harmonic k over one 2048-point period: amplitude * sin(2 pi k i / 2048)
// projects to the amplitude itself.
double sineCoefficient(const float* row, int k) {
    static const std::vector<double> sine = [] {
        std::vector<double> values(kPoints);
        for (int i = 0; i < kPoints; ++i) {
            values[i] = std::sin(kTwoPi * i / kPoints);
        }
        return values;
    }();
    double sum = 0.0;
    for (int i = 0; i < kPoints; ++i) {
        sum += row[i] * sine[(static_cast<std::int64_t>(k) * i) & (kPoints - 1)];
    }
    return 2.0 * sum / kPoints;
}

class EngineSynthTablesWave : public EngineSynthTables,
                              public ::testing::WithParamInterface<WaveCase> {};

// Row r must hold harmonics 1..r+1 of the normalised recipe at amplitude 0.5 a(n) and
// nothing above; the rows cover the pure sine, low rows, and the full tapered row. Harmonic
// 1024 sits at half the table's 2048 points, where its sine is sampled only at its zeros.
TEST_P(EngineSynthTablesWave, RowsHoldExactlyTheirHarmonics) {
    const WaveCase& c = GetParam();
    const float* table = tables->waveTables[c.wave];
    ASSERT_NE(table, nullptr);
    const std::vector<double> a = normalisedRecipe(c.recipe);
    constexpr double kTolerance = 2e-7;  // float rounding of rows and of the sine table
    for (const int r : {0, 1, 4, 27, 1023}) {
        const float* row = table + r * SharedSynthTables::kRowStride;
        for (int k = 1; k <= std::min(r + 3, kHarmonics); ++k) {
            const double expected = k <= r + 1 && k < kHarmonics ? 0.5 * a[k] : 0.0;
            ASSERT_NEAR(sineCoefficient(row, k), expected, kTolerance) << "row " << r << " k " << k;
        }
        EXPECT_EQ(row[0], 0.0f) << "row " << r;
        EXPECT_NEAR(row[kPoints], 0.0f, 1e-7f) << "closing point of row " << r;
    }
}

// The stored rows must be the per-position running sums v(i) over n = 2..1024 in that order,
// each rounded to float once; positions include the closing point, which reads sineTable[0].
TEST_P(EngineSynthTablesWave, RowsAreThePerPositionRunningSumsBitForBit) {
    const WaveCase& c = GetParam();
    const float* table = tables->waveTables[c.wave];
    ASSERT_NE(table, nullptr);
    const std::vector<double> a = normalisedRecipe(c.recipe);
    const float* sine = tables->sineTable;
    for (const int i : {1, 77, 511, 1024, 1500, 2047, 2048}) {
        double v = a[1] * sine[i];
        ASSERT_EQ(table[i], static_cast<float>(v)) << "row 0 at " << i;
        for (int n = 2; n <= kHarmonics; ++n) {
            v += a[n] * sine[(n * i) % kPoints];
            ASSERT_EQ(table[(n - 1) * SharedSynthTables::kRowStride + i], static_cast<float>(v))
                << "row " << n - 1 << " at " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllWaves, EngineSynthTablesWave, ::testing::ValuesIn(waveCases()),
                         [](const auto& info) { return info.param.name; });

TEST_F(EngineSynthTables, RowZeroIsThePureFundamental) {
    for (const WaveCase& c : waveCases()) {
        const double a1 = normalisedRecipe(c.recipe)[1];
        const float* row = tables->waveTables[c.wave];
        for (int i = 0; i <= kPoints; i += 5) {
            ASSERT_NEAR(row[i], 0.5 * a1 * std::sin(kTwoPi * i / kPoints), 1e-7)
                << c.name << " " << i;
        }
    }
}

TEST_F(EngineSynthTables, SawIsNormalisedToUnitWeightedSum) {
    const float* top = tables->waveTables[SharedSynthTables::kSawWave] +
                       (SharedSynthTables::kWaveRows - 1) * SharedSynthTables::kRowStride;
    double sum = 0.0;
    for (int k = 1; k <= kHarmonics; ++k) {
        sum += std::abs(2.0 * sineCoefficient(top, k)) / k;
    }
    EXPECT_NEAR(sum, 1.0, 1e-6);
}

// ---- Shared tables: lifetime ------------------------------------------------------------

std::uint64_t fingerprint(const SharedSynthTables& t) {
    std::uint64_t hash = 1469598103934665603ull;
    const auto mix = [&hash](float value) {
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        hash = (hash ^ bits) * 1099511628211ull;
    };
    for (int w = 1; w <= SharedSynthTables::kLastBuiltWave; ++w) {
        if (t.waveTables[w] == nullptr) {
            return 0;
        }
        for (int i = 0; i < SharedSynthTables::kWaveTableFloats; i += 4099) {
            mix(t.waveTables[w][i]);
        }
        const float* top = t.waveTables[w] + (SharedSynthTables::kWaveRows - 1) *
                                                 SharedSynthTables::kRowStride;
        mix(top[1000]);
    }
    mix(t.pitchTable[5000]);
    mix(t.sineTable[100]);
    return hash;
}

// The test run holds the tables (support/SharedTablesHold.h); these tests need them unheld.
class EngineSynthTablesLifecycle : public ::testing::Test {
protected:
    void SetUp() override { holdSharedTables(false); }
    void TearDown() override { holdSharedTables(true); }
};

TEST_F(EngineSynthTablesLifecycle, LastReleaseFreesAndNextAcquireRebuilds) {
    ASSERT_EQ(SharedSynthTables::userCount(), 0);
    ASSERT_EQ(SharedSynthTables::buildState(), SharedSynthTables::kNotBuilt);

    const SharedSynthTables* first = SharedSynthTables::acquire();
    const SharedSynthTables* second = SharedSynthTables::acquire();
    EXPECT_EQ(first, second);
    EXPECT_EQ(SharedSynthTables::userCount(), 2);
    EXPECT_EQ(SharedSynthTables::buildState(), SharedSynthTables::kBuilt);
    const std::uint64_t built = fingerprint(*first);
    EXPECT_NE(built, 0u);

    SharedSynthTables::release();
    EXPECT_EQ(SharedSynthTables::userCount(), 1);
    EXPECT_EQ(SharedSynthTables::buildState(), SharedSynthTables::kBuilt);
    EXPECT_EQ(fingerprint(*first), built);

    SharedSynthTables::release();
    EXPECT_EQ(SharedSynthTables::userCount(), 0);
    EXPECT_EQ(SharedSynthTables::buildState(), SharedSynthTables::kNotBuilt);
    EXPECT_EQ(first->waveTables[SharedSynthTables::kSawWave], nullptr);

    SharedSynthTables::release();  // no user left: ignored
    EXPECT_EQ(SharedSynthTables::userCount(), 0);

    const SharedSynthTables* again = SharedSynthTables::acquire();
    EXPECT_EQ(SharedSynthTables::buildState(), SharedSynthTables::kBuilt);
    EXPECT_EQ(fingerprint(*again), built);
    SharedSynthTables::release();
    EXPECT_EQ(SharedSynthTables::buildState(), SharedSynthTables::kNotBuilt);
}

TEST_F(EngineSynthTablesLifecycle, ConcurrentAcquireSeesOneFullyBuiltSet) {
    ASSERT_EQ(SharedSynthTables::userCount(), 0);
    constexpr int kThreads = 4;
    std::latch start(kThreads);
    std::array<const SharedSynthTables*, kThreads> seen{};
    std::array<std::uint64_t, kThreads> prints{};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            start.arrive_and_wait();
            seen[t] = SharedSynthTables::acquire();
            prints[t] = fingerprint(*seen[t]);
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(SharedSynthTables::userCount(), kThreads);
    const std::uint64_t reference = fingerprint(*seen[0]);
    EXPECT_NE(reference, 0u);
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(seen[t], seen[0]);
        EXPECT_EQ(prints[t], reference) << t;
    }
    for (int t = 0; t < kThreads; ++t) {
        SharedSynthTables::release();
    }
    EXPECT_EQ(SharedSynthTables::buildState(), SharedSynthTables::kNotBuilt);
}

// Instances come and go on two threads at once, so last releases race new acquires; every
// holder must find complete tables, and the counter must end at zero.
TEST_F(EngineSynthTablesLifecycle, ReleaseRacingAcquireNeverExposesFreedTables) {
    ASSERT_EQ(SharedSynthTables::userCount(), 0);
    const std::uint64_t reference = fingerprint(*SharedSynthTables::acquire());
    SharedSynthTables::release();
    constexpr int kThreads = 2;
    constexpr int kCycles = 3;
    std::latch start(kThreads);
    std::array<int, kThreads> mismatches{};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            start.arrive_and_wait();
            for (int cycle = 0; cycle < kCycles; ++cycle) {
                if (fingerprint(*SharedSynthTables::acquire()) != reference) {
                    ++mismatches[t];
                }
                SharedSynthTables::release();
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(mismatches, (std::array<int, kThreads>{}));
    EXPECT_EQ(SharedSynthTables::userCount(), 0);
    EXPECT_EQ(SharedSynthTables::buildState(), SharedSynthTables::kNotBuilt);
}

// ---- Rate tables ------------------------------------------------------------------------

// The exponential lookup the oscillators and filters make: position (x + 3) * steps per unit,
// integer part split into octave and fine entry, fraction interpolated along the entry.
float exponentialLookup(const RateTables& t, const InterpolationPair* fine, const float* octave,
                        double x) {
    const double position = (x + 3.0) * t.expStepsPerUnit;
    const int whole = static_cast<int>(position);
    const float fraction = static_cast<float>(position - whole);
    const InterpolationPair& entry = fine[whole & (RateTables::kFineSteps - 1)];
    return (entry.value + entry.difference * fraction) * octave[whole >> 8];
}

class EngineRateTables : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        tables = std::make_unique<RateTables>();
        tables->build(GetParam());
    }
    std::unique_ptr<RateTables> tables;
};

TEST_P(EngineRateTables, ExponentialLookupsFollowPitch) {
    const RateTables& t = *tables;
    EXPECT_EQ(t.sampleRate(), GetParam());
    EXPECT_EQ(t.expStepsPerUnit, 2560.0f);
    for (const double x : {-2.9, -1.0, -0.05, 0.0, 0.123456, 0.425, 0.5, 1.0, 1.7}) {
        const double octaves = 10.0 * x;
        const double increment = 13.75 * std::pow(2.0, octaves) / GetParam();
        EXPECT_NEAR(exponentialLookup(t, t.fineIncrement, t.octaveScale, x) / increment, 1.0, 2e-6)
            << x;
        EXPECT_NEAR(exponentialLookup(t, t.fineRatio, t.octaveScaleHz, x) /
                        (1.375 * std::pow(2.0, octaves)),
                    1.0, 2e-6)
            << x;
        EXPECT_NEAR(exponentialLookup(t, t.fineRatio, t.octaveScaleKHz, x) /
                        (0.001375 * std::pow(2.0, octaves)),
                    1.0, 2e-6)
            << x;
    }
}

TEST_P(EngineRateTables, PairsStepToTheNextValue) {
    const RateTables& t = *tables;
    for (int i = 0; i < RateTables::kSine512Size; ++i) {
        EXPECT_EQ(t.sine512Pairs[i].value, t.sine512[i]) << i;
        const float next = t.sine512[(i + 1) % RateTables::kSine512Points];
        EXPECT_NEAR(t.sine512Pairs[i].value + t.sine512Pairs[i].difference, next, 1e-7f) << i;
    }
    EXPECT_EQ(t.sine512[128], 0.5f);
    for (const InterpolationPair* pairs : {t.fineIncrement, t.fineRatio}) {
        for (int i = 0; i < RateTables::kFineSteps; ++i) {
            EXPECT_FLOAT_EQ(pairs[i].value + pairs[i].difference, pairs[i + 1].value) << i;
        }
        EXPECT_FLOAT_EQ(pairs[RateTables::kFineSteps].value, 2.0f * pairs[0].value);
    }
    EXPECT_EQ(t.fineRatio[0].value, 1.0f);
}

TEST_P(EngineRateTables, PitchColumnsDescribeOneClampedFrequency) {
    const RateTables& t = *tables;
    const double sampleRate = GetParam();
    const double half = sampleRate / 2.0;
    for (int i = 0; i < RateTables::kFrequencyPoints; ++i) {
        const double unclamped = 13.75 * std::pow(2.0, 23.0 * i / 2048.0 - 10.0);
        if (unclamped > 0.99 * half) {
            ASSERT_FLOAT_EQ(t.pitchFreqNorm[i], 0.99f) << i;
        } else {
            ASSERT_NEAR(t.pitchFreqNorm[i] / (unclamped / half), 1.0, 1e-6) << i;
        }
        const double angle = std::numbers::pi * t.pitchFreqNorm[i] * half / sampleRate;
        ASSERT_NEAR(t.pitchTan[i] / std::tan(angle), 1.0, 1e-5) << i;
        ASSERT_NEAR(t.pitchCot[i] * std::tan(angle), 1.0, 1e-5) << i;
        ASSERT_NEAR(t.pitchSin2[i], std::sin(2.0 * angle), 1e-6) << i;
        ASSERT_NEAR(t.pitchCos2[i], std::cos(2.0 * angle), 1e-6) << i;
    }
    EXPECT_FLOAT_EQ(t.pitchFreqNorm[0] * static_cast<float>(half), 13.75f / 1024.0f);
    EXPECT_EQ(t.pitchFreqNorm[RateTables::kFrequencyPoints - 1], 0.99f);
}

INSTANTIATE_TEST_SUITE_P(SampleRates, EngineRateTables,
                         ::testing::Values(22050, 44100, 48000, 96000, 192000));

TEST(EngineRateTablesFixed, LinearColumnsStartAtOneStep) {
    auto t = std::make_unique<RateTables>();
    t->build(44100);
    const double step = std::numbers::pi / 4096.0;
    EXPECT_FLOAT_EQ(t->linearTan[0], static_cast<float>(std::tan(step)));
    EXPECT_EQ(t->linearTan[0], t->linearTan[1]);
    EXPECT_EQ(t->linearCot[0], t->linearCot[1]);
    EXPECT_EQ(t->linearCot[1024], 1.0f);
    EXPECT_EQ(t->linearTan[1024], 1.0f);
    EXPECT_EQ(t->linearSin[1024], 1.0f);
    EXPECT_NEAR(t->linearCos[1024], 0.0f, 1e-7f);
    EXPECT_FLOAT_EQ(t->linearSin[512], static_cast<float>(std::sqrt(0.5)));
    EXPECT_FLOAT_EQ(t->linearCos[0], static_cast<float>(std::cos(2.0 * step)));
    EXPECT_NEAR(t->linearCot[2048], 0.0f, 1e-7f);
}

TEST(EngineRateTablesFixed, SemitoneRatioReadsASignedByte) {
    auto t = std::make_unique<RateTables>();
    t->build(48000);
    EXPECT_EQ(t->semitoneRatio[0], 0.1f);
    EXPECT_EQ(t->semitoneRatio[12], 0.2f);
    EXPECT_EQ(t->semitoneRatio[244], 0.05f);
    EXPECT_FLOAT_EQ(t->semitoneRatio[127], static_cast<float>(0.1 * std::pow(2.0, 127.0 / 12.0)));
    EXPECT_FLOAT_EQ(t->semitoneRatio[128], static_cast<float>(0.1 * std::pow(2.0, -128.0 / 12.0)));
    EXPECT_FLOAT_EQ(t->semitoneRatio[255], static_cast<float>(0.1 * std::pow(2.0, -1.0 / 12.0)));
}

TEST(EngineRateTablesFixed, RebuildFollowsTheNewRate) {
    auto t = std::make_unique<RateTables>();
    t->build(44100);
    t->build(96000);
    EXPECT_EQ(t->sampleRate(), 96000);
    EXPECT_FLOAT_EQ(t->fineIncrement[0].value, static_cast<float>(13.75 / 96000.0));
    EXPECT_FLOAT_EQ(t->pitchFreqNorm[1024],
                    static_cast<float>(13.75 * std::pow(2.0, 1.5) / 48000.0));
}

}  // namespace
