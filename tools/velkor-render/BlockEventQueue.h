// Hands a plug-in its MIDI block by block: each event goes out in the block holding its sample,
// with deltaFrames inside that block. The VstEvents list has a fixed capacity taken up front;
// events that do not fit wait for the next block (at delta 0).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "velkor-render/TimedMidiEvent.h"
#include "vst/VstAbi.h"

namespace render {

class BlockEventQueue {
public:
    static constexpr int kDefaultCapacity = 1024;

    // Times in seconds become sample frames rounded to the nearest frame.
    BlockEventQueue(std::span<const TimedMidiEvent> events, double sampleRate,
                    int capacity = kDefaultCapacity);

    // The events due before blockStart + frames, in time order, at most capacity of them.
    // The list stays valid until the next call.
    vst::VstEvents* eventsForBlock(std::int64_t blockStart, int frames);

    std::size_t pending() const { return events_.size() - next_; }
    // Frame of the last event, -1 without events.
    std::int64_t lastFrame() const { return events_.empty() ? -1 : events_.back().frame; }

private:
    struct FramedEvent {
        std::int64_t frame;
        std::array<std::uint8_t, 3> bytes;
    };

    std::vector<FramedEvent> events_;
    std::size_t next_ = 0;
    std::vector<vst::VstMidiEvent> midiEvents_;
    // VstEvents declares two event slots; the host allocates as many as it needs past them.
    std::unique_ptr<std::byte[]> listStorage_;
    vst::VstEvents* list_;
    vst::VstEvent** slots_;
};

}  // namespace render
