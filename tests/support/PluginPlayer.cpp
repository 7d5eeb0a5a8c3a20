#include "support/PluginPlayer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "host/QX_DSP_VST.h"

namespace {

constexpr int kFirstSoundParameter = 3;  // 0..2 are the bank file and text slots
constexpr int kParameters = 333;
constexpr std::size_t kDisplayChars = 8;  // a host's display string holds no more

}  // namespace

PluginPlayer::PluginPlayer(float rate, int block) : sampleRate(rate), blockSize(block) {
    if (host.open() == nullptr) {
        ADD_FAILURE() << "the plug-in refused to open";
        return;
    }
    for (int i = kFirstSoundParameter; i < kParameters; ++i) {
        host.effect->setParameter(host.effect, i, 0.0f);
    }
    host.timeInfo.sampleRate = rate;
}

int PluginPlayer::parameterIndex(std::string_view name) {
    for (int i = 0; i < kParameters; ++i) {
        if (host.text(vst::effGetParamName, i) == name) {
            return i;
        }
    }
    ADD_FAILURE() << "no parameter named " << name;
    return -1;
}

void PluginPlayer::set(std::string_view name, float normalised) {
    const int index = parameterIndex(name);
    if (index >= 0) {
        host.effect->setParameter(host.effect, index, normalised);
    }
}

void PluginPlayer::setShown(std::string_view name, std::string_view shown) {
    const int index = parameterIndex(name);
    if (index < 0) {
        return;
    }
    std::string wanted(shown.substr(0, kDisplayChars));
    wanted.erase(wanted.find_last_not_of(' ') + 1);
    const float before = host.effect->getParameter(host.effect, index);
    constexpr int kSteps = 4000;
    for (int step = 0; step <= kSteps; ++step) {
        const float value = static_cast<float>(step) / kSteps;
        host.effect->setParameter(host.effect, index, value);
        std::string text = host.text(vst::effGetParamDisplay, index);
        text.erase(text.find_last_not_of(' ') + 1);
        text.erase(0, text.find_first_not_of(' '));
        if (text == wanted) {
            return;
        }
    }
    host.effect->setParameter(host.effect, index, before);
    ADD_FAILURE() << name << " never shows " << shown;
}

void PluginPlayer::setPlainSine() {
    set("Osc1 Mix", 1.0f);
    set("Amp Sustain %", 1.0f);
    set("LPF Cutoff", 1.0f);
    set("Filter Track", 0.5f);  // no key tracking
    setShown("Play Mode", "Poly");
    set("Gain", 0.7f);
    set("Master Volume %", 0.8f);
    set("Master Pan", 0.5f);
    set("Pan Tracking %", 0.5f);
    setShown("Osc Octave", "0");
    setShown("Wave 2 Semi", "0");
    set("Wave 2 Tune", 0.5f);  // 0 cents
    for (const char* band : {"EQ 1 Gain dB", "EQ 2 Gain dB", "EQ 3 Gain dB"}) {
        set(band, 0.5f);
    }
}

void PluginPlayer::setTempo(double bpm) {
    host.timeInfo.tempo = bpm;
    host.timeInfo.flags = vst::kVstTempoValid | vst::kVstTransportPlaying | vst::kVstPpqPosValid;
}

void PluginPlayer::start() { host.start(sampleRate, blockSize); }

void PluginPlayer::midi(std::int64_t frame, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    EXPECT_GE(frame, rendered()) << "MIDI in the past";
    Timed timed{frame, {status, data1, data2}};
    const auto at = std::upper_bound(pending_.begin(), pending_.end(), frame,
                                     [](std::int64_t f, const Timed& t) { return f < t.frame; });
    pending_.insert(at, timed);
}

void PluginPlayer::renderUntil(std::int64_t frames) {
    while (rendered() < frames) {
        const std::int64_t blockStart = rendered();
        const int count = static_cast<int>(std::min<std::int64_t>(blockSize, frames - blockStart));
        std::vector<std::vector<std::uint8_t>> messages;
        std::vector<int> deltas;
        auto due = pending_.begin();
        while (due != pending_.end() && due->frame < blockStart + count) {
            messages.push_back({due->bytes[0], due->bytes[1], due->bytes[2]});
            deltas.push_back(static_cast<int>(due->frame - blockStart));
            ++due;
        }
        pending_.erase(pending_.begin(), due);
        if (!messages.empty()) {
            host.sendMidi(messages, deltas);
        }
        host.timeInfo.samplePos = static_cast<double>(blockStart);
        host.timeInfo.ppqPos = static_cast<double>(blockStart) / sampleRate * host.timeInfo.tempo / 60.0;
        std::vector<float> inL(static_cast<std::size_t>(count), 0.0f);
        std::vector<float> inR(static_cast<std::size_t>(count), 0.0f);
        for (int i = 0; i < count; ++i) {
            const auto at = static_cast<std::size_t>(blockStart + i);
            inL[static_cast<std::size_t>(i)] = at < inputLeft.size() ? inputLeft[at] : 0.0f;
            inR[static_cast<std::size_t>(i)] = at < inputRight.size() ? inputRight[at] : 0.0f;
        }
        host.process(count, inL.data(), inR.data());
        left.insert(left.end(), host.outLeft.begin(), host.outLeft.end());
        right.insert(right.end(), host.outRight.begin(), host.outRight.end());
    }
}

int PluginPlayer::awakeModules() {
    QX_DSP_VST& core = pluginOf(host.effect);
    int awake = 0;
    for (int i = 0; i < core.moduleCount; ++i) {
        awake += (core.modules[i]->flags() & kModuleAsleep) == 0 ? 1 : 0;
    }
    return awake;
}

std::int64_t firstAbove(const std::vector<float>& x, float threshold, std::int64_t from) {
    for (auto i = static_cast<std::size_t>(std::max<std::int64_t>(from, 0)); i < x.size(); ++i) {
        if (std::fabs(x[i]) > threshold) {
            return static_cast<std::int64_t>(i);
        }
    }
    return -1;
}

double rmsOf(const std::vector<float>& x, std::int64_t from, std::int64_t to) {
    double sum = 0.0;
    to = std::min<std::int64_t>(to, static_cast<std::int64_t>(x.size()));
    for (std::int64_t i = from; i < to; ++i) {
        sum += static_cast<double>(x[static_cast<std::size_t>(i)]) * x[static_cast<std::size_t>(i)];
    }
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
}
