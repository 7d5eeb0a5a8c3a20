// Sixteen independent scale-and-offset channels: a new value on pin k is sent on output k as
// gain_k * value + offset_k.
#pragma once

#include <cstdint>

#include "engine/QX_ModuleBase.h"

class QX_DSP_Float_Converter : public QX_ModuleBase {
public:
    static constexpr int kChannels = 16;
    static constexpr int kFirstGainPin = 19;  // gain of channel k on pin 19 + 2k, offset on 20 + 2k

    QX_DSP_Float_Converter(QX_EngineHost* host, bool asleep);

    void renderAlt(int pos, int count) override;
    void handleEvent(const Event& event, int pos) override;

private:
    struct Channel {
        float value = 0.0f;
        float gain = 0.0f;
        float offset = 0.0f;
    };
    Channel channels_[kChannels];
    std::uint32_t changed_ = 0;  // bit k: channel k has a value not sent yet
};
