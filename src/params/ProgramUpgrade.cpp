#include "params/ProgramUpgrade.h"

#include <algorithm>
#include <cmath>

#include "params/ParameterLookups.h"
#include "params/ProgramMemory.h"

namespace {

constexpr int kVersion2200 = 2200;
constexpr int kVersion2300 = 2300;
constexpr int kVersion2400 = 2400;
constexpr float kVersionScale = 10000.0f;

// Parameter ids whose meaning or range changed between versions.
constexpr int kLfo1Target = 10;
constexpr int kLfo2Target = 21;
constexpr int kLfo3Target = 32;
constexpr int kEnv1Target = 104;
constexpr int kEnv2Target = 113;
constexpr int kOsc1Wave = 64;
constexpr int kOsc2Wave = 65;
constexpr int kSubOscWave = 73;
constexpr int kArpRate = 128;
constexpr int kSeqRate = 133;
constexpr int kLpfType = 82;
constexpr int kEchoLength = 168;
constexpr int kBendDepth = 184;

// x * scale + offset, the form every rescaled option list takes.
struct Rescale {
    int id;
    float scale;
    float offset;
};

struct Preset {
    int id;
    float value;
};

constexpr Rescale kBelow2200Rescales[] = {
    {kLfo1Target, 0.9444444f, 0.00055555557f}, {kLfo2Target, 0.9444444f, 0.00055555557f},
    {kLfo3Target, 0.9411765f, 0.00058823527f}, {kEnv1Target, 0.5833333f, 0.0008333333f},
    {kEnv2Target, 0.5833333f, 0.0008333333f},  {kOsc1Wave, 0.8f, 0.001f},
    {kOsc2Wave, 0.8f, 0.001f},                 {kArpRate, 0.5f, 0.50125f},
    {kSeqRate, 0.5f, 0.50125f},
};

// Chorus, pan tracking, EQ and the two half-rate switches arrived with 2200.
constexpr Preset kBelow2200Presets[] = {
    {186, 0.0f},     {187, 0.5f}, {188, 0.3f}, {189, 0.0f},      {190, 0.0f}, {191, 0.5f}, {192, 0.0f},
    {193, 0.5f},     {194, 0.0f}, {195, 0.0f}, {196, 0.00391f},  {197, 0.5f}, {198, 0.5f}, {199, 0.047898f},
    {200, 0.5f},     {201, 0.5f}, {202, 0.243401f}, {203, 0.5f}, {204, 0.5f}, {205, 0.0f}, {206, 0.0f},
};

// Saturation, echo dotting, the randomise buttons and Melt B arrived with 2300.
constexpr Preset kBelow2300Presets[] = {
    {208, 0.0f}, {210, 0.0f}, {211, 0.0f}, {212, 0.0f}, {213, 0.0f}, {214, 0.0f}, {215, 0.0f},
    {216, 0.0f}, {217, 0.0f}, {218, 0.0f}, {219, 0.0f}, {220, 0.0f}, {221, 0.0f}, {209, 1.0f / 3.0f},
    {222, 1.0f}, {223, 0.0f}, {224, 0.5345f}, {225, 0.5774f}, {226, 0.5f}, {227, 1.0f}, {228, 0.5f},
    {229, 0.0f}, {230, 1.0f},
};
constexpr Rescale kLpfTypeBelow2300 = {kLpfType, 0.375f, 0.00125f};

// MPE, noise tone, envelope shapes and the Melt cutoffs arrived with 2400.
constexpr Rescale kLpfTypeBelow2400 = {kLpfType, 0.8888889f, 0.0011111111f};
constexpr Preset kBelow2400Presets[] = {
    {232, 0.0f}, {233, 1.0f}, {234, 0.0f}, {235, 0.0f}, {236, 0.0f},
    {237, 0.0f}, {238, 0.0f}, {239, 0.5f}, {240, 0.5f}, {241, 0.5f},
};
constexpr Rescale kBelow2400WaveRescales[] = {
    {kOsc1Wave, 0.71428573f, 0.0007142857f},
    {kOsc2Wave, 0.71428573f, 0.0007142857f},
};
constexpr Rescale kSubOscBelow2400 = {kSubOscWave, 1.0f / 3.0f, 0.0016666666f};
// Section presets carried the sub-oscillator list in another length than whole programs did.
constexpr Rescale kSubOscSectionBelow2400 = {kSubOscWave, 0.4f, 0.002f};
constexpr Rescale kBendDepthBelow2410 = {kBendDepth, 0.23404256f, 0.00021276595f};

// Echo Length ran over 1..5 before 2300.
constexpr float kOldEchoLengthMin = 1.0f;
constexpr float kOldEchoLengthSpan = 4.0f;

float rescaled(const Rescale& rule, float x) { return x * rule.scale + rule.offset; }

float echoLengthFromOld(float x) {
    const ControlDescriptor* row = ParameterLookups::get().descriptor(kEchoLength);
    const float shown = kOldEchoLengthMin + kOldEchoLengthSpan * x;
    const float span = row->max - row->min;
    return span != 0.0f ? std::clamp((shown - row->min) / span, 0.0f, 1.0f) : 0.0f;
}

void apply(ProgramRecord& record, const Rescale& rule) {
    ProgramMemory::setValue(record, rule.id, rescaled(rule, ProgramMemory::value(record, rule.id)));
}

template <std::size_t N>
void applyAll(ProgramRecord& record, const Rescale (&rules)[N]) {
    for (const Rescale& rule : rules) {
        apply(record, rule);
    }
}

template <std::size_t N>
void setAll(ProgramRecord& record, const Preset (&presets)[N]) {
    for (const Preset& preset : presets) {
        ProgramMemory::setValue(record, preset.id, preset.value);
    }
}

}  // namespace

