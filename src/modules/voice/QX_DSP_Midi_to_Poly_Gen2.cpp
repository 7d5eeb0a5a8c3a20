#include "modules/voice/QX_DSP_Midi_to_Poly_Gen2.h"

#include <algorithm>
#include <cmath>

#include "engine/QX_EngineHost.h"
#include "modules/voice/QX_DSP_Midi_Adder.h"

using namespace midi_word;

namespace {

constexpr int kMonoVoice = 0;
constexpr int kFirstGlideNote = 60;
constexpr int kSampleRateToTenMs = 100;  // sample rate / 100 = samples in 10 ms

// Engine pitch: 0.1 per octave, note 9 (13.75 Hz) at 0.
float pitchOf(int note) { return static_cast<float>(note - 9) / 120.0f; }

}  // namespace

QX_DSP_Midi_to_Poly_Gen2::QX_DSP_Midi_to_Poly_Gen2(QX_EngineHost* owner, bool asleep)
    : QX_VoiceAllocatorBase(owner, asleep) {}

void QX_DSP_Midi_to_Poly_Gen2::prepare() {
    keys_.clearKeys();
    keys_.clearVoices();
    voices_.clear();
    stack_.clear();
    stackNote_ = -1;
    lastStartTime_ = 0;
    glideFromNote_ = kFirstGlideNote;
    mono_ = 0;
    legato_ = 0;
    sustain_ = 0;
    // 10 ms in samples plus one; never 0, so that a retried note-off always lies ahead.
    tenMs_ = static_cast<std::uint32_t>(std::max(host->sampleRateInt / kSampleRateToTenMs + 1, 1));
}

void QX_DSP_Midi_to_Poly_Gen2::suspendHook() {
    keys_.clearKeys();
    keys_.clearVoices();
    voices_.clear();
    stack_.clear();
    stackNote_ = -1;
    for (int v = 0; v < voices_.count(); ++v) {
        sleepVoice(v);
    }
}

void QX_DSP_Midi_to_Poly_Gen2::handleEvent(const Event& event, int) {
    now_ = localTime;
    switch (event.pin) {
        case kPinMidi:
        case kPinRepostedMidi:
            handleMidi(event.ivalue);
            break;
        case kPinPortamento:
            portamentoMs_ = std::isfinite(event.fvalue) ? event.fvalue : 0.0f;
            break;
        case kPinLegato:
            legato_ = event.ivalue;
            break;
        case kPinMono:
            if (event.ivalue != mono_) {
                changeMono(event.ivalue);
            }
            break;
        case kPinLastNoteMode:
            lastNoteMode_ = event.ivalue;
            if (lastNoteMode_ == 0) {
                stack_.clear();
            }
            break;
        case kPinMpeActive:
            mpe_ = event.ivalue;
            host->mpeMode = event.ivalue;
            break;
        case kPinMpeA74:
            host->mpeSwapPressureSlide = event.ivalue;
            break;
        default:
            break;
    }
}

void QX_DSP_Midi_to_Poly_Gen2::setInput(int pin, const float* source) {
    QX_VoiceAllocatorBase::setInput(pin, source);
    if (pin == kPinRepostedMidi) {
        repostStage_ = dynamic_cast<QX_DSP_Midi_Adder*>(inputSources[kPinRepostedMidi]);
    }
}

// Every output is a buffer like any module's; the allocator only sends events, so its buffers
// stay zero.
void QX_DSP_Midi_to_Poly_Gen2::onOutputConnected(int output) {
    if (outputs[output] == nullptr) {
        makeOutput(output);
    }
}

void QX_DSP_Midi_to_Poly_Gen2::registerVoiceModule(QX_ModuleBase*, int output, int, int) {
    if (output >= 0 && output < kModulePins) {
        usedOutputs_ |= std::uint64_t{1} << output;
    }
}

