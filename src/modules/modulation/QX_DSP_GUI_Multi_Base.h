// Twenty channels of three control values A, B and C combined into one clamped result per
// channel; the derived classes choose the combination.
#pragma once

#include <cstdint>

#include "engine/QX_ModuleBase.h"

class QX_DSP_GUI_Multi_Base : public QX_ModuleBase {
public:
    static constexpr int kChannels = 20;  // A on pins 0..19, B on 20..39, C on 40..59
    static constexpr int kPinLowerLimit = 60;
    static constexpr int kPinUpperLimit = 61;

    void renderAlt(int pos, int count) override;
    void handleEvent(const Event& event, int pos) override;

protected:
    struct Channel {
        float a;
        float b;
        float c;
    };

    QX_DSP_GUI_Multi_Base(QX_EngineHost* host, bool asleep, Channel initial);

    virtual float combine(const Channel& channel) const = 0;

private:
    Channel channels_[kChannels];
    std::uint32_t changed_ = 0;  // bit k: channel k has changed since it was last sent
    float lowerLimit_ = -100000.0f;
    float upperLimit_ = 100000.0f;
};