int ProgramUpgrade::versionOf(const ProgramRecord& record) {
    const float stored = ProgramMemory::value(record, kVersionParameter);
    if (!std::isfinite(stored)) {
        return 0;
    }
    const double version = std::round(static_cast<double>(stored) * kVersionScale);
    return static_cast<int>(std::clamp(version, 0.0, 1.0e6));
}

void ProgramUpgrade::upgradeProgram(ProgramRecord& record) {
    const int version = versionOf(record);
    if (version >= kCurrentVersion) {
        return;
    }
    if (version < kVersion2200) {
        applyAll(record, kBelow2200Rescales);
        setAll(record, kBelow2200Presets);
    }
    if (version < kVersion2300) {
        setAll(record, kBelow2300Presets);
        ProgramMemory::setValue(record, kEchoLength, echoLengthFromOld(ProgramMemory::value(record, kEchoLength)));
        apply(record, kLpfTypeBelow2300);
    }
    if (version < kVersion2400) {
        apply(record, kLpfTypeBelow2400);
        setAll(record, kBelow2400Presets);
        applyAll(record, kBelow2400WaveRescales);
        apply(record, kSubOscBelow2400);
    }
    apply(record, kBendDepthBelow2410);
    ProgramMemory::setValue(record, kVersionParameter, static_cast<float>(kCurrentVersion) / kVersionScale);
}

float ProgramUpgrade::convertSectionValue(int id, float value, int version) {
    if (version >= kCurrentVersion) {
        return value;
    }
    if (version < kVersion2300) {
        if (id == kLpfType) {
            value = rescaled(kLpfTypeBelow2300, value);
        } else if (id == kEchoLength) {
            value = echoLengthFromOld(value);
        }
    }
    if (version < kVersion2400) {
        if (id == kOsc1Wave || id == kOsc2Wave) {
            value = rescaled(kBelow2400WaveRescales[0], value);
        } else if (id == kSubOscWave) {
            value = rescaled(kSubOscSectionBelow2400, value);
        } else if (id == kLpfType) {
            value = rescaled(kLpfTypeBelow2400, value);
        }
    }
    return value;
}
