#include "modules/effects/QX_DSP_Chorus3v.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "engine/QX_EngineHost.h"
#include "modules/effects/DelayKernels.h"

using namespace delay_kernels;

namespace {

constexpr float kHundredthsPerSecond = 100.0f;
constexpr float kMillisecondsPerSecond = 1000.0f;
constexpr float kTensOfSeconds = 10.0f;  // seconds per unit when pin 17 is 0
constexpr float kMaxFeedback = 1.0f;

using Routine = QX_DSP_Chorus3v::Routine;

// Indexed by [tap count - 1][feedback].
constexpr std::array<Routine, 2> kTapRoutines[QX_DSP_Chorus3v::kTaps] = {
    {{&QX_DSP_Chorus3v::renderTaps<1, false>, &QX_DSP_Chorus3v::renderTaps<1, true>}},
    {{&QX_DSP_Chorus3v::renderTaps<2, false>, &QX_DSP_Chorus3v::renderTaps<2, true>}},
    {{&QX_DSP_Chorus3v::renderTaps<3, false>, &QX_DSP_Chorus3v::renderTaps<3, true>}},
};

}  // namespace

QX_DSP_Chorus3v::QX_DSP_Chorus3v(QX_EngineHost* engine, bool asleep)
    : QX_ModuleBase(engine, asleep),
      ring_(engine->sampleRateInt),
      input_(engine->silence),
      stillValues_(new float[static_cast<std::size_t>(kControls * (blockLength + kModuleBufferSpare))]()),
      timeScale_(static_cast<float>(engine->sampleRateInt) / kHundredthsPerSecond) {
    for (int control = 0; control < kControls; ++control) {
        controls_[control] = stillBuffer(control);
    }
    for (int tap = 0; tap < kTaps; ++tap) {
        makeOutput(tap);
    }
    prepare();
}

void QX_DSP_Chorus3v::prepare() {
    taps_ = kTaps;
    line_.prepare();
    hundredths_ = true;
    feedback_ = 0.0f;
    minimumOffset_ = static_cast<float>(host->sampleRateInt) / kMillisecondsPerSecond;
    std::fill(std::begin(baseValues_), std::end(baseValues_), 0.0f);
    std::fill_n(stillValues_.get(), kControls * (blockLength + kModuleBufferSpare), 0.0f);
    std::fill(std::begin(sentKinds_), std::end(sentKinds_), -1);
    restart();
    chooseRoutine();
}

void QX_DSP_Chorus3v::reset() { ring_.clear(); }

void QX_DSP_Chorus3v::restart() {
    ring_.select(line_.size());
    ring_.clear();
    write_ = 0;
    placeTaps();
}

float* QX_DSP_Chorus3v::stillBuffer(int control) const {
    return stillValues_.get() + control * (blockLength + kModuleBufferSpare);
}

int QX_DSP_Chorus3v::controlOf(int pin) const {
    if (pin == kPinDepth) {
        return 0;
    }
    if (pin >= kPinFirstModulation && pin < kPinFirstModulation + kTaps) {
        return 1 + pin - kPinFirstModulation;
    }
    return -1;
}

void QX_DSP_Chorus3v::setInput(int pin, const float* source) {
    if (pin < 0 || pin >= kModulePins) {
        return;
    }
    QX_ModuleBase::setInput(pin, source);
    const bool fed = readsBuffer(*this, pin, source);
    if (pin == kPinInput) {
        input_ = fed ? source : host->silence;
    }
    if (const int control = controlOf(pin); control >= 0) {
        bufferFed_[control] = fed;
        controls_[control] = fed ? source : stillBuffer(control);
    }
}

void QX_DSP_Chorus3v::handleEvent(const Event& event, int) {
    const int pin = event.pin;
    if (const int control = controlOf(pin); control >= 0) {
        if (!bufferFed_[control]) {
            std::fill_n(stillBuffer(control), blockLength + kModuleBufferSpare, finite(event.fvalue));
        }
        return;
    }
    if (pin >= kPinFirstBase && pin < kPinFirstBase + kTaps) {
        baseValues_[pin - kPinFirstBase] = finite(event.fvalue);
        placeTaps();
        return;
    }
    switch (pin) {
        case kPinFeedback:
            feedback_ = std::clamp(finite(event.fvalue), -kMaxFeedback, kMaxFeedback);
            break;
        case kPinUnit:
            hundredths_ = event.ivalue != 0;
            placeTaps();
            break;
        case kPinEnable:
            if (line_.switchOn(isOn(event))) {
                restart();
            }
            break;
        case kPinTaps:
            taps_ = std::clamp(event.ivalue, 1, kTaps);
            break;
        case kPinSize:
            if (line_.resize(event.ivalue)) {
                restart();
            }
            break;
        case kPinMinimumOffset:
            minimumOffset_ = finite(event.fvalue) * timeScale_;
            placeTaps();
            break;
        case kPinClear:
            if (event.ivalue > 0) {
                ring_.clear();
            }
            break;
        default:
            break;
    }
    chooseRoutine();
}

