// Tempo along the render timeline: piecewise-constant beats per minute placed in seconds, giving
// the host's tempo and musical position (in quarter notes) at any moment.
#pragma once

#include <vector>

namespace render {

class TempoMap {
public:
    static constexpr double kDefaultBpm = 120.0;

    explicit TempoMap(double initialBpm = kDefaultBpm);

    // Changes arrive in time order; one at the time of the last change replaces it.
    void addChange(double seconds, double bpm);

    double bpmAt(double seconds) const;
    double quarterNotesAt(double seconds) const;

private:
    struct Segment {
        double startSeconds;
        double startQuarterNotes;
        double bpm;
    };

    const Segment& segmentAt(double seconds) const;

    std::vector<Segment> segments_;
};

}  // namespace render
