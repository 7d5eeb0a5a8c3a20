// Coefficient laws and sample loops of the multi-mode filter: biquad low- and high-pass, the
// two-pole sections, the Acid feedback loop and the Milk cascade. Each loop is a template over
// its stage count and over where its coefficients come from, so that no loop tests a mode.
#pragma once

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/RateTables.h"
#include "modules/sources/OscillatorKernels.h"
#include "modules/sources/SampleGuard.h"

namespace filter_kernels {

enum class Law { A, B, C, D, HighPass, E, F, G, H, Acid, Milk };

constexpr int kMaxStages = 2;
constexpr int kCoefficientStreams = 8;

// Resonance scale per law, index stages - 1 (12 dB, 24 dB).
struct ResonanceScale {
    Law law;
    float twelve;
    float twentyFour;
};
constexpr ResonanceScale kResonanceScales[] = {
    {Law::A, 0.902f, 0.812f},
    {Law::B, 0.456f, 0.323f},
    {Law::C, 0.294f, 0.2506f},
    {Law::D, 0.754f, 0.682f},
    {Law::HighPass, 0.907f, 0.817f},
};

constexpr float resonanceScale(Law law, int stages) {
    for (const ResonanceScale& s : kResonanceScales) {
        if (s.law == law) {
            return stages == 1 ? s.twelve : s.twentyFour;
        }
    }
    return 0.0f;
}

constexpr bool isBiquad(Law law) { return law <= Law::HighPass; }
constexpr bool isTwoPole(Law law) { return law >= Law::E && law <= Law::H; }
// Biquads and Acid read the resonance once per call; the others per sample.
constexpr bool resonancePerSample(Law law) { return isTwoPole(law) || law == Law::Milk; }

// The pitch columns span c = -1..1.3 over 2048 steps; frequency mode reads the linear columns at
// (Hz / 10) * 2048 * 20 / sampleRate.
constexpr float kPitchColumnOffset = 1.0f;
constexpr float kPitchColumnScale = 890.43475f;
constexpr float kLastColumnPoint = static_cast<float>(RateTables::kFrequencyPoints - 1);
constexpr float kHzColumnFactor = 2048.0f * 20.0f;
constexpr float kHzUnit = 10.0f;  // frequency-mode cutoffs are Hz / 10
// The exponential laws keep clear of zero (Acid divides by w) and of Nyquist.
constexpr float kMinIncrement = 1.0e-6f;  // cycles per sample
constexpr float kMaxIncrement = 0.5f;

constexpr double kBiquadGuard = 1.0e-18;  // keeps the recursion out of subnormals
constexpr float kTwoPoleGuard = 1.0e-16f;
constexpr double kAcidGuard = 1.0e-18;
constexpr float kMilkGuard = 1.0e-18f;
constexpr float kStateLimit = 20.0f;

struct Coefficients {
    float c[kCoefficientStreams];
};

// Coefficients held for a whole call.
struct FixedCoefficients {
    Coefficients set;
    float operator()(int k, int) const { return set.c[k]; }
};

// Coefficients read from the streams, sample by sample.
struct StreamedCoefficients {
    const float* c[kCoefficientStreams];
    float operator()(int k, int i) const { return c[k][i]; }
};

struct BiquadMemory {
    float x1, x2;
    double y1, y2;
};
struct TwoPoleMemory {
    float p, q;
};
struct AcidMemory {
    double a, b, c, d, e;
};
struct MilkMemory {
    float y1, y2, y3, y4, x0;
};

// Everything one channel remembers; cleared as a whole.
struct ChannelMemory {
    BiquadMemory biquad[kMaxStages];
    TwoPoleMemory twoPole[kMaxStages][2];
    AcidMemory acid[kMaxStages];
    MilkMemory milk[kMaxStages];
};

// The value limited to +-limit; NaN becomes 0.
template <class T>
inline T limited(T value, T limit) {
    value = value == value ? value : T(0);
    value = value < limit ? value : limit;
    return value > -limit ? value : -limit;
}

inline float columnRead(const float* column, float position) {
    position = position > 0.0f ? position : 0.0f;  // NaN lands here too
    position = position < kLastColumnPoint ? position : kLastColumnPoint;
    const int whole = std::min(static_cast<int>(position), RateTables::kFrequencyPoints - 2);
    const float fraction = position - static_cast<float>(whole);
    return column[whole] + (column[whole + 1] - column[whole]) * fraction;
}

// Where a biquad law reads its trigonometric columns, for pitch or frequency cutoffs.
struct BiquadColumns {
    const float* tan;
    const float* cot;
    const float* sin;
    const float* cos;
    float offset;
    float scale;
    float position(float cutoff) const { return (cutoff + offset) * scale; }
};

inline BiquadColumns biquadColumns(const RateTables& rates, bool hzMode) {
    if (hzMode) {
        return {rates.linearTan, rates.linearCot, rates.linearSin, rates.linearCos, 0.0f,
                kHzColumnFactor / static_cast<float>(rates.sampleRate())};
    }
    return {rates.pitchTan, rates.pitchCot, rates.pitchSin2, rates.pitchCos2, kPitchColumnOffset,
            kPitchColumnScale};
}

// Cycles per sample of a cutoff, for the exponential laws.
struct PitchCutoff {
    const RateTables* rates;
    float increment(float cutoff) const { return oscillator_kernels::incrementAt(*rates, cutoff); }
};
struct HzCutoff {
    float perUnit;  // kHzUnit / sampleRate
    float increment(float cutoff) const { return cutoff * perUnit; }
};

inline float boundedIncrement(float increment) {
    increment = increment > kMinIncrement ? increment : kMinIncrement;  // NaN lands here too
    return increment < kMaxIncrement ? increment : kMaxIncrement;
}

// Low-pass of analogue damping d through the bilinear transform, K = tan(pi f / sr).
inline Coefficients lowPassFromTan(float k, float d) {
    const float k2 = k * k;
    const float a0 = k2 + d * k + 1.0f;
    return {{k2 / a0, 2.0f * k2 / a0, k2 / a0, (2.0f * k2 - 2.0f) / a0, (k2 - d * k + 1.0f) / a0}};
}

template <Law L>
inline Coefficients biquadLaw(const BiquadColumns& columns, float cutoff, float r) {
    const float position = columns.position(cutoff);
    if constexpr (L == Law::A) {
        const float k = columnRead(columns.cot, position);
        const float k2 = k * k;
        const float d = 1.5f * (1.01f - r);
        const float a0 = k2 + d * k + 1.0f;
        return {{1.0f / a0, 2.0f / a0, 1.0f / a0, 2.0f * (1.0f - k2) / a0, (k2 - d * k + 1.0f) / a0}};
    } else if constexpr (L == Law::B) {
        const float base = r + 0.9f;
        return lowPassFromTan(columnRead(columns.tan, position), 1.0f / (base * base * base * base));
    } else if constexpr (L == Law::D) {
        const float base2 = (r + 0.45f) * (r + 0.45f);
        const float base4 = base2 * base2;
        return lowPassFromTan(columnRead(columns.tan, position), 1.0f / (base4 * base4));
    } else if constexpr (L == Law::C) {
        const float sinW = columnRead(columns.sin, position);
        const float cosW = columnRead(columns.cos, position);
        const float base2 = (1.0f + r) * (1.0f + r);
        const float base4 = base2 * base2;
        const float alpha = sinW / (base4 * base4);
        const float a0 = 1.0f + alpha;
        const float oneMinusCos = 1.0f - cosW;
        return {{oneMinusCos / (2.0f * a0), oneMinusCos / a0, oneMinusCos / (2.0f * a0), -2.0f * cosW / a0,
                 (1.0f - alpha) / a0}};
    } else {
        static_assert(L == Law::HighPass);
        const float k = columnRead(columns.tan, position);
        const float k2 = k * k;
        const float d = 1.5f * (1.01f - r);
        const float a0 = k2 + d * k + 1.0f;
        return {{1.0f / a0, -2.0f / a0, 1.0f / a0, 2.0f * (k2 - 1.0f) / a0, (k2 - d * k + 1.0f) / a0}};
    }
}

// Two-pole, Acid and Milk laws from the cutoff's increment (cycles per sample) and the resonance.
template <Law L, int Stages>
inline Coefficients exponentialLaw(float increment, float res) {
    increment = boundedIncrement(increment);
    if constexpr (isTwoPole(L)) {
        const float g = std::min(2.0f * increment, 1.0f);
        const float s = (L == Law::F ? 10.0f - Stages : 11.0f - Stages) / 10.0f;
        const float amount = res * s * s;
        const float oneMinusG = 1.0f - g;
        const float f1 = 1.0f - oneMinusG * oneMinusG * oneMinusG;
        const float fb1 = L == Law::E ? amount * (2.0f - f1 * f1) : amount * (2.0f - f1);
        float f2 = f1;
        if constexpr (L == Law::G) {
            f2 = f1 - 0.5f * f1 * (1.0f - f1);
        } else if constexpr (L == Law::H) {
            f2 = 0.6667f * amount * (1.0f - f1) + f1;
        }
        return {{f1, fb1, f2, amount * (2.0f - f2)}};
    } else if constexpr (L == Law::Milk) {
        const float g = std::min(2.0f * increment, 1.0f);
        const float p = g + 0.55f * g * (1.0f - g);
        return {{p, 2.0f * p - 1.0f, 4.5f * (1.0f - g) * (1.0f - g) * res}};
    } else {
        static_assert(L == Law::Acid);
        const double w = 2.0 * std::numbers::pi * increment;
        const double w2 = w * w;
        const double h = 2.0 * w + 1.0;
        const double h2 = h * h;
        const double c5 = 1.0 / (2.0 * w2 * w2 - 4.0 * w2 * h2 + h2 * h2);
        return {{static_cast<float>(w), static_cast<float>(w2 * w), static_cast<float>(w2 * h),
                 static_cast<float>((h2 - 2.0 * w2) * w), static_cast<float>((h2 - 3.0 * w2) * h),
                 static_cast<float>(c5), static_cast<float>(c5 * 2.0 * w2 * w2), static_cast<float>(h)}};
    }
}

// y = b0 x + b1 x1 + b2 x2 - a1 y1 - a2 y2 per stage; stage 1 reads `in`, later stages `out`.
template <int Stages, class Source>
inline void biquadCascade(const float* in, float* out, int count, BiquadMemory* memory, const Source& k) {
    for (int stage = 0; stage < Stages; ++stage) {
        const float* from = stage == 0 ? in : out;
        BiquadMemory m = memory[stage];
        for (int i = 0; i < count; ++i) {
            const float x = from[i];
            const double y = static_cast<double>(k(0, i)) * x + static_cast<double>(k(1, i)) * m.x1 +
                             static_cast<double>(k(2, i)) * m.x2 - static_cast<double>(k(3, i)) * m.y1 -
                             static_cast<double>(k(4, i)) * m.y2 + kBiquadGuard;
            m.x2 = m.x1;
            m.x1 = x;
            m.y2 = m.y1;
            m.y1 = y;
            out[i] = sample_guard::bounded(static_cast<float>(y));
        }
        m.x1 = sample_guard::bounded(m.x1);
        m.x2 = sample_guard::bounded(m.x2);
        m.y1 = limited(m.y1, static_cast<double>(kStateLimit));
        m.y2 = limited(m.y2, static_cast<double>(kStateLimit));
        memory[stage] = m;
    }
}

inline float twoPoleSection(TwoPoleMemory& m, float x, float f, float fb, float guard) {
    m.p = m.p + f * (x - m.p + fb * (m.p - m.q)) + guard;
    m.q = m.q + f * (m.p - m.q);
    return m.q;
}

// E runs one section per stage; F, G and H two, the second on streams 2 and 3 (F's are equal).
template <Law L, int Stages, class Source>
inline void twoPoleCascade(const float* in, float* out, int count, TwoPoleMemory (*memory)[2],
                           const Source& k) {
    for (int stage = 0; stage < Stages; ++stage) {
        const float* from = stage == 0 ? in : out;
        TwoPoleMemory first = memory[stage][0];
        TwoPoleMemory second = memory[stage][1];
        for (int i = 0; i < count; ++i) {
            float y = twoPoleSection(first, from[i], k(0, i), k(1, i), kTwoPoleGuard);
            if constexpr (L != Law::E) {
                y = twoPoleSection(second, y, k(2, i), k(3, i), -kTwoPoleGuard);
            }
            out[i] = sample_guard::bounded(y);
        }
        memory[stage][0] = {limited(first.p, kStateLimit), limited(first.q, kStateLimit)};
        memory[stage][1] = {limited(second.p, kStateLimit), limited(second.q, kStateLimit)};
    }
}

// Four-pole loop with a soft clip in its feedback path; k = 20 x resonance.
template <int Stages, class Source>
inline void acidCascade(const float* in, float* out, int count, AcidMemory* memory, const Source& k,
                        float resonance) {
    const double feedback = 20.0 * static_cast<double>(resonance);
    const double gain = 0.5 * feedback + 1.666;
    for (int stage = 0; stage < Stages; ++stage) {
        const float* from = stage == 0 ? in : out;
        AcidMemory m = memory[stage];
        for (int i = 0; i < count; ++i) {
            const double c0 = k(0, i);
            const double c6 = k(6, i);
            const double c7 = k(7, i);
            // Reciprocals once per sample; with held coefficients they leave the loop.
            const double perC0 = 1.0 / c0;
            const double loopScale = feedback / (1.0 + feedback * c6);
            const double x = static_cast<double>(from[i]) + kAcidGuard;
            const double s = (k(1, i) * m.a + k(2, i) * m.b + k(3, i) * m.c + k(4, i) * m.d) * k(5, i);
            const double t = s - m.e;
            double u = x - loopScale * (c6 * x + t);
            u = u / (1.0 + std::fabs(u));
            const double y = c6 * u + s;
            out[i] = sample_guard::bounded(static_cast<float>(gain * y));
            m.e = y - (c6 * u + t);
            const double p = (c7 * y - m.d) * perC0;
            const double q = (c7 * p - c0 * y - m.c) * perC0;
            const double r = (c7 * q - c0 * p - m.b) * perC0;
            m.a += 4.0 * c0 * (u - r + q);
            m.b += 2.0 * c0 * (r - 2.0 * q + p);
            m.c += 2.0 * c0 * (q - 2.0 * p + y);
            m.d += 2.0 * c0 * (p - 2.0 * y);
        }
        // Only a hostile input can leave the loop non-finite; it then starts again from rest.
        if (!std::isfinite(m.a + m.b + m.c + m.d + m.e)) {
            m = {};
        }
        memory[stage] = m;
    }
}

// Four one-pole sections in a feedback loop with a cubic clip on the last.
template <int Stages, class Source>
inline void milkCascade(const float* in, float* out, int count, MilkMemory* memory, const Source& k) {
    for (int stage = 0; stage < Stages; ++stage) {
        const float* from = stage == 0 ? in : out;
        MilkMemory m = memory[stage];
        for (int i = 0; i < count; ++i) {
            const float p = k(0, i);
            const float kk = k(1, i);
            const float x = from[i] + kMilkGuard - k(2, i) * m.y4;
            const float old1 = m.y1;
            const float old2 = m.y2;
            const float old3 = m.y3;
            m.y1 = (x + m.x0) * p - kk * m.y1;
            m.y2 = (old1 + m.y1) * p - kk * m.y2;
            m.y3 = (old2 + m.y2) * p - kk * m.y3;
            m.y4 = (old3 + m.y3) * p - kk * m.y4;
            m.y4 = m.y4 - m.y4 * m.y4 * m.y4 * 0.1666666f;
            m.x0 = x;
            out[i] = sample_guard::bounded(m.y4);
        }
        m = {limited(m.y1, kStateLimit), limited(m.y2, kStateLimit), limited(m.y3, kStateLimit),
             limited(m.y4, kStateLimit), limited(m.x0, kStateLimit)};
        memory[stage] = m;
    }
}

}  // namespace filter_kernels
