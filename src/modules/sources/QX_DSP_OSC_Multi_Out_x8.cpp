#include "modules/sources/QX_DSP_OSC_Multi_Out_x8.h"

#include <algorithm>
#include <cmath>

#include "engine/QX_EngineHost.h"
#include "engine/SharedSynthTables.h"
#include "modules/sources/OscillatorKernels.h"

using namespace oscillator_kernels;

namespace {

// Harmonic count by "Osc Harmonics" option index. The options labelled 512 and 1024 give 256
// and 512; the last entry is selected by no option and is the count before the first event.
constexpr int kHarmonicOptions[] = {
    1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14,  15,  16,  17,  18,  19,   20,
    21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 48, 64, 96, 128, 256, 512, 1024,
};
constexpr int kHarmonicOptionCount = static_cast<int>(std::size(kHarmonicOptions));
constexpr int kAllHarmonics = kHarmonicOptions[kHarmonicOptionCount - 1];
static_assert(kAllHarmonics == SharedSynthTables::kHarmonics);

// Every harmonic stays below 20 kHz at 44.1 kHz and above; lower rates keep the same fraction of
// the rate, so no harmonic folds back below their Nyquist frequency either.
constexpr float kHarmonicCeilingHz = 20000.0f;
constexpr float kCeilingReferenceRate = 44100.0f;

// Pitch table position of pitch p: 10 steps per semitone, 3600 at 13.75 Hz.
constexpr float kPitchTableStepsPerUnit = 1200.0f;
constexpr float kPitchTableZero = 3600.0f;
constexpr float kPitchTableLast = static_cast<float>(SharedSynthTables::kPitchTableSize - 1);

// The ratio input is a tenth of the frequency factor; pitch increments are stored at ratio 0.1.
constexpr float kRatioScale = 10.0f;
constexpr float kRatioUnit = 0.1f;
constexpr float kDriftScale = 10.0f;  // drift input to frequency spread
constexpr float kDriftLimit = 1.0f;   // spreads beyond +-50 % are hostile values
constexpr int kDriftSeconds = 4;
constexpr float kDrawScale = 1.0f / 4294967296.0f;  // a signed 32-bit draw to [-0.5, 0.5)
constexpr std::uint32_t kDriftSeedA = 0xD74A3516u;
constexpr std::uint32_t kDriftSeedB = 0xE9B820CFu;
constexpr int kNoGrid = 1 << 24;  // a grid spacing no stretch reaches

}  // namespace

void QX_DSP_OSC_Multi_Out_x8::DriftSource::reset() {
    a = kDriftSeedA;
    b = kDriftSeedB;
}

std::int32_t QX_DSP_OSC_Multi_Out_x8::DriftSource::draw() {
    a ^= b;
    b += a;
    return static_cast<std::int32_t>(b);
}

QX_DSP_OSC_Multi_Out_x8::QX_DSP_OSC_Multi_Out_x8(QX_EngineHost* owner, bool asleep)
    : QX_ModuleBase(owner, asleep),
      tables_(owner->synthTables()),
      scratch_(static_cast<std::size_t>(blockLength + kModuleBufferSpare + kModuleBufferSpare), 0.0f) {
    std::fill(std::begin(signals_), std::end(signals_), host->silence);
    for (int k = 0; k < kOscillators; ++k) {
        makeOutput(k);
        oscillators_[k].harmonics = kAllHarmonics;
    }
    ownDrift_.reset();
}

void QX_DSP_OSC_Multi_Out_x8::setInput(int pin, const float* source) {
    QX_ModuleBase::setInput(pin, source);
    if (pin < 0 || pin >= kModulePins) {
        return;
    }
    // Signal inputs are read as buffers; a parameter or constant bound here would be one float.
    signals_[pin] = source != nullptr && inputSources[pin] != nullptr ? source : host->silence;
}

