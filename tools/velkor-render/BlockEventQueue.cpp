#include "velkor-render/BlockEventQueue.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <new>
#include <stdexcept>

namespace render {

BlockEventQueue::BlockEventQueue(std::span<const TimedMidiEvent> events, double sampleRate,
                                 int capacity) {
    if (capacity < 1) {
        throw std::invalid_argument("event capacity must be at least 1");
    }
    events_.reserve(events.size());
    for (const TimedMidiEvent& event : events) {
        events_.push_back({std::llround(event.seconds * sampleRate), event.bytes});
    }
    // Already in time order; rounding cannot reorder, stable keeps ties as given.
    std::stable_sort(events_.begin(), events_.end(),
                     [](const FramedEvent& a, const FramedEvent& b) { return a.frame < b.frame; });

    const auto count = static_cast<std::size_t>(capacity);
    midiEvents_.assign(count, vst::VstMidiEvent{});
    for (vst::VstMidiEvent& midi : midiEvents_) {
        midi.type = vst::kVstMidiType;
        midi.byteSize = static_cast<vst::int32>(sizeof(vst::VstMidiEvent));
    }
    const std::size_t bytes = offsetof(vst::VstEvents, events) + count * sizeof(vst::VstEvent*);
    listStorage_ = std::make_unique<std::byte[]>(std::max(bytes, sizeof(vst::VstEvents)));
    list_ = new (listStorage_.get()) vst::VstEvents{};
    slots_ =
        reinterpret_cast<vst::VstEvent**>(listStorage_.get() + offsetof(vst::VstEvents, events));
}

vst::VstEvents* BlockEventQueue::eventsForBlock(std::int64_t blockStart, int frames) {
    const std::int64_t blockEnd = blockStart + frames;
    int count = 0;
    while (next_ < events_.size() && events_[next_].frame < blockEnd &&
           count < static_cast<int>(midiEvents_.size())) {
        const FramedEvent& event = events_[next_];
        vst::VstMidiEvent& midi = midiEvents_[static_cast<std::size_t>(count)];
        midi.deltaFrames =
            static_cast<vst::int32>(std::max<std::int64_t>(0, event.frame - blockStart));
        midi.midiData[0] = static_cast<char>(event.bytes[0]);
        midi.midiData[1] = static_cast<char>(event.bytes[1]);
        midi.midiData[2] = static_cast<char>(event.bytes[2]);
        slots_[count] = reinterpret_cast<vst::VstEvent*>(&midi);
        ++count;
        ++next_;
    }
    list_->numEvents = count;
    return list_;
}

}  // namespace render
