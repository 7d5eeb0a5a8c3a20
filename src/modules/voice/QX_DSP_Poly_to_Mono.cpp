#include "modules/voice/QX_DSP_Poly_to_Mono.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "engine/QX_EngineHost.h"
#include "engine/QX_VoiceAllocatorBase.h"

namespace {

constexpr double kFadeMs = 10.0;
constexpr int kFallbackFadeLength = 220;  // samples, when the rate gives none
// The fade gain runs this many samples ahead of the fade position.
constexpr int kFadeLead = 4;
// 60 dB above full scale, far beyond a voice after its limiter; only keeps overflow and NaN out.
constexpr float kOutputLimit = 1000.0f;

constexpr std::uint32_t kVoiceStealing = kVoiceStealMarked | kVoiceStealFading;

template <bool kFirst>
void accumulate(float* out, const float* in, int count) {
    for (int i = 0; i < count; ++i) {
        if constexpr (kFirst) {
            out[i] = in[i];
        } else {
            out[i] += in[i];
        }
    }
}

// Sample i of the stretch is fade sample `start` + i, with gain max(0, 1 - (start + i + lead) * step).
template <bool kFirst>
void accumulateFading(float* out, const float* in, int count, int start, float step) {
    for (int i = 0; i < count; ++i) {
        const float gain = std::max(0.0f, 1.0f - static_cast<float>(start + i + kFadeLead) * step);
        if constexpr (kFirst) {
            out[i] = in[i] * gain;
        } else {
            out[i] += in[i] * gain;
        }
    }
}

void limit(float* out, int count) {
    for (int i = 0; i < count; ++i) {
        const float x = out[i];
        out[i] = x == x ? std::clamp(x, -kOutputLimit, kOutputLimit) : 0.0f;
    }
}

}  // namespace

QX_DSP_Poly_to_Mono::QX_DSP_Poly_to_Mono(QX_EngineHost* owner, bool asleep) : QX_ModuleBase(owner, asleep) {
    for (int c = 0; c < kChannels; ++c) {
        makeOutput(c);
        std::fill(std::begin(voiceBuffers_[c]), std::end(voiceBuffers_[c]), host->silence);
    }
    prepare();
}

void QX_DSP_Poly_to_Mono::prepare() {
    const int length = static_cast<int>(std::trunc(static_cast<double>(host->sampleRateInt) * 0.001 * kFadeMs));
    fadeLength_ = length < 1 ? kFallbackFadeLength : length;
    fadeStep_ = 1.0f / static_cast<float>(fadeLength_);
    std::fill(std::begin(fadeLeft_), std::end(fadeLeft_), 0);
    anySent_ = -1;
    clearLeft_ = -1;
}

void QX_DSP_Poly_to_Mono::connectVoiceSource(QX_ModuleBase* allocator, int sourceIndex, int copies, int stride,
                                             int output, int pin) {
    allocator_ = dynamic_cast<QX_VoiceAllocatorBase*>(allocator);
    if (pin < 0 || pin >= kChannels || copies < 0) {
        return;
    }
    channels_ = std::max(channels_, pin + 1);
    voices_ = std::max(voices_, std::min(copies, kMaxVoices));
    for (int v = 0; v < std::min(copies, kMaxVoices); ++v) {
        const long index = static_cast<long>(sourceIndex) + static_cast<long>(v) * stride;
        const float* buffer = nullptr;
        if (index >= 0 && index < host->moduleCount && host->modules[index] != nullptr) {
            buffer = host->modules[index]->getOutput(output);
        }
        voiceBuffers_[pin][v] = buffer != nullptr ? buffer : host->silence;
    }
}

void QX_DSP_Poly_to_Mono::mixVoice(int voice, int pos, int count, bool first) {
    for (int c = 0; c < channels_; ++c) {
        const float* in = voiceBuffers_[c][voice] + pos;
        float* out = outputs[c] + pos;
        first ? accumulate<true>(out, in, count) : accumulate<false>(out, in, count);
    }
}

void QX_DSP_Poly_to_Mono::fadeVoice(int voice, int pos, int count, bool first) {
    const int start = fadeLength_ - fadeLeft_[voice];
    for (int c = 0; c < channels_; ++c) {
        const float* in = voiceBuffers_[c][voice] + pos;
        float* out = outputs[c] + pos;
        first ? accumulateFading<true>(out, in, count, start, fadeStep_)
              : accumulateFading<false>(out, in, count, start, fadeStep_);
    }
}

void QX_DSP_Poly_to_Mono::render(int pos, int count) {
    const std::uint32_t now = localTime;
    bool anyVoice = false;
    if (allocator_ != nullptr) {
        for (int v = 0; v < voices_; ++v) {
            const std::uint32_t state = allocator_->voiceState(v);
            if (state == 0) {
                continue;
            }
            if ((state & kVoiceStealing) == 0) {
                // Freed or restarted behind the mixer's back: whatever fade it had is over.
                fadeLeft_[v] = 0;
            } else if (fadeLeft_[v] == 0) {
                if ((state & kVoiceStealMarked) != 0) {
                    allocator_->markVoiceFading(v);
                }
                fadeLeft_[v] = fadeLength_;
            }
            const bool first = !anyVoice;
            anyVoice = true;
            if (fadeLeft_[v] == 0) {
                mixVoice(v, pos, count, first);
                continue;
            }
            fadeVoice(v, pos, count, first);
            fadeLeft_[v] -= count;
            if (fadeLeft_[v] < 1) {
                fadeLeft_[v] = 0;
                allocator_->voiceFinished(v, now + static_cast<std::uint32_t>(count));
            }
        }
    }
    if (anyVoice) {
        for (int c = 0; c < channels_; ++c) {
            limit(outputs[c] + pos, count);
        }
    }

    const int kind = anyVoice ? kEventMoving : kEventStill;
    const bool announce = kind != anySent_;
    if (announce) {
        anySent_ = kind;
        clearLeft_ = blockLength;
    }
    if (!anyVoice && clearLeft_ >= 0) {
        clearLeft_ -= count;
        for (int c = 0; c < kChannels; ++c) {
            std::fill(outputs[c] + pos, outputs[c] + pos + count, 0.0f);
        }
    }
    if (announce) {
        for (int c = 0; c < kChannels; ++c) {
            sendEvent(now, c, kind, kind, outputs[c][pos], nullptr);
        }
    }
}
