// Per-sample building blocks shared by the level, mix and pan modules: an input read as one still
// value or as a moving buffer, the output guard, gain shaping, the crossfade laws and routine tables.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>

namespace mix_kernels {

// Far above any signal or control value of the instrument, and small enough that products of a few
// guarded values stay finite.
constexpr float kSignalLimit = 1.0e9f;

// NaN becomes 0 and anything beyond the limit is held at it, so no output carries NaN or Inf. Values
// inside the limit pass bit for bit. Written as compare-and-select so that it maps to SIMD min/max.
inline float guard(float x) {
    x = x == x ? x : 0.0f;
    x = x > -kSignalLimit ? x : -kSignalLimit;
    return x < kSignalLimit ? x : kSignalLimit;
}

// The guarded value, and with Clamp held inside lo..hi (hi wins when lo > hi).
template <bool Clamp>
inline float limited(float x, float lo, float hi) {
    x = guard(x);
    if constexpr (Clamp) {
        x = x > lo ? x : lo;
        x = x < hi ? x : hi;
    }
    return x;
}

template <bool Square>
inline float shaped(float gain) {
    if constexpr (Square) {
        return gain * gain;
    } else {
        return gain;
    }
}

// An input over one stretch: a moving buffer read per sample, or one still value. Code written
// against operands compiles to a loop with the still values as loop constants.
template <bool Moving>
struct Operand {
    const float* buffer;
    float operator[](int t) const { return buffer[t]; }
};

template <>
struct Operand<false> {
    float value;
    float operator[](int) const { return value; }
};

template <bool Moving>
Operand<Moving> operand(const float* buffer, float still) {
    if constexpr (Moving) {
        return {buffer};
    } else {
        return {still};
    }
}

// A gain that is squared or not: shaped once per stretch when still, per sample when moving.
template <bool Moving, bool Square>
struct ShapedGain {
    const float* buffer;
    float operator[](int t) const { return shaped<Square>(buffer[t]); }
};

template <bool Square>
struct ShapedGain<false, Square> {
    float value;
    float operator[](int) const { return value; }
};

template <bool Moving, bool Square>
ShapedGain<Moving, Square> shapedGain(const float* buffer, float still) {
    if constexpr (Moving) {
        return {buffer};
    } else {
        return {shaped<Square>(still)};
    }
}

template <unsigned Mask, unsigned Bit>
constexpr bool kMoves = ((Mask >> Bit) & 1u) != 0;

// Weights of A and B for a position t from 0 (all A) to 1 (all B). Law 0 is linear; law 1 is
// (1 - t)(1 + t) and t(2 - t), which meet at 0.75 in the centre.
template <unsigned Law>
inline void crossfadeWeights(float t, float& a, float& b) {
    if constexpr (Law == 0) {
        a = 1.0f - t;
        b = t;
    } else {
        a = (1.0f - t) * (1.0f + t);
        b = t * (2.0f - t);
    }
}

inline void crossfadeWeights(unsigned law, float t, float& a, float& b) {
    if (law == 0) {
        crossfadeWeights<0>(t, a, b);
    } else {
        crossfadeWeights<1>(t, a, b);
    }
}

// The render loops: out[t] = sample(t) for t = pos..pos+count-1, four samples per step and then the
// rest. They stay out of line because the compiler relies on the restrict-qualified outputs (the
// outputs never overlap the inputs) only there, and then does the four samples at once.
constexpr int kStep = 4;

template <class Sample>
[[gnu::noinline]] void renderSamples(float* __restrict out, int pos, int count, Sample sample) {
    const int end = pos + count;
    int t = pos;
    for (; t + kStep <= end; t += kStep) {
        for (int i = 0; i < kStep; ++i) {
            out[t + i] = sample(t + i);
        }
    }
    for (; t < end; ++t) {
        out[t] = sample(t);
    }
}

// Two outputs: sample(t) gives both as a std::array<float, 2>.
template <class Sample>
[[gnu::noinline]] void renderSamples(float* __restrict out0, float* __restrict out1, int pos, int count,
                                     Sample sample) {
    const int end = pos + count;
    int t = pos;
    for (; t + kStep <= end; t += kStep) {
        for (int i = 0; i < kStep; ++i) {
            const auto frame = sample(t + i);
            out0[t + i] = frame[0];
            out1[t + i] = frame[1];
        }
    }
    for (; t < end; ++t) {
        const auto frame = sample(t);
        out0[t] = frame[0];
        out1[t] = frame[1];
    }
}

// Three outputs: sample(t) gives all three as a std::array<float, 3>.
template <class Sample>
[[gnu::noinline]] void renderSamples(float* __restrict out0, float* __restrict out1, float* __restrict out2, int pos,
                                     int count, Sample sample) {
    const int end = pos + count;
    int t = pos;
    for (; t + kStep <= end; t += kStep) {
        for (int i = 0; i < kStep; ++i) {
            const auto frame = sample(t + i);
            out0[t + i] = frame[0];
            out1[t + i] = frame[1];
            out2[t + i] = frame[2];
        }
    }
    for (; t < end; ++t) {
        const auto frame = sample(t);
        out0[t] = frame[0];
        out1[t] = frame[1];
        out2[t] = frame[2];
    }
}

// out = signal * gain.
template <bool MovingSignal, bool MovingGain, bool Square>
void scaleChannel(float* out, Operand<MovingSignal> signal, ShapedGain<MovingGain, Square> gain, int pos,
                  int count) {
    renderSamples(out, pos, count, [=](int t) { return guard(signal[t] * gain[t]); });
}

// N routine pointers, make<I>() for I = 0..N-1: a module picks its render routine by index. Made
// inside the module's own member functions, so the routines may stay private.
template <std::size_t N, class Make>
constexpr auto routineTable(Make make) {
    return [&]<std::size_t... I>(std::index_sequence<I...>) {
        return std::array{make.template operator()<I>()...};
    }(std::make_index_sequence<N>{});
}

}  // namespace mix_kernels
