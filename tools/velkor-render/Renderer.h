// Drives a loaded plug-in through an offline render as a DAW would: open and configure it, feed
// MIDI and pull audio block by block into a WAV file, then stop and close it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "params/ProgramRecord.h"
#include "velkor-render/PluginLoader.h"
#include "velkor-render/PngWriter.h"
#include "velkor-render/RenderHost.h"
#include "velkor-render/RenderSettings.h"
#include "velkor-render/Sequence.h"
#include "velkor-render/WavWriter.h"
#include "vst/VstAbi.h"

namespace render {

struct PluginInfo {
    std::string effectName;
    std::string vendor;
    std::string product;
    vst::intptr vendorVersion;
    int numParams;
    int numPrograms;
    int numInputs;
    int numOutputs;
};

struct ParameterView {
    int index;
    std::string name;
    std::string display;
    std::string label;
};

struct RenderStats {
    std::int64_t frames;         // written to the WAV
    std::int64_t contentFrames;  // before the tail
    double peak;                 // largest magnitude over both channels
    double rms;                  // over both channels
    double processSeconds;       // wall time inside processReplacing
    double audioSeconds;

    double realTimeFactor() const {
        return audioSeconds > 0.0 ? processSeconds / audioSeconds : 0.0;
    }
};

class Renderer {
public:
    static constexpr std::size_t kPresetChunkBytes = kProgramBytes;  // one program record
    static constexpr std::size_t kBankChunkBytes = kBankBytes;       // the whole program memory

    // Loads the plug-in, opens it, sets rate and block size, then loads bank or chunk, program
    // and parameters. Throws std::runtime_error on any failure (the plug-in is closed again).
    explicit Renderer(const RenderSettings& settings);
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    const PluginInfo& info() const { return info_; }
    std::vector<ParameterView> parameters() const;

    // The sequence's events, then the tail, written to out; the plug-in is resumed for the
    // render and suspended after it.
    RenderStats render(const Sequence& sequence, WavWriter& out);

    // Writes the bank chunk (effGetChunk) as raw bytes, the form --chunk-in reads back.
    void saveBankChunk(const std::string& path) const;

    // The plug-in's editor as it shows the current program, drawn without a window. Throws
    // std::runtime_error when the plug-in cannot draw it.
    Picture editorPicture() const;

private:
    vst::intptr dispatch(vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0,
                         void* ptr = nullptr, float opt = 0.0f) const;
    std::string dispatchString(vst::int32 opcode, vst::int32 index = 0) const;
    void configure();
    void loadState();
    void applyParams();
    void close();

    RenderSettings settings_;
    PluginLoader loader_;
    RenderHost host_;
    vst::AEffect* effect_ = nullptr;
    bool resumed_ = false;
    PluginInfo info_{};
};

}  // namespace render
