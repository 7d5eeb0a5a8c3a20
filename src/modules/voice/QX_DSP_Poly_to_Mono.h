// The voice mixer: sums the stereo outputs of every sounding voice copy and fades out, over 10 ms,
// the voices the allocator marked for stealing, telling the allocator when each fade has ended.
#pragma once

#include <cstdint>

#include "engine/QX_ModuleBase.h"

class QX_VoiceAllocatorBase;

class QX_DSP_Poly_to_Mono : public QX_ModuleBase {
public:
    static constexpr int kChannels = 2;     // left and right
    static constexpr int kMaxVoices = 256;  // the builder's copy count is one byte

    QX_DSP_Poly_to_Mono(QX_EngineHost* host, bool asleep);

    // Never idle: no events reach the mixer, so it looks at the voice states every chunk.
    void render(int pos, int count) override;
    void prepare() override;
    void connectVoiceSource(QX_ModuleBase* allocator, int sourceIndex, int copies, int stride, int output,
                            int pin) override;

private:
    void mixVoice(int voice, int pos, int count, bool first);
    void fadeVoice(int voice, int pos, int count, bool first);

    QX_VoiceAllocatorBase* allocator_ = nullptr;
    int channels_ = 0;
    int voices_ = 0;
    const float* voiceBuffers_[kChannels][kMaxVoices];
    int fadeLeft_[kMaxVoices] = {};  // samples left in a voice's steal fade, 0 = not fading
    int fadeLength_ = 0;
    float fadeStep_ = 0.0f;
    int anySent_ = -1;
    int clearLeft_ = -1;
};
