// How one render is set up: the plug-in, the audio format, the tail and the state loaded into
// the plug-in before it plays.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "velkor-render/BlockEventQueue.h"

namespace render {

struct ParamAssignment {
    std::string name;  // as the plug-in reports it through effGetParamName
    double value;      // normalised 0..1
};

struct RenderSettings {
    static constexpr int kDefaultSampleRate = 44100;
    static constexpr int kDefaultBlockSize = 512;
    static constexpr double kDefaultTailSeconds = 2.0;

    std::string pluginPath;
    int sampleRate = kDefaultSampleRate;
    int blockSize = kDefaultBlockSize;
    double tailSeconds = kDefaultTailSeconds;
    std::string bankPath;     // "VLKR" bank file
    std::string chunkInPath;  // raw chunk as effGetChunk gives it
    std::optional<int> program;
    std::vector<ParamAssignment> params;  // applied in order, after chunk and program
    int eventCapacity = BlockEventQueue::kDefaultCapacity;
};

}  // namespace render