void QX_DSP_Midi_to_Poly_Gen2::setVoiceGroup(int bodyStart, int copies, int bodyLength) {
    QX_VoiceAllocatorBase::setVoiceGroup(bodyStart, copies, bodyLength);
    voices_.setCount(bodyLength > 0 ? copies : 0);
}

std::uint32_t QX_DSP_Midi_to_Poly_Gen2::voiceState(int voice) const {
    return voices_.has(voice) ? voices_.state(voice) : QX_VoiceTable::kFree;
}

void QX_DSP_Midi_to_Poly_Gen2::markVoiceFading(int voice) {
    if (voices_.has(voice)) {
        voices_.markFading(voice);
    }
}

// ---------------------------------------------------------------- voice life cycle

void QX_DSP_Midi_to_Poly_Gen2::voiceFinished(int voice, std::uint32_t time) {
    if (!voices_.has(voice)) {
        return;
    }
    now_ = time;
    const std::int32_t pending = voices_.pending(voice);
    if (pending == 0) {
        voices_.setState(voice, voices_.state(voice) & QX_VoiceTable::kNoteBits);
        freeVoice(voice);
        return;
    }
    voices_.dropPending(voice);
    noteOn(pending, voice);
    clearIdle();
}

void QX_DSP_Midi_to_Poly_Gen2::voiceSilent(int voice) {
    if (voices_.has(voice)) {
        freeVoice(voice);
    }
}

void QX_DSP_Midi_to_Poly_Gen2::freeVoice(int voice) {
    // A voice being stolen is freed or restarted by the end of its fade, not here.
    if (voices_.stealing(voice)) {
        return;
    }
    unmapVoiceNote(voice);
    voices_.setState(voice, QX_VoiceTable::kFree);
    sleepVoice(voice);
}

void QX_DSP_Midi_to_Poly_Gen2::unmapVoiceNote(int voice) { keys_.unmap(voices_.note(voice), voice); }

int QX_DSP_Midi_to_Poly_Gen2::voiceModuleBegin(int voice) const {
    return std::clamp(groupStart() + voice * groupBodyLength(), 0, host->moduleCount);
}

int QX_DSP_Midi_to_Poly_Gen2::voiceModuleEnd(int voice) const {
    return std::clamp(groupStart() + (voice + 1) * groupBodyLength(), 0, host->moduleCount);
}

void QX_DSP_Midi_to_Poly_Gen2::wakeVoice(int voice) {
    for (int m = voiceModuleBegin(voice); m < voiceModuleEnd(voice); ++m) {
        host->moduleFlags[m] &= ~kModuleAsleep;
    }
}

void QX_DSP_Midi_to_Poly_Gen2::sleepVoice(int voice) {
    for (int m = voiceModuleBegin(voice); m < voiceModuleEnd(voice); ++m) {
        if (QX_ModuleBase* module = host->modules[m]) {
            module->sleep();
        }
    }
}

// Events reach the module of this voice's copy behind each fan-out node; a module outside the
// voice group wired to an output hears every voice.
void QX_DSP_Midi_to_Poly_Gen2::sendToVoice(int voice, int output, std::int32_t ivalue, float fvalue) {
    for (const FanOutNode* node = fanOut[output]; node != nullptr; node = node->next) {
        if (node->copies != 0 && voice >= node->copies) {
            continue;
        }
        const int index = node->moduleIndex + (node->copies != 0 ? voice * node->stride : 0);
        if (index < host->moduleCount && host->modules[index] != nullptr) {
            host->modules[index]->receiveEvent(now_, node->pin, kEventStill, ivalue, fvalue, nullptr);
        }
    }
}

// ---------------------------------------------------------------- MIDI

void QX_DSP_Midi_to_Poly_Gen2::handleMidi(std::int32_t word) {
    if (isAllNotesOff(word)) {
        allNotesOff();
    } else if ((word & kControllerMask) == kSustainPedal) {
        sustainPedal(data2(word));
    } else if (isNoteOn(word)) {
        noteOn(word, kFromInput);
    } else if (isNoteOff(word)) {
        noteOff(word);
    }
}