void QX_DSP_OSC_Multi_Out_x8::prepare() {
    for (Oscillator& osc : oscillators_) {
        osc.phase = 0;
        osc.wave = SharedSynthTables::kSineWave;
        osc.harmonics = kAllHarmonics;
        osc.ratioMoving = 0;
        osc.phaseModMoving = 0;
    }
    pitchMoving_ = 0;
    recompute_ = -1;
    driftAmount_ = 0.0f;
    driftFactor_ = 1.0f;
    driftStep_ = 0.0f;
    driftCountdown_ = 0;
    driftPeriod_ = std::max(1, host->sampleRateInt * kDriftSeconds / std::max(1, blockLength));
    harmonicCeilingHz_ =
        kHarmonicCeilingHz * std::min(1.0f, static_cast<float>(host->sampleRateInt) / kCeilingReferenceRate);
    syncOn_ = 0;
    syncMoving_ = 0;
    lastSync_ = 0.0f;
    retrigger_ = 0;
    count_ = kOscillators;
    active_ = 1;

    // The first oscillator of the engine holds the drift words for all of them.
    drift_ = &ownDrift_;
    for (int i = 0; i < host->moduleCount; ++i) {
        if (auto* first = dynamic_cast<QX_DSP_OSC_Multi_Out_x8*>(host->modules[i])) {
            drift_ = &first->ownDrift_;
            break;
        }
    }
    drift_->reset();
    chooseRender();
}

void QX_DSP_OSC_Multi_Out_x8::resumeHook() {
    for (Oscillator& osc : oscillators_) {
        osc.phase = 0;
    }
}

void QX_DSP_OSC_Multi_Out_x8::handleEvent(const Event& event, int pos) {
    switch (event.pin) {
        case kPinPitch:
            pitchMoving_ = event.kind != kEventStill ? 1 : 0;
            recompute_ = pitchMoving_ != 0 ? 1 : -1;
            break;
        case kPinGate:
            if (retrigger_ != 0 && event.ivalue != 0) {
                for (Oscillator& osc : oscillators_) {
                    osc.phase = 0;
                }
            }
            break;
        case kPinSyncSource:
            syncMoving_ = event.kind != kEventStill ? 1 : 0;
            break;
        case kPinCount:
            if (event.ivalue >= 0 && event.ivalue <= kOscillators) {
                count_ = event.ivalue;
            }
            break;
        case kPinActive:
            active_ = event.ivalue;
            break;
        case kPinDrift:
            setDrift(event.fvalue);
            break;
        case kPinSyncOn:
            syncOn_ = event.ivalue != 0 ? 1 : 0;
            break;
        case kPinRetrigger:
            retrigger_ = event.ivalue != 0 ? 1 : 0;
            break;
        default:
            handleOscillatorEvent(event, pos);
            break;
    }
    chooseRender();
}

void QX_DSP_OSC_Multi_Out_x8::handleOscillatorEvent(const Event& event, int pos) {
    const int pin = event.pin;
    const bool moving = event.kind != kEventStill;
    const auto inGroup = [pin](int first) { return pin >= first && pin < first + kOscillators; };
    if (inGroup(kPinWave)) {
        // Waves without a table of their own read the sine table.
        if (event.ivalue >= 0 && event.ivalue < SharedSynthTables::kWaveSlots) {
            oscillators_[pin - kPinWave].wave = event.ivalue;
        }
    } else if (inGroup(kPinHarmonics)) {
        if (event.ivalue >= 0 && event.ivalue < kHarmonicOptionCount) {
            oscillators_[pin - kPinHarmonics].harmonics = kHarmonicOptions[event.ivalue];
        }
    } else if (inGroup(kPinLevel)) {
        oscillators_[pin - kPinLevel].levelOn = moving ? 1.0f : signals_[pin][pos];
    } else if (inGroup(kPinRatio)) {
        oscillators_[pin - kPinRatio].ratioMoving = moving ? 1 : 0;
    } else if (inGroup(kPinPhaseMod)) {
        oscillators_[pin - kPinPhaseMod].phaseModMoving = moving ? 1 : 0;
    }
}

void QX_DSP_OSC_Multi_Out_x8::setDrift(float amount) {
    const float spread = amount * kDriftScale;
    driftAmount_ = std::isfinite(spread) ? std::clamp(spread, -kDriftLimit, kDriftLimit) : 0.0f;
    driftCountdown_ = 0;
    if (driftAmount_ == 0.0f) {
        driftFactor_ = 1.0f;
        driftStep_ = 0.0f;
    }
}