// Base delays in whole samples, never shorter than the minimum (the offset plus one sample).
void QX_DSP_Chorus3v::placeTaps() {
    const float longest = ring_.longest();
    const float minimum = std::floor(std::clamp(minimumOffset_, 0.0f, longest - 1.0f)) + 1.0f;
    const float unit = hundredths_ ? timeScale_ : static_cast<float>(host->sampleRateInt) * kTensOfSeconds;
    for (int tap = 0; tap < kTaps; ++tap) {
        bases_[tap] = static_cast<int>(std::clamp(baseValues_[tap] * unit + minimum, 0.0f, longest));
    }
}

void QX_DSP_Chorus3v::chooseRoutine() {
    if (!line_.enabled()) {
        silence_.restart(blockLength);
        setChorusRoutine(&QX_DSP_Chorus3v::renderSilence);
        return;
    }
    setChorusRoutine(kTapRoutines[taps_ - 1][feedback_ != 0.0f ? 1 : 0]);
}

void QX_DSP_Chorus3v::setChorusRoutine(Routine routine) { useRender(routine); }

void QX_DSP_Chorus3v::announce(int activeTaps) {
    for (int tap = 0; tap < kTaps; ++tap) {
        const int kind = tap < activeTaps ? kEventMoving : kEventStill;
        if (sentKinds_[tap] != kind) {
            sentKinds_[tap] = kind;
            sendEvent(localTime, tap, kind, kind, static_cast<float>(kind), nullptr);
        }
    }
}

template <int Taps, bool Feedback>
void QX_DSP_Chorus3v::renderTaps(int pos, int count) {
    announce(Taps);
    float* const buffer = ring_.data();
    const unsigned mask = ring_.mask();
    const float longest = ring_.longest();
    const float scale = timeScale_;
    const float feedback = feedback_;
    const float* in = input_ + pos;
    const float* depth = controls_[0] + pos;
    const float* modulation[Taps];
    float* out[Taps];
    unsigned base[Taps];
    for (int tap = 0; tap < Taps; ++tap) {
        modulation[tap] = controls_[1 + tap] + pos;
        out[tap] = outputs[tap] + pos;
        base[tap] = static_cast<unsigned>(bases_[tap]);
    }
    unsigned w = write_;
    for (int n = 0; n < count; ++n) {
        w = (w - 1) & mask;
        buffer[w] = stored(in[n]);
        const float d = depth[n] * scale;
        for (int tap = 0; tap < Taps; ++tap) {
            const float x = readOffset((modulation[tap][n] + 0.5f) * d, longest);
            const unsigned whole = static_cast<unsigned>(x);
            const float fraction = x - static_cast<float>(whole);
            const unsigned p = (whole + w + base[tap]) & mask;
            const float a = buffer[p];
            out[tap][n] = a + (buffer[(p + 1) & mask] - a) * fraction;
        }
        if constexpr (Feedback) {
            const unsigned q = (base[0] + w) & mask;
            buffer[q] = stored(buffer[q] + out[0][n] * feedback);
        }
    }
    write_ = w;
    for (int tap = Taps; tap < kTaps; ++tap) {
        std::memset(outputs[tap] + pos, 0, sizeof(float) * static_cast<std::size_t>(count));
    }
}

// Zeros for one whole block, then idle: readers of an idle module see its buffers as they were left.
void QX_DSP_Chorus3v::renderSilence(int pos, int count) {
    announce(0);
    for (int tap = 0; tap < kTaps; ++tap) {
        std::memset(outputs[tap] + pos, 0, sizeof(float) * static_cast<std::size_t>(count));
    }
    if (silence_.runDown(count)) {
        setChorusRoutine(&QX_DSP_Chorus3v::renderIdle);
        setIdle();
    }
}

void QX_DSP_Chorus3v::renderIdle(int, int) { setIdle(); }
