// The instrument's shared random source: one xor-add pair per plug-in instance, drawn by every
// caller in processing order (control logic, arpeggiator, randomise functions).
#pragma once

#include <cstdint>

class SharedRandom {
public:
    static constexpr std::uint32_t kStartA = 0x61253047u;
    static constexpr std::uint32_t kStartB = 0xC89DB3F6u;

    // A uniform value in [0, scale): a ^= b, b += a, then b / 2^32 times scale.
    float next(float scale);
    void restart();

    std::uint32_t a() const { return a_; }
    std::uint32_t b() const { return b_; }

private:
    std::uint32_t a_ = kStartA;
    std::uint32_t b_ = kStartB;
};
