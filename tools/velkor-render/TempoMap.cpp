#include "velkor-render/TempoMap.h"

#include <algorithm>
#include <stdexcept>

namespace render {

namespace {

constexpr double kSecondsPerMinute = 60.0;

void checkBpm(double bpm) {
    if (!(bpm > 0.0)) {
        throw std::invalid_argument("tempo must be above 0 beats per minute");
    }
}

}  // namespace

TempoMap::TempoMap(double initialBpm) {
    checkBpm(initialBpm);
    segments_.push_back({0.0, 0.0, initialBpm});
}

void TempoMap::addChange(double seconds, double bpm) {
    checkBpm(bpm);
    Segment& last = segments_.back();
    if (seconds < last.startSeconds) {
        throw std::invalid_argument("tempo changes must be added in time order");
    }
    if (seconds == last.startSeconds) {
        last.bpm = bpm;
        return;
    }
    segments_.push_back({seconds, quarterNotesAt(seconds), bpm});
}

double TempoMap::bpmAt(double seconds) const {
    return segmentAt(seconds).bpm;
}

double TempoMap::quarterNotesAt(double seconds) const {
    const Segment& segment = segmentAt(seconds);
    return segment.startQuarterNotes +
           (seconds - segment.startSeconds) * segment.bpm / kSecondsPerMinute;
}

const TempoMap::Segment& TempoMap::segmentAt(double seconds) const {
    // The first segment starts at 0 and also covers any earlier time.
    auto after = std::upper_bound(segments_.begin() + 1, segments_.end(), seconds,
                                  [](double t, const Segment& s) { return t < s.startSeconds; });
    return *(after - 1);
}

}  // namespace render
