// Small conversions shared by the control-value modules, written so that hostile event values
// (NaN, infinities, huge numbers) never reach an undefined float-to-int conversion.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/QX_ModuleBase.h"

namespace control_values {

// Gains and offsets arrive as engineering values and are kept in table units (ten times).
constexpr float kTableUnits = 10.0f;
constexpr float kValuePerTableUnit = 0.1f;

// trunc(value) as an integer; NaN gives 0 and values beyond the int range saturate.
inline std::int32_t truncatedInt(float value) {
    constexpr float kLowest = -2147483648.0f;   // -2^31, exact in float and in int32
    constexpr float kHighest = 2147483520.0f;   // the largest float below 2^31
    if (std::isnan(value)) {
        return 0;
    }
    return static_cast<std::int32_t>(std::clamp(value, kLowest, kHighest));
}

// Sends every constant wired to pins 0..pinCount-1, in pin order: the table units as the integer,
// the value meant (a tenth of them) as the float.
inline void sendConstants(QX_ModuleBase& module, std::uint32_t time, int pinCount) {
    for (int pin = 0; pin < pinCount; ++pin) {
        if (const float* constant = module.inputs[pin]) {
            module.sendEvent(time, pin, kEventStill, truncatedInt(*constant), *constant * kValuePerTableUnit,
                             nullptr);
        }
    }
}

}  // namespace control_values
