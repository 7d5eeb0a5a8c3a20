#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <ostream>
#include <string>

#include "modules/effects/MixKinds.h"
#include "modules/effects/MixTestRig.h"

namespace {

using namespace mix_test;

struct PanCase {
    const char* name;
    unsigned law;
    float pan;    // x, -0.5 (left) .. 0.5 (right)
    float left;   // expected gain of each side
    float right;
};

// Law 0: 1 - p and p. Law 1: (1 - p) + p(1 - p) and p + p(1 - p): 0.75 (-2.5 dB) each in the
// centre, against 0.5 (-6 dB) for law 0.
const PanCase kPanCases[] = {
    {"LinearLeft", 0, -0.5f, 1.0f, 0.0f},      {"LinearQuarter", 0, -0.25f, 0.75f, 0.25f},
    {"LinearCentre", 0, 0.0f, 0.5f, 0.5f},     {"LinearRight", 0, 0.5f, 0.0f, 1.0f},
    {"LawOneLeft", 1, -0.5f, 1.0f, 0.0f},      {"LawOneQuarter", 1, -0.25f, 0.9375f, 0.4375f},
    {"LawOneCentre", 1, 0.0f, 0.75f, 0.75f},   {"LawOneThreeQuarters", 1, 0.25f, 0.4375f, 0.9375f},
    {"LawOneRight", 1, 0.5f, 0.0f, 1.0f},
};

void PrintTo(const PanCase& c, std::ostream* os) { *os << c.name; }

class ModulesPannerLaw : public ::testing::TestWithParam<PanCase> {};

double rms(const std::vector<float>& samples) {
    double sum = 0.0;
    for (const float s : samples) {
        sum += static_cast<double>(s) * s;
    }
    return std::sqrt(sum / static_cast<double>(samples.size()));
}

// A sine through the panner with the shipped wiring's gain of 1: the level of each side, measured
// as RMS against the input's, is the law's gain for that position.
TEST_P(ModulesPannerLaw, SideLevelsFollowTheLaw) {
    const PanCase& c = GetParam();
    constexpr int kFrames = 4096;
    Rig rig(128, maker<QX_DSP_Panner>(), 2);
    rig.feed(QX_DSP_Panner::kPinSignal, {{rig.start, true, 0.0f, 0.8f}});
    rig.feed(QX_DSP_Panner::kPinPan, {{rig.start, false, c.pan}});
    rig.feed(QX_DSP_Panner::kPinGain, {{rig.start, false, 1.0f}});
    rig.control(0, QX_DSP_Panner::kPinLaw, 0.1f * static_cast<float>(c.law), static_cast<std::int32_t>(c.law));
    rig.prepare();
    rig.engine.run(kFrames);
    std::vector<float> input;
    for (std::uint32_t t = rig.start; t < rig.start + kFrames; ++t) {
        input.push_back(rig.source->valueAt(QX_DSP_Panner::kPinSignal, t));
    }
    const double in = rms(input);
    EXPECT_NEAR(rms(rig.recorder->samples[0]) / in, c.left, 1e-6);
    EXPECT_NEAR(rms(rig.recorder->samples[1]) / in, c.right, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(ModulesPanner, ModulesPannerLaw, ::testing::ValuesIn(kPanCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A pan position that moves sample by sample is applied per sample with the same law.
TEST(ModulesPanner, MovingPositionFollowsTheLawPerSample) {
    Rig rig(128, maker<QX_DSP_Panner>(), 2);
    rig.feed(QX_DSP_Panner::kPinSignal, {{rig.start, false, 1.0f}});
    rig.feed(QX_DSP_Panner::kPinPan, {{rig.start, true, 0.0f, 0.5f}});
    rig.feed(QX_DSP_Panner::kPinGain, {{rig.start, false, 2.0f}});
    rig.control(0, QX_DSP_Panner::kPinLaw, 0.1f, 1);
    rig.control(0, QX_DSP_Panner::kPinSquare, 0.1f, 1);
    rig.prepare();
    rig.engine.run(512);
    for (std::uint32_t t = rig.start; t < rig.start + 512; ++t) {
        const float p = rig.source->valueAt(QX_DSP_Panner::kPinPan, t) + 0.5f;
        ASSERT_NEAR(rig.recorder->at(0, t), 4.0f * (1.0f - p) * (1.0f + p), 1e-5f);
        ASSERT_NEAR(rig.recorder->at(1, t), 4.0f * p * (2.0f - p), 1e-5f);
    }
}

}  // namespace
