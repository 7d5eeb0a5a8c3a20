// The constants a netlist entry can point at (sources 5500..5999). Each is stored as ten times the
// value meant; the constant-to-control module scales it back.
#pragma once

#include <array>

#include "engine/Netlist.h"

// Constants first..last hold firstValue, firstValue + step, ...
struct NetlistConstantRun {
    int first;
    int last;
    float firstValue;
    float step;
};

inline constexpr NetlistConstantRun kNetlistConstantRuns[] = {
    {5500, 5538, 0.0f, 1.0f},
    {5539, 5539, 38.0f, 0.0f},  // 38 again, not 39
    {5540, 5550, 40.0f, 1.0f},
    {5551, 5555, 60.0f, 10.0f},
    {5556, 5591, 125.0f, 25.0f},
    {5592, 5626, 1250.0f, 250.0f},
};

// From 5627 on the values are listed one by one; every constant after the list holds 0.
inline constexpr int kFirstListedConstant = 5627;
inline constexpr float kListedConstants[] = {
    -1.0f, -5.0f, -10.0f, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f,  // 5627..5638
    2200.0f, 2400.0f, 4100.0f, 4200.0f, 6100.0f, 12000.0f,                         // 5639..5644
    9.8f, -2.0f, 11.0f, 0.2f, 9.2f, -20.0f, -114.0f,                               // 5645..5651
    0.00133f, 3.3333f, -4.25f, 0.001f, -200.0f,                                    // 5652..5656
};
static_assert(kFirstListedConstant + std::size(kListedConstants) == 5657);

constexpr std::array<float, kConstantCount> makeNetlistConstants() {
    std::array<float, kConstantCount> values{};
    for (const NetlistConstantRun& run : kNetlistConstantRuns) {
        for (int number = run.first; number <= run.last; ++number) {
            values[number - kFirstConstant] =
                run.firstValue + run.step * static_cast<float>(number - run.first);
        }
    }
    int number = kFirstListedConstant;
    for (float value : kListedConstants) {
        values[number++ - kFirstConstant] = value;
    }
    return values;
}

// Indexed by constant number - 5500.
inline constexpr std::array<float, kConstantCount> kNetlistConstants = makeNetlistConstants();

// The stored value of constant `number`, or null when the number is not a constant.
inline const float* netlistConstant(int number) {
    if (number < kFirstConstant || number >= kFirstConstant + kConstantCount) {
        return nullptr;
    }
    return &kNetlistConstants[number - kFirstConstant];
}