void QX_DSP_Midi_to_Poly_Gen2::noteOn(std::int32_t word, int origin) {
    if (voices_.count() == 0) {
        return;
    }
    if (origin >= 0) {
        start(origin, word);
        return;
    }
    const int n = note(word);
    if (mono_ != 0 && keys_.up(n)) {
        const std::uint32_t twoTenMs = 2 * tenMs_;
        if (origin == kFromInput && lastStartTime_ > twoTenMs && now_ - lastStartTime_ < twoTenMs) {
            return;
        }
        if (lastNoteMode_ != 0) {
            stack_.push(word);
        }
    }
    stackNote_ = n;
    if (keys_.up(n)) {
        keys_.addHeld();
    } else if (mono_ == 0) {
        if (sustain_ == 0) {
            return;
        }
        // Re-strike under the pedal: the key stays recorded as released, so lifting the pedal
        // releases the new note too.
        if (keys_.voice(n) >= 0) {
            steal(keys_.voice(n), word);
            return;
        }
    }
    keys_.setState(n, QX_KeyTable::kDown);
    lastStartTime_ = now_;
    if (mono_ != 0) {
        const std::uint32_t state = voices_.state(kMonoVoice);
        const bool restart = (legato_ == 0 || keys_.held() == 1) && state != QX_VoiceTable::kFree;
        if (voices_.stealing(kMonoVoice) || restart) {
            steal(kMonoVoice, word);
            return;
        }
        unmapVoiceNote(kMonoVoice);
        start(kMonoVoice, word);
        return;
    }
    if (const int free = voices_.firstFree(); free >= 0) {
        start(free, word);
    } else if (const int victim = voices_.toSteal(now_); victim >= 0) {
        steal(victim, word);
    }
}

void QX_DSP_Midi_to_Poly_Gen2::steal(int voice, std::int32_t word) {
    const int n = note(word);
    unmapVoiceNote(voice);
    keys_.setVoice(n, voice);
    voices_.markForSteal(voice, n, now_ + tenMs_, word);
}

void QX_DSP_Midi_to_Poly_Gen2::start(int voice, std::int32_t word) {
    const int n = note(word);
    if (mpe_ != 0) {
        sendToVoice(voice, kOutputChannel, channelNibble(word) - 1, 0.0f);
    }
    keys_.setVoice(n, voice);
    lastStartTime_ = now_;
    voices_.start(voice, n, now_);
    wakeVoice(voice);
    const float pitch = pitchOf(n);
    if (outputUsed(kOutputPitch)) {
        sendToVoice(voice, kOutputPitch, n, pitch);
    }
    if (outputUsed(kOutputGlideStart) && portamentoMs_ != 0.0f && !(legato_ != 0 && keys_.held() == 1)) {
        const float from = pitchOf(glideFromNote_);
        if (from != pitch) {
            sendToVoice(voice, kOutputGlideStart, n, from);
        }
    }
    // A legato key pressed while another is held only moves the pitch.
    if (!(mono_ != 0 && legato_ != 0 && keys_.held() != 1)) {
        if (outputUsed(kOutputVelocity)) {
            const float velocity = static_cast<float>(data2(word)) / 127.0f;
            sendToVoice(voice, kOutputVelocity, static_cast<std::int32_t>(velocity * 127.0f), velocity);
        }
        sendToVoice(voice, kOutputGate, static_cast<std::int32_t>(kGateOn), kGateOn);
    }
    glideFromNote_ = n;
}

