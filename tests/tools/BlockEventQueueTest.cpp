#include <gtest/gtest.h>

#include <vector>

#include "velkor-render/BlockEventQueue.h"

namespace {

using render::BlockEventQueue;
using render::TimedMidiEvent;

constexpr double kRate = 1000.0;  // one frame per millisecond keeps the arithmetic readable
constexpr int kBlock = 64;

struct Delivered {
    int delta;
    int key;
};

std::vector<Delivered> deliver(BlockEventQueue& queue, std::int64_t blockStart, int frames) {
    const vst::VstEvents* list = queue.eventsForBlock(blockStart, frames);
    std::vector<Delivered> out;
    for (int i = 0; i < list->numEvents; ++i) {
        const auto* midi = reinterpret_cast<const vst::VstMidiEvent*>(list->events[i]);
        EXPECT_EQ(midi->type, vst::kVstMidiType);
        EXPECT_EQ(midi->byteSize, static_cast<vst::int32>(sizeof(vst::VstMidiEvent)));
        EXPECT_EQ(static_cast<std::uint8_t>(midi->midiData[0]), 0x90);
        EXPECT_EQ(midi->midiData[2], 100);
        out.push_back({midi->deltaFrames, midi->midiData[1]});
    }
    return out;
}

TimedMidiEvent note(double seconds, int key) {
    return {seconds, {0x90, static_cast<std::uint8_t>(key), 100}};
}

void expectDelivered(const std::vector<Delivered>& got, const std::vector<Delivered>& expected) {
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].delta, expected[i].delta) << "event " << i;
        EXPECT_EQ(got[i].key, expected[i].key) << "event " << i;
    }
}

TEST(ToolsBlockEventQueue, EventsLandInTheBlockHoldingTheirSample) {
    // Frames 0, 10 (10.4 ms rounds down), 63, 64, 200.
    const std::vector<TimedMidiEvent> events = {note(0.0, 1), note(0.0104, 2), note(0.063, 3),
                                                note(0.064, 4), note(0.2, 5)};
    BlockEventQueue queue(events, kRate);
    EXPECT_EQ(queue.lastFrame(), 200);
    expectDelivered(deliver(queue, 0, kBlock), {{0, 1}, {10, 2}, {63, 3}});
    expectDelivered(deliver(queue, 64, kBlock), {{0, 4}});
    expectDelivered(deliver(queue, 128, kBlock), {});
    expectDelivered(deliver(queue, 192, kBlock), {{8, 5}});
    EXPECT_EQ(queue.pending(), 0u);
}

TEST(ToolsBlockEventQueue, ShortBlockLeavesLaterEventsPending) {
    const std::vector<TimedMidiEvent> events = {note(0.009, 1), note(0.010, 2)};
    BlockEventQueue queue(events, kRate);
    expectDelivered(deliver(queue, 0, 10), {{9, 1}});
    EXPECT_EQ(queue.pending(), 1u);
    expectDelivered(deliver(queue, 10, 10), {{0, 2}});
}

TEST(ToolsBlockEventQueue, EventsBeyondCapacityWaitForTheNextBlockAtDeltaZero) {
    const std::vector<TimedMidiEvent> events = {note(0.010, 1), note(0.010, 2), note(0.010, 3),
                                                note(0.010, 4), note(0.010, 5), note(0.070, 6)};
    BlockEventQueue queue(events, kRate, 2);
    expectDelivered(deliver(queue, 0, kBlock), {{10, 1}, {10, 2}});
    expectDelivered(deliver(queue, 64, kBlock), {{0, 3}, {0, 4}});
    expectDelivered(deliver(queue, 128, kBlock), {{0, 5}, {0, 6}});
    EXPECT_EQ(queue.pending(), 0u);
}

TEST(ToolsBlockEventQueue, RejectsZeroCapacity) {
    EXPECT_THROW(BlockEventQueue({}, kRate, 0), std::invalid_argument);
}

}  // namespace
