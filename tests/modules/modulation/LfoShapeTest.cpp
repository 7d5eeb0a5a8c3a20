#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "modules/modulation/LfoRig.h"

using namespace lfo_rig;

namespace {

constexpr int kSamplesPerCycle = 1024;  // a binary fraction, so sample n sits exactly at phase n / 1024

struct Point {
    int sample;  // phase = sample / 1024
    double value;
};

struct ShapeCase {
    const char* name;
    int shape;
    float offset;  // still phase offset in cycles
    std::vector<Point> points;
};

void PrintTo(const ShapeCase& c, std::ostream* os) { *os << c.name; }

constexpr double kSixth = 1.0 / 6.0;

// Values from each shape's definition at phases chosen on its corners, between its table points
// and on its curves.
const ShapeCase kShapeCases[] = {
    {"Sine", kSine, 0.0f, {{0, 0.0}, {128, 0.35355339}, {256, 0.5}, {640, -0.35355339}, {3, 0.00920336}}},
    {"Triangle", kTriangle, 0.0f, {{0, -0.5}, {128, -0.25}, {256, 0.0}, {512, 0.5}, {768, 0.0}, {896, -0.25}}},
    {"Pulse", kPulse, 0.0f, {{0, 0.5}, {256, 0.5}, {480, 0.0}, {544, -0.5}, {976, -0.25}}},
    {"Saw1", kSaw1, 0.0f, {{0, -0.5}, {256, -0.25}, {768, 0.25}}},
    {"Saw2", kSaw2, 0.0f, {{0, -0.5}, {256, -0.4375}, {512, -0.25}, {768, 0.0625}}},
    {"Saw3", kSaw3, 0.0f, {{512, -0.4375}, {767, -0.18523848}, {1023, 0.49609947}}},
    {"Ramp1", kRamp1, 0.0f, {{0, 0.5}, {256, 0.25}, {768, -0.25}}},
    {"Ramp2", kRamp2, 0.0f, {{0, 0.5}, {256, 0.0625}, {512, -0.25}}},
    {"Ramp3", kRamp3, 0.0f, {{0, 0.5}, {256, -0.18359375}, {512, -0.4375}}},
    {"Peak", kPeak, 0.0f, {{0, -0.25}, {128, -0.0625}, {256, 0.0}, {384, 0.0625}, {512, 0.25}}},
    {"Dip", kDip, 0.0f, {{0, 0.5}, {256, -0.25}, {512, -0.5}, {768, -0.25}}},
    {"RandomHoldsItsFirstValueForTheFirstCycle", kRandom, 0.0f, {{0, 0.0}, {700, 0.0}, {1023, 0.0}}},
    {"Hump", kHump, 0.0f, {{0, -0.5}, {256, 0.25}, {512, 0.5}, {768, 0.25}}},
    {"WidthPulseIsHighForTheOffsetsWidth", kWidthPulse, 0.25f, {{0, -0.5}, {700, -0.5}, {768, 0.5}, {1023, 0.5}}},
    {"Square", kSquare, 0.0f, {{0, 0.5}, {511, 0.5}, {513, -0.5}, {1023, -0.5}}},
    {"StepSine", kStepSine, 0.0f, {{64, kSixth}, {224, 0.5}, {416, 0.25}, {768, -0.5}, {992, -kSixth / 2}}},
    {"Trap", kTrap, 0.0f, {{64, 0.25}, {96, 0.375}, {512, 0.0}, {640, -0.5}, {992, -0.125}}},
};

class ModulesLfoShapes : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(ModulesLfoShapes, EveryShapeMatchesItsDefinition) {
    const ShapeCase& c = GetParam();
    LfoRig rig;
    rig.shape(c.shape);
    rig.still(LfoRig::kOffset, c.offset);
    rig.still(LfoRig::kRate, rateFor(1.0 / kSamplesPerCycle, 44100));
    rig.run(kSamplesPerCycle);
    // 2e-6 covers the 24-bit phase fed to the curves and the sine table's interpolation.
    for (const Point& point : c.points) {
        EXPECT_NEAR(rig.out()[static_cast<std::size_t>(point.sample)], point.value, 2.0e-6) << "sample " << point.sample;
    }
}

INSTANTIATE_TEST_SUITE_P(Modules, ModulesLfoShapes, ::testing::ValuesIn(kShapeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ModulesLfoShapeNumbers, AShapeBeyondTheListIsIgnored) {
    LfoRig rig;
    rig.shape(kSaw1);
    rig.still(LfoRig::kRate, rateFor(1.0 / kSamplesPerCycle, 44100));
    rig.shape(17, 100);
    rig.shape(-1, 200);
    rig.run(400);
    EXPECT_NEAR(rig.out()[300], saw(300.0 / kSamplesPerCycle), 1.0e-6);
}

// Random: one new value at each wrap of the phase, held for the whole cycle, within +-0.25, from
// a generator of the module's own: two LFOs give the same sequence and the shared source is left
// alone.
TEST(ModulesLfoRandom, ChangesOnceAtEachWrapAndHoldsBetween) {
    constexpr int kCycle = 128;
    constexpr int kCycles = 40;
    LfoRig first;
    LfoRig other;
    for (LfoRig* rig : {&first, &other}) {
        rig->shape(kRandom);
        rig->still(LfoRig::kRate, rateFor(1.0 / kCycle, 44100));
    }
    const std::uint32_t sharedA = first.engine.sharedRandom.a();
    const std::uint32_t sharedB = first.engine.sharedRandom.b();
    first.run(kCycle * kCycles);
    other.run(kCycle * kCycles);
    EXPECT_EQ(first.out(), other.out());
    EXPECT_EQ(first.engine.sharedRandom.a(), sharedA);
    EXPECT_EQ(first.engine.sharedRandom.b(), sharedB);
    const std::vector<float>& out = first.out();
    for (int k = 0; k < kCycles; ++k) {
        const float held = out[static_cast<std::size_t>(k * kCycle)];
        EXPECT_LE(std::abs(held), 0.25f);
        if (k > 0) {
            EXPECT_NE(held, out[static_cast<std::size_t>(k * kCycle - 1)]) << "cycle " << k;
        }
        for (int i = 1; i < kCycle; ++i) {
            ASSERT_EQ(out[static_cast<std::size_t>(k * kCycle + i)], held) << "cycle " << k << " sample " << i;
        }
    }
}

}  // namespace
