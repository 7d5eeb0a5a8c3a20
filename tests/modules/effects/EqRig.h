// The EQ as the netlist wires it: one signal source per band feeding a coefficient module
// (frequency in Hz / 10, width, gain value), every band feeding each engine, and an audio source
// before and a recorder after the engines. The peak law in double precision sits beside it.
#pragma once

#include <cmath>
#include <complex>
#include <cstdint>
#include <functional>
#include <numbers>
#include <vector>

#include "modules/effects/QX_DSP_BiQuad_Coeff.h"
#include "modules/effects/QX_DSP_BiQuad_Multi_Engine.h"
#include "modules/sources/SourceRig.h"
#include "support/TestEngine.h"

namespace eq_test {

using Coeff = QX_DSP_BiQuad_Coeff;
using EqEngine = QX_DSP_BiQuad_Multi_Engine;

enum BandSignal : int { kFrequency, kWidth, kGain };

struct Band {
    double hz;
    float width;
    float gain;  // the converter's value: 0 is 0 dB, -0.5..0.5
};

class EqRig {
public:
    EqRig(int bands, int engines = 1, int sampleRate = 44100)
        : engine(128, sampleRate), audio(engine.add<source_rig::SignalSource>(false)) {
        for (int b = 0; b < bands; ++b) {
            sources.push_back(engine.add<source_rig::SignalSource>(false));
            coeffs.push_back(engine.add<Coeff>(false));
        }
        for (int e = 0; e < engines; ++e) {
            eqs.push_back(engine.add<EqEngine>(false));
        }
        recorder = engine.add<source_rig::Recorder>(false);
        for (int b = 0; b < bands; ++b) {
            for (int pin : {Coeff::kPinFrequency, Coeff::kPinWidth, Coeff::kPinGain}) {
                sources[b]->connect(coeffs[b], coeffs[b]->moduleIndex, pin, pin, 0, 0, 0);
            }
            for (EqEngine* eq : eqs) {
                for (int k = 0; k <= Coeff::kStreams; ++k) {
                    coeffs[b]->connect(eq, eq->moduleIndex, k, EqEngine::streamPin(b, k), 0, 0, 0);
                }
            }
        }
        for (int e = 0; e < engines; ++e) {
            audio->connect(eqs[e], eqs[e]->moduleIndex, 0, EqEngine::kPinInput, 0, 0, 0);
            eqs[e]->connect(recorder, recorder->moduleIndex, 0, e, 0, 0, 0);
        }
        engine.prepareAll();
        for (EqEngine* eq : eqs) {
            send(eq, 0, EqEngine::kPinPerSample, 1);
        }
        for (Coeff* c : coeffs) {
            send(c, 0, Coeff::kPinPerSample, 1);
        }
        audio->signal[0] = [](std::uint32_t) { return 0.0f; };
    }

    // An event `offset` samples after the start of the next run.
    void send(QX_ModuleBase* module, int offset, int pin, std::int32_t ivalue, int kind = kEventStill) {
        module->receiveEvent(engine.sampleClock + static_cast<std::uint32_t>(offset), pin, kind, ivalue,
                             static_cast<float>(ivalue), nullptr);
    }

    void setBand(int b, const Band& band, int offset = 0) {
        still(b, kFrequency, static_cast<float>(band.hz / 10.0), offset);
        still(b, kWidth, band.width, offset);
        still(b, kGain, band.gain, offset);
    }

    void still(int b, BandSignal s, float value, int offset = 0) {
        follow(b, s, [value](std::uint32_t) { return value; }, offset, kEventStill);
    }

    // Band b's signal follows `f` from `offset` samples into the next run, announced with `kind`.
    void follow(int b, BandSignal s, std::function<float(std::uint32_t)> f, int offset = 0,
                int kind = kEventMoving) {
        switchSignal(sources[b]->signal[s], std::move(f), offset);
        send(coeffs[b], offset, s, 0, kind);
    }

    // The audio input follows `f`, announced to every engine with `kind`.
    void play(std::function<float(std::uint32_t)> f, int offset = 0, int kind = kEventMoving) {
        switchSignal(audio->signal[0], std::move(f), offset);
        for (EqEngine* eq : eqs) {
            send(eq, offset, EqEngine::kPinInput, 0, kind);
        }
    }

    void run(int frames) { engine.run(frames); }
    const std::vector<float>& out(int e = 0) const { return recorder->samples[e]; }
    bool idle(const QX_ModuleBase* module) const {
        return (engine.moduleFlags[module->moduleIndex] & kModuleIdle) != 0;
    }

    TestEngine engine;
    source_rig::SignalSource* audio;
    std::vector<source_rig::SignalSource*> sources;
    std::vector<Coeff*> coeffs;
    std::vector<EqEngine*> eqs;
    source_rig::Recorder* recorder;

private:
    void switchSignal(std::function<float(std::uint32_t)>& signal, std::function<float(std::uint32_t)> f,
                      int offset) {
        const std::uint32_t from = engine.sampleClock + static_cast<std::uint32_t>(offset);
        std::function<float(std::uint32_t)> before = signal;
        signal = [before, from, f](std::uint32_t t) { return t >= from || !before ? f(t) : before(t); };
    }
};

// Gain of the peak band at `hz`, from the law in double precision with K = tan(pi f / sr).
inline double peakResponse(const Band& band, double hz, int sampleRate) {
    const double k = std::tan(std::numbers::pi * band.hz / sampleRate);
    const double w2 = static_cast<double>(band.width) * band.width;
    const double d = k / (10.0 * w2 * w2 + 0.01);
    const double g = band.gain + 0.5;
    const double a = g * d;
    const double b = (1.001 - g) * d;
    const double n = 1.0 / (1.0 + b + k * k);
    const double c[5] = {(1.0 + k * k + a) * n, 2.0 * (k * k - 1.0) * n, (1.0 + k * k - a) * n,
                         2.0 * (k * k - 1.0) * n, (1.0 + k * k - b) * n};
    const std::complex<double> z1 = std::polar(1.0, -2.0 * std::numbers::pi * hz / sampleRate);
    const std::complex<double> z2 = z1 * z1;
    return std::abs((c[0] + c[1] * z1 + c[2] * z2) / (1.0 + c[3] * z1 + c[4] * z2));
}

// The centre gain the law promises: G / (1.001 - G), G = g + 0.5.
inline double centreGain(float gain) {
    const double g = gain + 0.5;
    return g / (1.001 - g);
}

}  // namespace eq_test
