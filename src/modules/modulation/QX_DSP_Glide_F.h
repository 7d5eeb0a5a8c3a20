// Portamento for one voice: the pitch glides from the glide-start pitch to the note pitch at a
// constant rate, one octave per "Portamento (ms)".
#pragma once

#include <cstdint>

#include "engine/QX_ModuleBase.h"

class QX_DSP_Glide_F : public QX_ModuleBase {
public:
    static constexpr int kPinTimeUp = 1;      // ms / 10 per octave while rising
    static constexpr int kPinTimeDown = 2;    // ms / 10 per octave while falling
    static constexpr int kPinValue = 3;       // the note pitch: jumps there
    static constexpr int kPinLinear = 4;      // only the linear glide is built
    static constexpr int kPinEnable = 6;      // ivalue 0 ignores glide starts
    static constexpr int kPinGlideStart = 7;  // the pitch to glide from
    static constexpr int kPinScale = 9;       // fvalue x 10
    static constexpr int kPinOffset = 10;     // fvalue x 10

    QX_DSP_Glide_F(QX_EngineHost* host, bool asleep);

    void prepare() override;
    void handleEvent(const Event& event, int pos) override;

    // Pitch change per sample for a time input (ms / 10 per octave).
    static float stepFor(float time, float samplesPer10ms);

private:
    void renderGlide(int pos, int count);
    void renderHold(int pos, int count);
    void beginGlide();
    void hold(int pos, int count, std::uint32_t time);
    float convert(float value) const;

    float target_ = 0.0f;
    float current_ = 0.0f;  // the last sample written
    float timeUp_ = 0.5f;
    float timeDown_ = 0.5f;
    float scale_ = 1.0f;
    float offset_ = 0.0f;
    float samplesPer10ms_ = 0.0f;
    std::int32_t enabled_ = 1;
    bool restart_ = true;  // steps and the glide's start point must be taken again
    // The glide under way: sample j after its start is start + j x step, the last one the target.
    float start_ = 0.0f;
    float step_ = 0.0f;
    float lo_ = 0.0f;
    float hi_ = 0.0f;
    std::int32_t elapsed_ = 0;
    std::int32_t length_ = 0;
    // Announcements and the idle countdown.
    int movingSent_ = -1;
    float stillSent_ = 0.0f;
    int holdLeft_ = 0;
};
