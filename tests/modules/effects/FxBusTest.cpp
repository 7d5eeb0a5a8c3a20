#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "modules/effects/MixKinds.h"
#include "modules/effects/MixTestRig.h"

namespace {

using namespace mix_test;

using Bus = QX_DSP_Level_FX_BUS;

// A source that plays a fixed list of awkward values on outputs 0 and 1, announcing them moving.
class OddValues : public QX_ModuleBase {
public:
    static constexpr float kValues[] = {-0.0f, 1e-40f, -3.5e-39f, 0.1f, -0.7f, 123456.789f, 5e8f, 1.0f};

    explicit OddValues(QX_EngineHost* host) : QX_ModuleBase(host, false) {
        makeOutput(0);
        makeOutput(1);
    }
    void prepare() override {
        sendEvent(host->sampleClock, 0, kEventMoving, 1, 1.0f, nullptr);
        sendEvent(host->sampleClock, 1, kEventMoving, 1, 1.0f, nullptr);
    }
    void render(int pos, int count) override {
        for (int i = 0; i < count; ++i) {
            const std::uint32_t t = localTime + static_cast<std::uint32_t>(i);
            outputs[0][pos + i] = kValues[t % std::size(kValues)];
            outputs[1][pos + i] = kValues[(t * 3 + 1) % std::size(kValues)];
        }
    }
};

// With the return switched off the bus hands its inputs on bit for bit (negative zero and
// denormals included), whatever the return and its level do.
TEST(ModulesFxBus, ReturnOffPassesInputsBitForBit) {
    TestEngine engine(64);
    auto* in = engine.add<OddValues>();
    auto* source = engine.add<SignalSource>();
    auto* bus = engine.add<Bus>(false);
    auto* recorder = engine.add<Recorder>();
    in->connect(bus, bus->moduleIndex, 0, Bus::kPinLeft, 0, 0, 0);
    in->connect(bus, bus->moduleIndex, 1, Bus::kPinRight, 0, 0, 0);
    const std::uint32_t start = engine.sampleClock;
    source->schedule(0, {{start, true, 0.5f, 0.5f}});
    source->schedule(1, {{start, true, 0.7f, 0.3f}});
    source->connect(bus, bus->moduleIndex, 0, Bus::kPinReturnLeft, 0, 0, 0);
    source->connect(bus, bus->moduleIndex, 0, Bus::kPinReturnRight, 0, 0, 0);
    source->connect(bus, bus->moduleIndex, 1, Bus::kPinReturnLevel, 0, 0, 0);
    for (int k = 0; k < 3; ++k) {
        bus->connect(recorder, recorder->moduleIndex, k, k, 0, 0, 0);
    }
    bus->receiveEvent(start, Bus::kPinReturnOn, kEventStill, 0, 0.0f, nullptr);
    engine.prepareAll();
    engine.run(300);
    for (std::uint32_t t = start; t < start + 300; ++t) {
        const float left = OddValues::kValues[t % std::size(OddValues::kValues)];
        const float right = OddValues::kValues[(t * 3 + 1) % std::size(OddValues::kValues)];
        ASSERT_EQ(std::memcmp(&recorder->samples[0][t - start], &left, sizeof(float)), 0) << t;
        ASSERT_EQ(std::memcmp(&recorder->samples[1][t - start], &right, sizeof(float)), 0) << t;
        ASSERT_EQ(recorder->samples[2][t - start], (left + right) * 0.5f) << t;
    }
}

}  // namespace
