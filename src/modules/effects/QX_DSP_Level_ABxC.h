// Gain stage (A + B) * C, or (A + B) * C^2 with the square flag: an offset control scaled by a
// depth, or a signal through a level.
#pragma once

#include <array>

#include "modules/effects/QX_DSP_LevelStage.h"

class QX_DSP_Level_ABxC : public QX_DSP_LevelStage<QX_DSP_Level_ABxC> {
public:
    static constexpr int kInputs = 3;
    static constexpr std::array<unsigned, 2> kTerms = {0b101, 0b110};  // A*C, B*C

    template <bool Square>
    static float value(float a, float b, float c, float) {
        return (a + b) * mix_kernels::shaped<Square>(c);
    }

    QX_DSP_Level_ABxC(QX_EngineHost* host, bool asleep);
};
