#include "modules/effects/QX_DSP_BiQuad_Multi_Engine.h"

#include <algorithm>
#include <cmath>

#include "engine/QX_EngineHost.h"
#include "modules/sources/SampleGuard.h"

using namespace filter_kernels;

namespace {

constexpr float kConstantSpread = 1.0e-10f;  // a block this flat counts as constant
constexpr float kHeldZero = 1.0e-8f;         // a held value this small is held as 0

}  // namespace

QX_DSP_BiQuad_Multi_Engine::QX_DSP_BiQuad_Multi_Engine(QX_EngineHost* engine, bool asleep)
    : QX_ModuleBase(engine, asleep), input_(engine->silence) {
    for (Band& band : bands_) {
        std::fill(std::begin(band.streams), std::end(band.streams), engine->silence);
    }
    makeOutput(0);
    prepare();
}

void QX_DSP_BiQuad_Multi_Engine::prepare() {
    for (Band& band : bands_) {
        band.memory = {};
        band.active = false;
        band.moving = 0;
    }
    on_ = 1;
    enable_ = 1;
    enable2_ = 1;
    perSample_ = true;
    inputMoving_ = 0;
    inputStillValue_ = 0.0f;
    stillCheck_ = false;
    heldValue_ = 0.0f;
    idleCountdown_ = blockLength;
    sentMoving_ = -1;
    chooseRoutine();
}

void QX_DSP_BiQuad_Multi_Engine::setInput(int pin, const float* source) {
    QX_ModuleBase::setInput(pin, source);
    const float* signal = source != nullptr ? source : host->silence;
    if (pin == kPinInput) {
        input_ = signal;
        return;
    }
    const int offset = pin - kFirstBandPin;
    const int band = offset / kBandPinStride;
    const int stream = offset % kBandPinStride;
    if (offset >= 0 && band < kBands && stream < kStreams) {
        bands_[band].streams[stream] = signal;
    }
}

void QX_DSP_BiQuad_Multi_Engine::clearBands() {
    for (Band& band : bands_) {
        band.memory = {};
    }
}

void QX_DSP_BiQuad_Multi_Engine::handleBandEvent(const Event& event) {
    const int offset = event.pin - kFirstBandPin;
    const int index = offset / kBandPinStride;
    const int stream = offset % kBandPinStride;
    if (offset < 0 || index >= kBands) {
        return;
    }
    Band& band = bands_[index];
    if (stream == 0) {
        band.moving = event.kind != kEventStill ? 1 : 0;
    } else if (stream == kActiveOffset) {
        band.active = event.ivalue != 0;
        if (!band.active) {
            band.memory = {};
        }
    }
}

void QX_DSP_BiQuad_Multi_Engine::handleEvent(const Event& event, int pos) {
    idleCountdown_ = blockLength;
    switch (event.pin) {
        case kPinInput:
            inputMoving_ = event.kind != kEventStill ? 1 : 0;
            inputStillValue_ = inputMoving_ != 0 ? 1.0f : input_[pos];
            break;
        case kPinPerSample:
            perSample_ = event.ivalue != 0;
            break;
        case kPinOn:
            on_ = event.ivalue;
            if (on_ == 0) {
                clearBands();
            }
            break;
        case kPinEnable:
        case kPinEnable2:
            (event.pin == kPinEnable ? enable_ : enable2_) = event.ivalue;
            if (event.ivalue == 0) {
                clearBands();
            }
            break;
        case kPinGate:
            if (event.ivalue >= 1) {
                clearBands();
            }
            break;
        default:
            handleBandEvent(event);
            break;
    }
    chooseRoutine();
}

void QX_DSP_BiQuad_Multi_Engine::chooseRoutine() {
    if (on_ == 0) {
        setEngineRoutine(&QX_DSP_BiQuad_Multi_Engine::renderSilence);
        return;
    }
    int anyActive = 0;
    int anyMoving = 0;
    for (const Band& band : bands_) {
        anyActive |= band.active ? 1 : 0;
        anyMoving |= band.moving;
    }
    if (enable_ != 0 && enable2_ != 0 && anyActive != 0) {
        stillCheck_ = inputStillValue_ == 0.0f || (inputMoving_ | anyMoving) == 0;
        setEngineRoutine(&QX_DSP_BiQuad_Multi_Engine::renderProcess);
        return;
    }
    setEngineRoutine(&QX_DSP_BiQuad_Multi_Engine::renderPassThrough);
}

void QX_DSP_BiQuad_Multi_Engine::setEngineRoutine(Routine routine) { useRender(routine); }

void QX_DSP_BiQuad_Multi_Engine::announce(int moving) {
    if (sentMoving_ != moving) {
        sentMoving_ = moving;
        sendEvent(localTime, 0, moving, 0, 0.0f, nullptr);
    }
}

void QX_DSP_BiQuad_Multi_Engine::countDownToIdle(int count) {
    idleCountdown_ -= count;
    if (idleCountdown_ <= 0) {
        setEngineRoutine(&QX_DSP_BiQuad_Multi_Engine::renderIdle);
        setIdle();
    }
}

bool QX_DSP_BiQuad_Multi_Engine::blockIsConstant() const {
    const float* out = outputs[0];
    const float first = out[0];
    for (int i = 1; i < blockLength; ++i) {
        if (!(std::fabs(out[i] - first) <= kConstantSpread)) {
            return false;
        }
    }
    return true;
}

// The first active band reads the input, every later one filters the output in place.
void QX_DSP_BiQuad_Multi_Engine::renderProcess(int pos, int count) {
    announce(1);
    const float* from = input_ + pos;
    float* out = outputs[0] + pos;
    for (Band& band : bands_) {
        if (!band.active) {
            continue;
        }
        if (perSample_ && band.moving != 0) {
            StreamedCoefficients source = {};
            for (int k = 0; k < kStreams; ++k) {
                source.c[k] = band.streams[k] + pos;
            }
            biquadCascade<1>(from, out, count, &band.memory, source);
        } else {
            FixedCoefficients source = {};
            for (int k = 0; k < kStreams; ++k) {
                source.set.c[k] = band.streams[k][pos];
            }
            biquadCascade<1>(from, out, count, &band.memory, source);
        }
        from = out;
    }
    if (stillCheck_ && pos == 0 && blockIsConstant()) {
        heldValue_ = std::fabs(outputs[0][0]) < kHeldZero ? 0.0f : outputs[0][0];
        setEngineRoutine(&QX_DSP_BiQuad_Multi_Engine::renderConstant);
    }
}

void QX_DSP_BiQuad_Multi_Engine::renderConstant(int pos, int count) {
    std::fill_n(outputs[0] + pos, count, heldValue_);
    announce(inputMoving_);
    countDownToIdle(count);
}

void QX_DSP_BiQuad_Multi_Engine::renderPassThrough(int pos, int count) {
    std::transform(input_ + pos, input_ + pos + count, outputs[0] + pos, sample_guard::bounded);
    announce(inputMoving_);
    if (inputMoving_ == 0) {
        countDownToIdle(count);
    }
}

void QX_DSP_BiQuad_Multi_Engine::renderSilence(int pos, int count) {
    std::fill_n(outputs[0] + pos, count, 0.0f);
    announce(0);
    countDownToIdle(count);
}

void QX_DSP_BiQuad_Multi_Engine::renderIdle(int, int) { setIdle(); }
