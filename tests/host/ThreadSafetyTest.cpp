#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "host/QX_DSP_VST.h"
#include "support/TestHost.h"

namespace {

using namespace vst;

// One thread renders while another behaves like a busy host's UI and automation threads.
TEST(HostThreadSafety, HostCallsFromAnotherThreadWhileAudioRuns) {
    TestHost host;
    ASSERT_NE(host.open(), nullptr);
    host.start(44100.0f, 256);
    host.process(256);

    std::atomic<bool> stop{false};
    std::atomic<bool> finite{true};
    std::atomic<int> blocks{0};
    std::thread audio([&] {
        int note = 36;
        while (!stop.load()) {
            host.sendMidi({{0x90, static_cast<std::uint8_t>(note), 100}, {0x80, static_cast<std::uint8_t>(note), 0}},
                          {3, 200});
            note = note == 96 ? 36 : note + 1;
            host.process(256);
            for (float v : host.outLeft) {
                if (!std::isfinite(v)) {
                    finite = false;
                }
            }
            ++blocks;
        }
    });

    std::mt19937 random(20261209);
    std::uniform_int_distribution<int> parameter(0, 332);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    std::uniform_int_distribution<int> action(0, 99);
    std::vector<std::uint8_t> bank;
    std::vector<std::uint8_t> preset;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    int calls = 0;
    while (std::chrono::steady_clock::now() < deadline || blocks.load() < 50) {
        const int a = action(random);
        if (a < 60) {
            host.effect->setParameter(host.effect, parameter(random), value(random));
        } else if (a < 75) {
            const float v = host.effect->getParameter(host.effect, parameter(random));
            ASSERT_TRUE(v >= 0.0f && v <= 1.0f);
        } else if (a < 88) {
            char text[64];
            host.dispatch(effGetParamDisplay, parameter(random), 0, text);
            ASSERT_LE(std::strlen(text), 8u);
        } else if (a < 93) {
            void* data = nullptr;
            const bool isPreset = a % 2 == 0;
            const auto size = host.dispatch(effGetChunk, isPreset ? 1 : 0, 0, &data);
            auto& copy = isPreset ? preset : bank;
            copy.assign(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
        } else if (a < 97) {
            auto& copy = a % 2 == 0 ? preset : bank;
            if (!copy.empty()) {
                host.dispatch(effSetChunk, a % 2 == 0 ? 1 : 0, static_cast<intptr>(copy.size()), copy.data());
            }
        } else {
            host.dispatch(effSetProgram, 0, action(random) % 128);
        }
        ++calls;
    }

    // Let any program change finish, then the last values set must be the values read.
    QX_DSP_VST& core = pluginOf(host.effect);
    while (core.fadeStateNow() != 0) {
        std::this_thread::yield();
    }
    std::vector<float> last(333);
    // The randomise buttons are released: a press would give their groups values of its own.
    const auto isRandomiseButton = [](int id) { return (id >= 212 && id <= 221) || id == 231; };
    for (int id = 0; id < 333; ++id) {
        host.effect->setParameter(host.effect, id, isRandomiseButton(id) ? 0.0f : value(random));
        last[static_cast<std::size_t>(id)] = host.effect->getParameter(host.effect, id);
    }
    const int seen = blocks.load();
    while (blocks.load() < seen + 3) {
        std::this_thread::yield();
    }
    stop = true;
    audio.join();

    EXPECT_TRUE(finite.load());
    EXPECT_GT(calls, 1000);
    for (int id = 0; id < 333; ++id) {
        EXPECT_EQ(host.effect->getParameter(host.effect, id), last[static_cast<std::size_t>(id)]) << id;
    }
}

}  // namespace
