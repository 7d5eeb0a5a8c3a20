// A tiny VST 2.4 instrument standing in for the plug-in in tests of the render host: its
// outputs show when each note started and whether the host behaved.
#pragma once

#include <cmath>
#include <numbers>

#include "vst/VstAbi.h"

// Left output: a sine that starts at phase 0 on the latest held note, scaled by
// Gain x Sine Level x velocity/127. Right output: Gain x the sum of velocity/127 over held notes,
// so a test reads note timing sample by sample. When the host misbehaves (no resume, oversize
// block, wrong time info, a sample rate other than the one it gave at construction) both outputs
// carry kFakeFaultMarker for that block.
constexpr float kFakeFaultMarker = -1000.0f;
constexpr const char* kFakeEffectName = "FakeSynth";
constexpr const char* kFakeVendor = "Velkor Tests";
constexpr const char* kFakeProduct = "Fake Synth";
constexpr vst::intptr kFakeVendorVersion = 7;
constexpr int kFakeParamGain = 0;
constexpr int kFakeParamSineLevel = 1;
constexpr float kFakeProgramGains[] = {1.0f, 0.5f};  // Gain of programs 0 and 1

// Radians per sample of the sine for a MIDI key (equal temperament, A4 = key 69 = 440 Hz).
inline double fakeSinePhaseStep(int key, double sampleRate) {
    return 2.0 * std::numbers::pi * 440.0 * std::pow(2.0, (key - 69) / 12.0) / sampleRate;
}

vst::AEffect* createFakePlugin(vst::HostCallback host);
