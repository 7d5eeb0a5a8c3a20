// Gain stage A * B + (C + D), or A * B^2 + (C + D) with the square flag: a scaled source mixed
// into two others.
#pragma once

#include <array>

#include "modules/effects/QX_DSP_LevelStage.h"

class QX_DSP_Level_AxB_CD : public QX_DSP_LevelStage<QX_DSP_Level_AxB_CD> {
public:
    static constexpr int kInputs = 4;
    static constexpr std::array<unsigned, 3> kTerms = {0b0011, 0b0100, 0b1000};  // A*B, C, D

    template <bool Square>
    static float value(float a, float b, float c, float d) {
        return a * mix_kernels::shaped<Square>(b) + (c + d);
    }

    QX_DSP_Level_AxB_CD(QX_EngineHost* host, bool asleep);
};
