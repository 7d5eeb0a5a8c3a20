// Gain stage (A + B) * C * D, or (A + B) * C^2 * D with the square flag: a modulation amount scaled
// by a depth and a second control.
#pragma once

#include <array>

#include "modules/effects/QX_DSP_LevelStage.h"

class QX_DSP_Level_ABxCxD : public QX_DSP_LevelStage<QX_DSP_Level_ABxCxD> {
public:
    static constexpr int kInputs = 4;
    static constexpr std::array<unsigned, 2> kTerms = {0b1101, 0b1110};  // A*C*D, B*C*D

    // C and D are grouped so that still gains make one loop constant.
    template <bool Square>
    static float value(float a, float b, float c, float d) {
        return (a + b) * (mix_kernels::shaped<Square>(c) * d);
    }

    QX_DSP_Level_ABxCxD(QX_EngineHost* host, bool asleep);
};
