// The step counter of the two 8-step sequencers: one step per clock pulse in the chosen
// direction over the chosen length, sent to the step-value switches and shown in the editor.
#pragma once

#include <cstdint>

#include "engine/QX_ModuleBase.h"

class QX_DSP_Counter_Indexing : public QX_ModuleBase {
public:
    static constexpr int kPinLength = 1;
    static constexpr int kPinDirection = 2;
    static constexpr int kPinOnOff = 5;
    static constexpr int kPinRestart = 6;
    static constexpr int kPinClock = 7;
    static constexpr int kOutputStep = 0;

    // "Seq Dir" options "Forward,Back,Fwd/Back,Back/Fwd,Random,".
    static constexpr int kForward = 0;
    static constexpr int kBack = 1;
    static constexpr int kForwardBack = 2;
    static constexpr int kBackForward = 3;
    static constexpr int kRandom = 4;

    static constexpr int kMaxStep = 15;
    static constexpr float kDisplayOffset = 0.2f;  // shown step = index + 0.2
    static constexpr int kNoStep = -2;               // shown while the sequencer is off

    QX_DSP_Counter_Indexing(QX_EngineHost* host, bool asleep);

    void prepare() override;
    void handleEvent(const Event& event, int pos) override;

private:
    void step();
    void applyStartPosition();
    void emit();
    void show(float value);
    double randomUnit();

    int current_ = -1;
    int first_ = 0;
    int lastStep_ = kMaxStep;
    float range_ = static_cast<float>(kMaxStep);
    int dir_ = 1;
    int mode_ = kForward;
    int prevMode_ = -1;
    bool on_ = true;
    std::uint32_t randA_ = 0;
    std::uint32_t randB_ = 0;
};
