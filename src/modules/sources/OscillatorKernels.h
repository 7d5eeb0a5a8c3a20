// The sample loops of the wavetable oscillator, its phase format and its pitch-to-increment
// lookup. One loop per combination of pulse, moving phase modulation, moving ratio and per-sample
// pitch, so that no loop tests a mode.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "engine/RateTables.h"
#include "engine/SharedSynthTables.h"
#include "modules/sources/SampleGuard.h"

namespace oscillator_kernels {

// The phase is a 32-bit fraction of a cycle, so it wraps by itself and adds up exactly: the
// same increments give the same phase however a block is cut into stretches.
using Phase = std::uint32_t;
constexpr float kPhaseUnitsPerCycle = 4294967296.0f;  // 2^32
constexpr int kTableBits = 11;                        // 2048 points per period; one guard point follows
constexpr int kFractionBits = 32 - kTableBits;
constexpr Phase kFractionMask = (Phase{1} << kFractionBits) - 1;
constexpr float kFractionScale = 1.0f / static_cast<float>(Phase{1} << kFractionBits);
static_assert((1 << kTableBits) == SharedSynthTables::kSinePoints);
// Cycles are clipped here before the conversion; only their fraction matters.
constexpr float kCycleLimit = 1073741824.0f;  // 2^30

// Exponential table position of pitch p: (p + 3) * 2560; the octave index is position / 256.
constexpr float kExpPitchOffset = 3.0f;
constexpr float kExpHighestPosition =
    static_cast<float>(RateTables::kOctaveCount * RateTables::kFineSteps - 1);

// Phase increment per sample (cycles) of pitch p at 13.75 * 2^(10 p) Hz, read from the fine
// table with linear interpolation and scaled by the octave table.
inline float incrementAt(const RateTables& rates, float pitch) {
    float position = (pitch + kExpPitchOffset) * rates.expStepsPerUnit;
    position = position > 0.0f ? position : 0.0f;  // NaN lands here too
    position = position < kExpHighestPosition ? position : kExpHighestPosition;
    const auto step = static_cast<unsigned>(static_cast<int>(position));
    const float fraction = position - static_cast<float>(step);
    const InterpolationPair& fine = rates.fineIncrement[step % RateTables::kFineSteps];
    return (fine.value + fraction * fine.difference) * rates.octaveScale[step / RateTables::kFineSteps];
}

// Any number of cycles, even NaN or infinite, as a phase: its fraction of a cycle.
inline Phase toPhase(float cycles) {
    cycles = cycles > -kCycleLimit ? cycles : -kCycleLimit;  // NaN lands here too
    cycles = cycles < kCycleLimit ? cycles : kCycleLimit;
    return static_cast<Phase>(static_cast<std::int64_t>(cycles * kPhaseUnitsPerCycle));
}

// One period of 2048 points plus a guard point, read at a phase with linear interpolation.
inline float tableValue(const float* table, Phase phase) {
    const Phase i = phase >> kFractionBits;
    const float fraction = static_cast<float>(phase & kFractionMask) * kFractionScale;
    return table[i] + fraction * (table[i + 1] - table[i]);
}

// What one oscillator reads and writes over a stretch; positions index every buffer alike.
struct KernelArgs {
    const float* table;
    float* out;
    const float* level;
    const float* ratio;
    float ratioStill;  // the ratio for the whole stretch while it is still
    const float* phaseMod;
    float phaseModStill;
    const float* width;
    const float* steps;  // per-sample increments in cycles (already times 10 and the drift)
    float step;          // the increment for the whole stretch while the pitch is still
};

// Renders samples from .. from + n - 1 and returns the phase after them.
template <bool Pulse, bool PhaseModMoving, bool RatioMoving, bool PerSampleStep>
Phase renderKernel(const KernelArgs& args, int from, int n, Phase phase) {
    const float* table = args.table;
    float* out = args.out;
    const float* level = args.level;
    const Phase stillPhaseMod = toPhase(args.phaseModStill);
    const Phase stillStep = toPhase(args.step * args.ratioStill);
    const int end = from + n;
    for (int s = from; s < end; ++s) {
        Phase at = phase + stillPhaseMod;
        if constexpr (PhaseModMoving) {
            at = phase + toPhase(args.phaseMod[s]);
        }
        float value = tableValue(table, at);
        if constexpr (Pulse) {
            // Two readings of a saw a width apart differ by a pulse with no DC.
            value = tableValue(table, at + toPhase(args.width[s])) - value;
        }
        out[s] = sample_guard::bounded(value * level[s]);
        if constexpr (PerSampleStep || RatioMoving) {
            float step = args.step;
            if constexpr (PerSampleStep) {
                step = args.steps[s];
            }
            float ratio = args.ratioStill;
            if constexpr (RatioMoving) {
                ratio = args.ratio[s];
            }
            phase += toPhase(step * ratio);
        } else {
            phase += stillStep;
        }
    }
    return phase;
}

using Kernel = Phase (*)(const KernelArgs&, int, int, Phase);

// Variant index: 4 for a pulse, 2 for moving phase modulation, 1 for a moving ratio.
constexpr int kPulseVariant = 4;
constexpr int kPhaseModVariant = 2;
constexpr int kRatioVariant = 1;
constexpr int kVariants = 8;

template <bool PerSampleStep, std::size_t... Variant>
constexpr std::array<Kernel, kVariants> makeKernels(std::index_sequence<Variant...>) {
    return {&renderKernel<(Variant & kPulseVariant) != 0, (Variant & kPhaseModVariant) != 0,
                          (Variant & kRatioVariant) != 0, PerSampleStep>...};
}

template <bool PerSampleStep>
constexpr std::array<Kernel, kVariants> kKernels = makeKernels<PerSampleStep>(std::make_index_sequence<kVariants>{});

}  // namespace oscillator_kernels
