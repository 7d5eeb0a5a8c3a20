#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "modules/effects/MixKinds.h"
#include "modules/effects/MixTestRig.h"

namespace {

using namespace mix_test;

class ModulesMixProperties : public ::testing::TestWithParam<Kind> {};

constexpr int kFrames = 1000;

// Every signal pin goes through still, moving, still at 0 (silence), moving and still stretches at
// times that fall inside blocks; every control pin is switched on, off and on again.
void drive(Rig& rig, const Kind& kind) {
    for (std::size_t i = 0; i < kind.signalPins.size(); ++i) {
        const auto k = static_cast<std::uint32_t>(i);
        const float base = 0.3f + 0.1f * static_cast<float>(i);
        rig.feed(kind.signalPins[i], {{rig.start, false, base},
                                      {rig.start + 50 + 13 * k, true, base, 0.4f},
                                      {rig.start + 300 + 7 * k, false, 0.0f},
                                      {rig.start + 500 + 11 * k, true, -base, 0.2f},
                                      {rig.start + 800 + k, false, 0.6f}});
    }
    for (std::size_t j = 0; j < kind.controlPins.size(); ++j) {
        const auto k = static_cast<std::uint32_t>(j);
        const int pin = kind.controlPins[j];
        const float on = 0.1f * static_cast<float>(j + 1);
        rig.control(100 + 37 * k, pin, on, static_cast<std::int32_t>(j + 1));
        rig.control(400 + 53 * k, pin, 0.0f, 0);
        rig.control(700 + 29 * k, pin, on, static_cast<std::int32_t>(j + 1));
    }
}

// The same events give the same samples and announcements whether the stretches are rendered
// whole (128-sample ring) or cut at many extra event times (a 48-sample ring and events that
// change nothing).
TEST_P(ModulesMixProperties, SplitRenderingMatchesWholeRendering) {
    const Kind& kind = GetParam();
    Rig whole(128, kind.add, kind.outputs);
    Rig split(48, kind.add, kind.outputs);
    drive(whole, kind);
    drive(split, kind);
    std::mt19937 random(1234);
    std::uniform_int_distribution<std::uint32_t> when(0, kFrames - 1);
    constexpr int kNoOpPin = 63;  // nothing listens there, but each event cuts the render
    for (int i = 0; i < 60; ++i) {
        split.control(when(random), kNoOpPin, 0.0f, 0);
    }
    whole.prepare();
    split.prepare();
    whole.engine.run(kFrames);
    split.engine.run(kFrames);
    for (int k = 0; k < kind.outputs; ++k) {
        const auto& a = whole.recorder->samples[k];
        const auto& b = split.recorder->samples[k];
        ASSERT_EQ(a.size(), b.size());
        for (std::size_t t = 0; t < a.size(); ++t) {
            ASSERT_EQ(std::memcmp(&a[t], &b[t], sizeof(float)), 0)
                << "output " << k << " sample " << t << ": " << a[t] << " vs " << b[t];
        }
    }
    const auto& a = whole.recorder->announcements;
    const auto& b = split.recorder->announcements;
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].time, b[i].time);
        EXPECT_EQ(a[i].pin, b[i].pin);
        EXPECT_EQ(a[i].kind, b[i].kind);
        EXPECT_EQ(a[i].value, b[i].value);
    }
}

// NaN, infinities, the largest floats and denormals on the signals, hostile values on every pin
// (and on pins beyond the last): every output sample stays finite and every announced value too.
TEST_P(ModulesMixProperties, ExtremeInputGivesFiniteOutput) {
    const Kind& kind = GetParam();
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    constexpr float kMax = std::numeric_limits<float>::max();
    constexpr float kTiny = std::numeric_limits<float>::denorm_min();
    Rig rig(64, kind.add, kind.outputs);
    static constexpr float kWired = 0.0f;
    for (const int pin : {19, 20, 59, 60}) {
        rig.module->setInput(pin, &kWired);  // so that the clamp bounds are in play
    }
    for (const int pin : kind.signalPins) {
        rig.feed(pin, {{rig.start, false, kNaN},
                       {rig.start + 40, true, kInf},
                       {rig.start + 90, true, 0.0f, kMax},
                       {rig.start + 150, false, -kInf},
                       {rig.start + 210, true, kNaN},
                       {rig.start + 260, false, kMax},
                       {rig.start + 320, true, kTiny, 10 * kTiny},
                       {rig.start + 380, true, -kMax, kMax}});
    }
    const float values[] = {kNaN, kInf, -kInf, kMax, -kMax, kTiny, 1.0f};
    const std::int32_t integers[] = {std::numeric_limits<std::int32_t>::min(), -1, 0, 1,
                                     std::numeric_limits<std::int32_t>::max()};
    std::uint32_t offset = 1;
    for (int pin = 0; pin < kModulePins + 3; ++pin) {
        for (std::size_t v = 0; v < std::size(values); ++v) {
            const bool signalPin =
                std::find(kind.signalPins.begin(), kind.signalPins.end(), pin) != kind.signalPins.end();
            if (!signalPin) {
                rig.control(offset, pin, values[v], integers[v % std::size(integers)]);
            }
            offset = (offset * 7 + 3) % 440;
        }
    }
    rig.control(5, 65535, kNaN, 1);
    rig.prepare();
    rig.engine.run(512);
    for (int k = 0; k < kind.outputs; ++k) {
        for (std::size_t t = 0; t < rig.recorder->samples[k].size(); ++t) {
            ASSERT_TRUE(std::isfinite(rig.recorder->samples[k][t])) << "output " << k << " sample " << t;
        }
    }
    for (const auto& a : rig.recorder->announcements) {
        EXPECT_TRUE(std::isfinite(a.value));
    }
}

INSTANTIATE_TEST_SUITE_P(ModulesMix, ModulesMixProperties, ::testing::ValuesIn(kinds()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