void QX_DSP_OSC_Multi_Out_x8::chooseRender() {
    if (active_ == 0) {
        useRender(&QX_DSP_OSC_Multi_Out_x8::renderSilenced);
        return;
    }
    const bool sync = syncOn_ != 0 && syncMoving_ != 0;
    if (pitchMoving_ != 0) {
        useRender(sync ? &QX_DSP_OSC_Multi_Out_x8::renderOscillators<true, true>
                       : &QX_DSP_OSC_Multi_Out_x8::renderOscillators<true, false>);
    } else {
        useRender(sync ? &QX_DSP_OSC_Multi_Out_x8::renderOscillators<false, true>
                       : &QX_DSP_OSC_Multi_Out_x8::renderOscillators<false, false>);
    }
}

// Every drift period each oscillator starts a linear glide of its frequency factor towards a new
// random target within +-driftAmount/2 of 1.
void QX_DSP_OSC_Multi_Out_x8::stepDrift() {
    --driftCountdown_;
    if (driftCountdown_ < 0) {
        const float value = static_cast<float>(drift_->draw()) * kDrawScale;
        driftStep_ = (1.0f + driftAmount_ * value - driftFactor_) / static_cast<float>(driftPeriod_);
        driftCountdown_ = driftPeriod_;
    }
    driftFactor_ += driftStep_;
}

bool QX_DSP_OSC_Multi_Out_x8::silence(int k, int pos, int count) {
    Oscillator& osc = oscillators_[k];
    if (osc.outputOn != 0) {
        osc.outputOn = 0;
        sendEvent(localTime, k, kEventStill, 0, 0.0f, nullptr);
    }
    if (osc.clearCountdown <= 0) {
        return false;
    }
    std::fill_n(outputs[k] + pos, count, 0.0f);
    osc.clearCountdown -= count;
    return true;
}

void QX_DSP_OSC_Multi_Out_x8::announceOn(int k) {
    Oscillator& osc = oscillators_[k];
    if (osc.outputOn == 1) {
        return;
    }
    osc.outputOn = 1;
    osc.clearCountdown = blockLength;
    sendEvent(localTime, k, kEventMoving, 0, 0.0f, nullptr);
}

void QX_DSP_OSC_Multi_Out_x8::renderSilenced(int pos, int count) {
    bool wrote = false;
    for (int k = 0; k < kOscillators; ++k) {
        wrote = silence(k, pos, count) || wrote;
    }
    if (!wrote) {
        setIdle();
    }
}

// Keeps every harmonic of the fundamental (pitch and ratio at one sample) under the ceiling.
int QX_DSP_OSC_Multi_Out_x8::harmonicCount(const Oscillator& osc, float pitch, float ratio) const {
    float index = pitch * kPitchTableStepsPerUnit + kPitchTableZero;
    index = index > 0.0f ? index : 0.0f;
    index = index < kPitchTableLast ? index : kPitchTableLast;
    const float fundamentalHz = std::fabs(ratio) * kRatioScale * tables_->pitchTable[static_cast<int>(index)];
    float limit = harmonicCeilingHz_ / fundamentalHz;
    limit = limit < static_cast<float>(kAllHarmonics) ? limit : static_cast<float>(kAllHarmonics);
    limit = limit > 0.0f ? limit : 0.0f;
    const int limitCount = static_cast<int>(limit);
    return osc.harmonics < limitCount ? osc.harmonics : std::max(limitCount, 1);
}

const float* QX_DSP_OSC_Multi_Out_x8::tableRow(int wave, int harmonics) const {
    const float* table = wave == SharedSynthTables::kSineWave ? nullptr : tables_->waveTables[wave];
    if (table == nullptr) {
        return tables_->sineTable;
    }
    return table + static_cast<std::ptrdiff_t>(harmonics - 1) * SharedSynthTables::kRowStride;
}

// The sync sample before position i: from the ring, which holds it even when this module sat
// idle; before position 0, the end of the last ring pass in which an oscillator played.
float QX_DSP_OSC_Multi_Out_x8::syncBefore(int i) const {
    return i > 0 ? signals_[kPinSyncSource][i - 1] : lastSync_;
}

// The first rising zero crossing at or after `from`: s[i - 1] <= 0 < s[i].
int QX_DSP_OSC_Multi_Out_x8::nextCrossing(int from, int end) const {
    const float* sync = signals_[kPinSyncSource];
    float before = syncBefore(from);
    for (int i = from; i < end; ++i) {
        if (before <= 0.0f && sync[i] > 0.0f) {
            return i;
        }
        before = sync[i];
    }
    return end;
}

