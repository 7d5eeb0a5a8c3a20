// One plug-in instance driven through its AEffect record only: dispatcher calls, parameters,
// chunks, MIDI and rendering, the way a host drives it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "PluginLibrary.h"

class PluginInstance {
public:
    // The version a VST 2.4 host reports; 0 makes the plug-in refuse to start.
    static constexpr vst::intptr kHostVersion = 2400;

    // Calls the entry point with a host callback that answers `hostVersion` to audioMasterVersion.
    PluginInstance(PluginLibrary::EntryPoint entry, vst::intptr hostVersion = kHostVersion);
    ~PluginInstance();
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    vst::AEffect* effect() const { return effect_; }
    vst::intptr dispatch(vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0, void* ptr = nullptr,
                         float opt = 0.0f);
    // The text a string opcode writes (name, vendor, program name ...).
    std::string text(vst::int32 opcode, vst::int32 index = 0);
    // The index whose effGetParamName is `name`; -1 when none is.
    int parameterIndex(const std::string& name);
    void setParameter(int index, float value);
    float parameter(int index);

    // The bank (every program) or the current program, copied out of the plug-in.
    std::vector<std::uint8_t> chunk(bool program);
    // Takes a copy: the plug-in receives a writable pointer, as from a host.
    vst::intptr setChunk(std::vector<std::uint8_t> bytes, bool program);

    void start(float sampleRate, int blockSize);
    // Sent with the next rendered block, at its first frame.
    void midi(std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
    // Appends `frames` frames of stereo output.
    void render(int frames, std::vector<float>& left, std::vector<float>& right);

    // effClose: the plug-in's answer; the instance is gone afterwards.
    vst::intptr close();

private:
    vst::AEffect* effect_;
    int blockSize_ = 0;
    std::vector<vst::VstMidiEvent> pending_;
};
