// Stereo level: both channels times the square of one level. The last module of the engine, whose
// outputs 0 and 1 are the plug-in's output.
#pragma once

#include "modules/effects/QX_DSP_MixModuleBase.h"

class QX_DSP_ST_Level : public QX_DSP_MixModuleBase {
public:
    static constexpr int kPinLeft = 0;
    static constexpr int kPinRight = 1;
    static constexpr int kPinLevel = 2;
    static constexpr int kPinEnable = 9;

    QX_DSP_ST_Level(QX_EngineHost* host, bool asleep);

protected:
    void onEvent(const Event& event, int pos) override;
    void settle() override;

private:
    template <unsigned Moving>
    void renderMoving(int pos, int count);

    float still_[3] = {};  // left, right, level
    bool enabled_ = true;
};
