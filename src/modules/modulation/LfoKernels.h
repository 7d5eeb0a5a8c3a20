// The sample loops of the LFO: its phase format, the seventeen wave shapes and one loop per shape,
// offset kind and increment kind, so that no loop tests a mode.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "engine/RateTables.h"
#include "modules/sources/SampleGuard.h"

namespace lfo_kernels {

// The phase is a 64-bit fraction of a cycle: it wraps by itself, an offset added and taken away
// again leaves it exactly as it was, and the same increments give the same phase however a block
// is cut into stretches.
using Phase = std::uint64_t;
constexpr double kHalfCycleUnits = 9223372036854775808.0;  // 2^63
constexpr Phase kHalfCycle = Phase{1} << 63;
// Cycle counts at or beyond this (and NaN) are hostile values and count as 0.
constexpr double kCycleLimit = 1073741824.0;  // 2^30

// Any number of cycles as a phase: its fraction of a cycle.
inline Phase toPhase(double cycles) {
    cycles = std::abs(cycles) < kCycleLimit ? cycles : 0.0;
    const double fraction = cycles - std::floor(cycles);  // 0..1; 1 only for tiny negatives
    return static_cast<Phase>(fraction * kHalfCycleUnits) << 1;
}

// Where a phase lies in the cycle, 0..1 in steps of 2^-24.
constexpr float kTopBitsScale = 1.0f / 16777216.0f;
inline float cyclePosition(Phase p) { return static_cast<float>(p >> 40) * kTopBitsScale; }

enum Shape : int {
    kSine,
    kTriangle,
    kPulse,
    kSaw1,
    kSaw2,
    kSaw3,
    kRamp1,
    kRamp2,
    kRamp3,
    kPeak,
    kDip,
    kRandom,
    kHump,
    kWidthPulse,
    kSquare,
    kStepSine,
    kTrap,
    kShapeCount
};

// Sixteen points per cycle and the wrap point, read with linear interpolation at 16p.
using PointTable = std::array<float, 17>;
constexpr float kSixth = 1.0f / 6.0f;
constexpr float kThird = 1.0f / 3.0f;
constexpr PointTable kPulsePoints = {0.5f,  0.5f,  0.5f,  0.5f,  0.5f,  0.5f,  0.5f,  0.5f, -0.5f,
                                     -0.5f, -0.5f, -0.5f, -0.5f, -0.5f, -0.5f, -0.5f, 0.5f};
constexpr PointTable kStepSinePoints = {0.0f,   kSixth, kThird, 0.5f,   0.5f,    0.5f,    kThird,  kSixth, 0.0f,
                                        -kSixth, -kThird, -0.5f, -0.5f, -0.5f, -kThird, -kSixth, 0.0f};
constexpr PointTable kTrapPoints = {0.0f,   0.25f, 0.5f,  0.5f,  0.5f,  0.5f,  0.5f,   0.25f, 0.0f,
                                    -0.25f, -0.5f, -0.5f, -0.5f, -0.5f, -0.5f, -0.25f, 0.0f};

inline float pointValue(const PointTable& points, Phase p) {
    const auto i = static_cast<std::size_t>(p >> 60);
    const float fraction = static_cast<float>((p >> 36) & 0xFFFFFF) * kTopBitsScale;
    return points[i] + fraction * (points[i + 1] - points[i]);
}

inline float sineValue(const InterpolationPair* sine, Phase p) {
    const InterpolationPair& point = sine[p >> 55];  // 512 points per cycle
    const float fraction = static_cast<float>((p >> 31) & 0xFFFFFF) * kTopBitsScale;
    return point.value + fraction * point.difference;
}

// -0.5 at p = 0 rising to 0.5 at p = 0.5 and falling back.
inline float triangleValue(Phase p) {
    const float rise = cyclePosition(p << 1);
    return p < kHalfCycle ? rise - 0.5f : 0.5f - rise;
}

// What one LFO reads and writes over a stretch; positions index every buffer alike.
struct KernelArgs {
    const InterpolationPair* sine;  // the 512-point sine with its differences
    float* out;                     // holds the per-sample increments (cycles) on entry when they are used
    const float* amount;
    const float* offset;  // cycles, read per sample while the offset moves
    Phase offsetStill;    // the offset for the whole stretch while it holds still
    float widthStill;     // |offset|: the width of the offset-width pulse while the offset holds still
    Phase step;           // the increment for the whole stretch
};

// The running phase without the offset, and the Random shape's held value and generator words.
struct State {
    Phase phase;
    float randomValue;
    std::uint32_t s1;
    std::uint32_t s2;
};

constexpr float kRandomScale = 1.0f / 8589934592.0f;  // a signed 32-bit word to +-0.25: 2^-33

template <int S>
inline float shapeValue(const KernelArgs& args, Phase p, float width, float randomValue) {
    const float x = cyclePosition(p);
    if constexpr (S == kSine) {
        return sineValue(args.sine, p);
    } else if constexpr (S == kTriangle) {
        return triangleValue(p);
    } else if constexpr (S == kPulse) {
        return pointValue(kPulsePoints, p);
    } else if constexpr (S == kSaw1) {
        return x - 0.5f;
    } else if constexpr (S == kSaw2) {
        return x * x - 0.5f;
    } else if constexpr (S == kSaw3) {
        const float x2 = x * x;
        return x2 * x2 - 0.5f;
    } else if constexpr (S == kRamp1) {
        return 0.5f - x;
    } else if constexpr (S == kRamp2) {
        const float r = 1.0f - x;
        return r * r - 0.5f;
    } else if constexpr (S == kRamp3) {
        const float r = 1.0f - x;
        const float r2 = r * r;
        return r2 * r2 - 0.5f;
    } else if constexpr (S == kPeak) {
        const float t = triangleValue(p);
        return t * std::abs(t);
    } else if constexpr (S == kDip) {
        const float q = 2.0f * (x - 0.5f);
        return q * q - 0.5f;
    } else if constexpr (S == kRandom) {
        return randomValue;
    } else if constexpr (S == kHump) {
        const float q = 2.0f * (x - 0.5f);
        return 0.5f - q * q;
    } else if constexpr (S == kWidthPulse) {
        return x < width ? 0.5f : -0.5f;
    } else if constexpr (S == kSquare) {
        return p < kHalfCycle ? 0.5f : -0.5f;
    } else if constexpr (S == kStepSine) {
        return pointValue(kStepSinePoints, p);
    } else {
        static_assert(S == kTrap);
        return pointValue(kTrapPoints, p);
    }
}

// Renders samples from .. from + n - 1 and returns the state after them. The Random shape draws a
// new value when the increment carries the offset phase across the end of a cycle (in either
// direction), so the new value starts on the first sample of the next cycle.
template <int S, bool MovingOffset, bool PerSampleStep>
State renderKernel(const KernelArgs& args, int from, int n, State state) {
    float* out = args.out;
    const float* amount = args.amount;
    Phase phase = state.phase;
    float randomValue = state.randomValue;
    std::uint32_t s1 = state.s1;
    std::uint32_t s2 = state.s2;
    const int end = from + n;
    for (int i = from; i < end; ++i) {
        Phase offset = args.offsetStill;
        float width = args.widthStill;
        if constexpr (MovingOffset) {
            offset = toPhase(args.offset[i]);
            width = std::abs(args.offset[i]);
        }
        Phase step = args.step;
        if constexpr (PerSampleStep) {
            step = toPhase(out[i]);
        }
        const Phase p = phase + offset;
        out[i] = sample_guard::bounded(shapeValue<S>(args, p, width, randomValue) * amount[i]);
        if constexpr (S == kRandom) {
            const Phase next = p + step;
            if ((next < p) != (step >= kHalfCycle)) {
                s2 ^= s1;
                s1 += s2;
                randomValue = static_cast<float>(static_cast<std::int32_t>(s1)) * kRandomScale;
            }
        }
        phase += step;
    }
    return {phase, randomValue, s1, s2};
}

using Kernel = State (*)(const KernelArgs&, int, int, State);

// Kernel index: shape * 4 + 2 for a moving offset + 1 for per-sample increments.
constexpr int kMovingOffsetVariant = 2;
constexpr int kPerSampleVariant = 1;
constexpr int kVariantsPerShape = 4;

template <std::size_t... I>
constexpr std::array<Kernel, sizeof...(I)> makeKernels(std::index_sequence<I...>) {
    return {&renderKernel<static_cast<int>(I / kVariantsPerShape), (I & kMovingOffsetVariant) != 0,
                          (I & kPerSampleVariant) != 0>...};
}

constexpr std::array<Kernel, kShapeCount * kVariantsPerShape> kKernels =
    makeKernels(std::make_index_sequence<kShapeCount * kVariantsPerShape>{});

}  // namespace lfo_kernels
