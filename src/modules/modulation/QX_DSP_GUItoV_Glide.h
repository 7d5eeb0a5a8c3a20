// One parameter smoothed into one signal through a value conversion (plain, squared, or the EQ
// width law), ramping linearly over its ramp time; optionally reports when it turns on or off.
#pragma once

#include <cstdint>

#include "engine/QX_ModuleBase.h"

class QX_DSP_GUItoV_Glide : public QX_ModuleBase {
public:
    static constexpr int kPinValue = 0;         // smoothed
    static constexpr int kPinRampTime = 1;      // fvalue x 10 = ms
    static constexpr int kPinJumpValue = 2;     // jumps
    static constexpr int kPinSetValue = 3;      // sets the output directly
    static constexpr int kPinScale = 9;         // fvalue x 10
    static constexpr int kPinOffset = 10;       // fvalue x 10
    static constexpr int kPinWidthMode = 19;    // wiring selects 1 - (v - 1) / 9
    static constexpr int kPinSquaredMode = 29;  // wiring selects v^2 x scale + offset
    static constexpr int kOutputSignal = 0;
    static constexpr int kOutputOnOff = 1;

    QX_DSP_GUItoV_Glide(QX_EngineHost* host, bool asleep);

    void prepare() override;
    void handleEvent(const Event& event, int pos) override;
    void setInput(int pin, const float* source) override;
    void onOutputConnected(int output) override;

private:
    enum class Conversion : std::uint8_t { Plain, Squared, Width };

    void renderRamp(int pos, int count);
    void renderConstant(int pos, int count);
    void renderEnd(int pos, int count);
    void holdFrom(int pos, int count, std::uint32_t time);
    void endFrom(int count, std::uint32_t time);
    float convert(float value) const;
    void glideTo(float target);
    void jumpTo(float target);
    void reportOnOff(float previous);

    Conversion conversion_ = Conversion::Plain;
    bool onOffWired_ = false;
    float scale_ = 1.0f;
    float offset_ = 0.0f;
    float raw_ = 0.0f;
    float target_ = 0.0f;
    float current_ = 0.0f;
    float step_ = 0.0f;
    float lo_ = 0.0f;
    float hi_ = 0.0f;
    std::int32_t elapsed_ = 0;
    std::int32_t rampLeft_ = 0;
    std::int32_t rampLength_ = 0;
    std::int32_t tailLength_ = 0;
    int holdLeft_ = 0;
    std::uint32_t end_ = 0;
    int moving_ = kEventStill;
    int sentKind_ = kEventStill;
};