// The phase at a crossing sample: the part of the sample after the crossing, in cycles.
Phase QX_DSP_OSC_Multi_Out_x8::crossingPhase(int i, float increment) const {
    const float* sync = signals_[kPinSyncSource];
    const float before = syncBefore(i);
    float afterCrossing = sync[i] / (sync[i] - before);
    afterCrossing = afterCrossing > 0.0f ? afterCrossing : 0.0f;  // NaN lands here too
    afterCrossing = afterCrossing < 1.0f ? afterCrossing : 1.0f;
    return toPhase(afterCrossing * increment);
}

template <bool PerSamplePitch, bool Sync>
void QX_DSP_OSC_Multi_Out_x8::renderOscillators(int pos, int count) {
    if (pos == 0 && driftAmount_ != 0.0f) {
        stepDrift();
    }
    const float* pitch = signals_[kPinPitch];
    const int end = pos + count;
    KernelArgs args{};
    if constexpr (PerSamplePitch) {
        const RateTables& rates = host->rates;
        const float scale = kRatioScale * driftFactor_;
        float* steps = scratch_.data();
        for (int s = pos; s < end; ++s) {
            steps[s] = incrementAt(rates, pitch[s]) * scale;
        }
        args.steps = steps;
    } else {
        if (recompute_ != 0) {
            increment_ = incrementAt(host->rates, pitch[pos]);
            syncIncrement_ = static_cast<float>(increment_);
            recompute_ = recompute_ < 0 ? 0 : recompute_;
        }
        args.step = static_cast<float>(increment_ * kRatioScale * driftFactor_);
    }
    args.width = signals_[kPinWidth];

    bool wrote = false;
    bool played = false;
    for (int k = 0; k < kOscillators; ++k) {
        Oscillator& osc = oscillators_[k];
        if (k >= count_ || osc.levelOn == 0.0f) {
            wrote = silence(k, pos, count) || wrote;
            continue;
        }
        announceOn(k);
        played = true;

        const float* ratio = signals_[kPinRatio + k];
        args.out = outputs[k];
        args.level = signals_[kPinLevel + k];
        args.ratio = ratio;
        args.ratioStill = ratio[pos];
        args.phaseMod = signals_[kPinPhaseMod + k];
        args.phaseModStill = args.phaseMod[pos];
        const int variant = (osc.wave == SharedSynthTables::kPulseWave ? kPulseVariant : 0) |
                            (osc.phaseModMoving != 0 ? kPhaseModVariant : 0) |
                            (osc.ratioMoving != 0 ? kRatioVariant : 0);
        const Kernel kernel = kKernels<PerSamplePitch>[static_cast<std::size_t>(variant)];

        const bool tracking = pitchMoving_ != 0 || osc.ratioMoving != 0;
        const int grid = tracking ? kHarmonicGrid : kNoGrid;
        int harmonicsAt = tracking ? pos - pos % kHarmonicGrid : pos;
        int nextGrid = tracking ? harmonicsAt + kHarmonicGrid : kNoGrid;
        int crossing = Sync ? nextCrossing(pos, end) : end;
        Phase phase = osc.phase;
        int s = pos;
        while (s < end) {
            if (s == crossing) {
                // With a moving pitch the increment of the crossing sample itself, so that the
                // result does not depend on where the stretch ends.
                const float increment = PerSamplePitch ? scratch_[s] * kRatioUnit : syncIncrement_;
                phase = crossingPhase(s, increment);
                crossing = nextCrossing(s + 1, end);
            }
            if (s == nextGrid) {
                harmonicsAt = s;
                nextGrid = s + grid;
            }
            if (s == pos || s == harmonicsAt) {
                args.table = tableRow(osc.wave, harmonicCount(osc, pitch[harmonicsAt], ratio[harmonicsAt]));
            }
            const int stop = std::min({crossing, nextGrid, end});
            phase = kernel(args, s, stop - s, phase);
            s = stop;
        }
        osc.phase = phase;
    }
    if (played && end == blockLength) {
        lastSync_ = signals_[kPinSyncSource][end - 1];
    }
    if (!played && !wrote) {
        setIdle();
    }
}
