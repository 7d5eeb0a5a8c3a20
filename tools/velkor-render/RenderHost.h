// The host side of the VST 2.4 conversation for an offline render: answers the plug-in's
// callback (version, time, sample rate, block size, identity, capabilities) from the render's
// current position and tempo.
#pragma once

#include <cstdint>

#include "velkor-render/PluginLoader.h"
#include "velkor-render/TempoMap.h"
#include "vst/VstAbi.h"

namespace render {

class RenderHost {
public:
    static constexpr vst::intptr kHostVersion = 2400;
    static constexpr const char* kVendor = "Velkor";
    static constexpr const char* kProduct = "velkor-render";

    RenderHost(double sampleRate, int blockSize);

    // Calls the entry point with this host answering, also for calls made while the plug-in is
    // still being constructed (before its AEffect can point back at us).
    vst::AEffect* instantiate(const PluginLoader& loader);

    // The function handed to the plug-in; finds its RenderHost through AEffect::user.
    static vst::intptr callback(vst::AEffect* effect, vst::int32 opcode, vst::int32 index,
                                vst::intptr value, void* ptr, float opt);

    vst::intptr answer(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr,
                       float opt);

    void setTempoMap(const TempoMap& tempo) { tempo_ = tempo; }
    void setPosition(std::int64_t samplePos) { samplePos_ = samplePos; }
    void setPlaying(bool playing) { playing_ = playing; }

private:
    const vst::VstTimeInfo* timeInfo();

    double sampleRate_;
    int blockSize_;
    TempoMap tempo_;
    std::int64_t samplePos_ = 0;
    bool playing_ = false;
    vst::VstTimeInfo timeInfo_{};
};

}  // namespace render