void QX_DSP_Midi_to_Poly_Gen2::noteOff(std::int32_t word) {
    const int n = note(word);
    if (keys_.up(n)) {
        return;
    }
    if (sustain_ != 0) {
        keys_.setState(n, static_cast<std::uint8_t>(data2(word) + 1));
        return;
    }
    const int voice = keys_.voice(n);
    if (voice >= 0) {
        if (startPending(voice)) {
            retryLater(word);
            return;
        }
        keys_.setVoice(n, -1);
        voices_.setState(voice, QX_VoiceTable::kReleased);
    }
    keys_.setState(n, QX_KeyTable::kUp);
    keys_.dropHeld();
    if (mono_ != 0 && lastNoteMode_ != 0) {
        stack_.removeNote(n);
        if (stackNote_ == n) {
            stackNote_ = -1;
            if (const std::int32_t previous = stack_.pop(); previous != QX_LastNoteStack::kEmpty) {
                // The previous key takes the voice back, so no gate-off is sent.
                keys_.setState(note(previous), QX_KeyTable::kUp);
                noteOn(previous, kFromStack);
                keys_.dropHeld();
                return;
            }
        }
    }
    if (voice >= 0) {
        sendToVoice(voice, kOutputGate, 0, 0.0f);
    }
}

// A voice that started at this very sample, or whose start still waits behind a steal fade.
bool QX_DSP_Midi_to_Poly_Gen2::startPending(int voice) const {
    return voices_.startTime(voice) == now_ || voices_.stealing(voice);
}

void QX_DSP_Midi_to_Poly_Gen2::retryLater(std::int32_t word) {
    const std::uint32_t time = now_ + 2 * tenMs_;
    if (repostStage_ != nullptr) {
        repostStage_->post(time, word);
    } else {
        receiveEvent(time, kPinRepostedMidi, kEventStill, word, 0.0f, nullptr);
    }
}

void QX_DSP_Midi_to_Poly_Gen2::sustainPedal(int value) {
    sustain_ = value;
    if (value != 0) {
        return;
    }
    for (int i = 0; i < kNotes; ++i) {
        if (!keys_.sustained(i)) {
            continue;
        }
        const int voice = keys_.voice(i);
        if (voice >= 0 && voices_.stealing(voice)) {
            // A re-strike still waits for its fade: releasing now would leave the new note
            // sounding without a key, so the release is retried like a late note-off.
            retryLater(packMidi(kNoteOff, i, keys_.state(i) - 1));
            keys_.setState(i, QX_KeyTable::kDown);
            continue;
        }
        keys_.setState(i, QX_KeyTable::kUp);
        keys_.dropHeld();
        if (voice >= 0) {
            keys_.setVoice(i, -1);
            voices_.setState(voice, QX_VoiceTable::kReleased);
            sendToVoice(voice, kOutputGate, 0, 0.0f);
        }
        if (mono_ != 0) {
            stack_.removeNote(i);
        }
    }
}

void QX_DSP_Midi_to_Poly_Gen2::allNotesOff() {
    keys_.clearKeys();
    stackNote_ = -1;
    stack_.clear();
    for (int v = 0; v < voices_.count(); ++v) {
        // A note waiting behind a steal fade would otherwise start after everything was stopped.
        voices_.dropPending(v);
        sendToVoice(v, kOutputGate, 0, 0.0f);
        for (int m = voiceModuleBegin(v); m < voiceModuleEnd(v); ++m) {
            QX_ModuleBase* module = host->modules[m];
            if (module != nullptr && (host->moduleFlags[m] & kModuleAsleep) == 0) {
                module->fadeRequest();
            }
        }
    }
}

void QX_DSP_Midi_to_Poly_Gen2::changeMono(std::int32_t value) {
    mono_ = value;
    for (int v = 0; v < voices_.count(); ++v) {
        if (voices_.state(v) == QX_VoiceTable::kFree) {
            continue;
        }
        unmapVoiceNote(v);
        voices_.markForSteal(v, static_cast<int>(voices_.state(v) & QX_VoiceTable::kNoteBits), now_ + tenMs_, 0);
    }
    stackNote_ = -1;
    stack_.clear();
}
