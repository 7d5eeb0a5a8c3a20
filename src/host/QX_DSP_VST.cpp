#include "host/QX_DSP_VST.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "editor/EditorPicture.h"
#include "editor/QX_GUI_Editor.h"
#include "engine/QX_ModuleBase.h"
#include "host/AEffEditor.h"
#include "host/DenormalGuard.h"
#include "host/KeyboardView.h"
#include "params/BankFiles.h"
#include "params/ParameterLookups.h"
#include "params/ProgramUpgrade.h"
#include "platform/Platform.h"

using namespace vst;

namespace {

constexpr int32 kNumInputs = 2;
constexpr int32 kNumOutputs = 2;
constexpr int32 kUniqueId = fourCC('Q', 'm', 'v', 'D');
constexpr int32 kVendorVersion = 2410;
constexpr const char* kEffectName = "Velkor_2_Demo";
constexpr const char* kVendorName = "Quillmont";
constexpr std::size_t kEffectNameChars = 32;
constexpr std::size_t kVendorChars = 64;
constexpr std::size_t kParameterNameChars = 20;
constexpr std::size_t kDisplayBuffer = 9;  // 8 characters and the terminator
constexpr int kMidiChannels = 16;
constexpr int kMemberChannels = 15;

constexpr const char* kFactoryBankResource = "VST_PatchMemoryBanks.mem";
constexpr const char* kDefaultBankFile = "Banks/Default.Bnk";
constexpr const char* kMemoryDumpFile = "VST_PatchMemoryBanks.mem";

constexpr int kMinimumSampleRate = 200;
constexpr int kDefaultSampleRate = 44100;
constexpr float kFadeMs = 21.0f;
constexpr int kAllNotesOff = 0x7BB0;  // controller 123 on channel 1
constexpr int kKeyboardClear = -1;
constexpr std::uint32_t kKeyboardNoteOffDelay = 220;  // samples

// Per-channel MPE values: bend centre, pressure and slide of member channel c at base + c.
constexpr int kMpeBendBase = 403;
constexpr int kMpePressureBase = 418;
constexpr int kMpeSlideBase = 433;
constexpr int kMpeSlideController = 74;
constexpr int kMpeModeUnknown = -1;  // no block processed since the engine was built

// NRPN controllers, and the offset that keeps NRPN numbers apart from plain controllers.
constexpr int kNrpnNumberMsb = 99;
constexpr int kNrpnNumberLsb = 98;
constexpr int kDataEntryMsb = 6;
constexpr int kDataEntryLsb = 38;
constexpr int kNrpnControllerOffset = 200;
constexpr int kNrpnMax = 16383;
constexpr int kModulationWheel = 1;
constexpr int kAllSoundOff = 120;
constexpr int kAllNotesOffController = 123;

// EQ band frequencies answer controllers on a fourth-power curve.
constexpr int kEqBandFrequencies[] = {196, 199, 202};

constexpr const char* kCanDoYes[] = {"receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo"};
constexpr const char* kCanDoNo[] = {"sendVstMidiEvent", "sendVstEvents", "offline", "bypass", "midiProgramNames"};

void copyText(char* destination, const char* source, std::size_t capacity) {
    std::size_t length = 0;
    while (length + 1 < capacity && source[length] != '\0') {
        ++length;
    }
    std::memcpy(destination, source, length);
    destination[length] = '\0';
}

float sanitise(float value) { return std::isfinite(value) ? std::clamp(value, 0.0f, 1.0f) : 0.0f; }

class AudioThreadScope {
public:
    explicit AudioThreadScope(std::atomic<std::thread::id>& slot) : slot_(slot) {
        slot_.store(std::this_thread::get_id(), std::memory_order_release);
    }
    ~AudioThreadScope() { slot_.store(std::thread::id{}, std::memory_order_release); }
    AudioThreadScope(const AudioThreadScope&) = delete;
    AudioThreadScope& operator=(const AudioThreadScope&) = delete;

private:
    std::atomic<std::thread::id>& slot_;
};

}  // namespace

QX_DSP_VST::QX_DSP_VST(HostCallback master)
    : AudioEffectX(master, kProgramCount, kHostParameterCount),
      globalRecord_(&programs_.record(0)),
      currentRecord_(&programs_.record(0)),
      lookups_(ParameterLookups::get()),
      chunkCopy_(std::make_unique<std::uint8_t[]>(kBankBytes)) {
    curProgram = 0;
    programsAreChunks(true);
    // Before the first program is applied, so the editor hears every value from the start.
    guiEditor_ = new QX_GUI_Editor(*this);
    setEditor(guiEditor_);
    loadFactoryBank();
    loadDefaultBank();
    updateRateFigures();
    if (sampleRateInt != rates.sampleRate()) {
        buildRateTables();
    }
    setNumInputs(kNumInputs);
    setNumOutputs(kNumOutputs);
    setUniqueID(kUniqueId);
    isSynth(true);
    noTail(false);
    canProcessReplacing(true);
    wantEvents(1);
    applyProgram(0);
}

QX_DSP_VST::~QX_DSP_VST() {
    // The editor's window thread calls into this object: it stops before anything here goes.
    guiEditor_->close();
    destroyEngine();
}

void QX_DSP_VST::loadFactoryBank() {
    programs_.loadImage(platform::findResource(kFactoryBankResource));
}

void QX_DSP_VST::loadDefaultBank() {
    const std::string path = platform::userFolder() + kDefaultBankFile;
    if (BankFiles::loadFile(programs_, BankFiles::Format::Bank, 0, path) != kLoadSucceeded) {
        return;
    }
    programs_.spreadControllerMap();
    if (char* slot = textSlotOf(0)) {
        copyText(slot, path.c_str(), kTextSlotBytes);
    }
}

void QX_DSP_VST::updateRateFigures() {
    const float rate = getSampleRate();
    sampleRateInt = std::isfinite(rate) && rate >= 1.0f && rate < 1.0e7f ? static_cast<int>(rate) : 0;
    halfSampleRate = sampleRateInt / 2;
    samplesPerMs = static_cast<float>(sampleRateInt) * 0.001f;
}

// ---------------------------------------------------------------- audio

bool QX_DSP_VST::mayTouchEngine() const {
    // Event lists belong to the audio thread while the engine runs; other threads leave marks.
    if (audioThread_.load(std::memory_order_acquire) == std::this_thread::get_id()) {
        return true;
    }
    return moduleCount == 0 || engineSuspended.load(std::memory_order_acquire);
}

void QX_DSP_VST::startAudioBlock() {
    if (resetPending_.exchange(false, std::memory_order_acq_rel)) {
        for (int i = 0; i < moduleCount; ++i) {
            modules[i]->reset();
        }
    }
    sendPendingParameters();
}

void QX_DSP_VST::processReplacing(float** inputs, float** outputs, int32 frames) {
    if (outputs == nullptr || outputs[0] == nullptr || outputs[1] == nullptr || frames <= 0) {
        return;
    }
    DenormalGuard denormals;
    AudioThreadScope audioThread(audioThread_);
    float* left = outputs[0];
    float* right = outputs[1];
    QX_ModuleBase* last = moduleCount > 0 ? modules[moduleCount - 1] : nullptr;
    const float* engineLeft = last != nullptr ? last->getOutput(0) : nullptr;
    const float* engineRight = last != nullptr ? last->getOutput(1) : nullptr;
    if (engineLeft == nullptr || engineRight == nullptr) {
        std::fill(left, left + frames, 0.0f);
        std::fill(right, right + frames, 0.0f);
        return;
    }
    startAudioBlock();
    const float* inLeft = inputs != nullptr ? inputs[0] : nullptr;
    const float* inRight = inputs != nullptr ? inputs[1] : nullptr;
    int done = 0;
    while (done < frames) {
        const int chunk = std::min({frames - done, kMaxChunk, engineBlockLength - ringPos});
        for (int c = 0; c < 2; ++c) {
            const float* in = c == 0 ? inLeft : inRight;
            if (hostInputs[c] == nullptr) {
                continue;
            }
            if (in != nullptr) {
                std::copy(in + done, in + done + chunk, hostInputs[c] + ringPos);
            } else {
                std::fill(hostInputs[c] + ringPos, hostInputs[c] + ringPos + chunk, 0.0f);
            }
        }
        const int position = ringPos;
        runChunk(chunk);
        std::copy(engineLeft + position, engineLeft + position + chunk, left + done);
        std::copy(engineRight + position, engineRight + position + chunk, right + done);
        done += chunk;
    }
    applyProgramFade(left, right, frames);
    checkMpeMode();
}

void QX_DSP_VST::applyProgramFade(float* left, float* right, int frames) {
    const int state = fadeState_.load(std::memory_order_acquire);
    if (state == 1) {
        fadeStep_ = 1000.0f / (static_cast<float>(sampleRateInt) * kFadeMs);
        if (fadeGain_ == 1.0f) {
            // The block that sees the request still plays unscaled; the notes are told to stop.
            fadeGain_ -= fadeStep_;
            sendAllNotesOff();
            return;
        }
        for (int i = 0; i < frames; ++i) {
            fadeGain_ = std::max(fadeGain_ - fadeStep_, 0.0f);
            left[i] *= fadeGain_;
            right[i] *= fadeGain_;
        }
        if (fadeGain_ == 0.0f) {
            applyProgram(currentProgram_.load(std::memory_order_acquire));
            fadeState_.store(2, std::memory_order_release);
        }
    } else if (state == 2) {
        for (int i = 0; i < frames; ++i) {
            fadeGain_ = std::min(fadeGain_ + fadeStep_, 1.0f);
            left[i] *= fadeGain_;
            right[i] *= fadeGain_;
        }
        if (fadeGain_ == 1.0f) {
            // Only leave the fade if no new request arrived meanwhile.
            int expected = 2;
            fadeState_.compare_exchange_strong(expected, 0, std::memory_order_acq_rel);
        }
    }
}

void QX_DSP_VST::sendAllNotesOff() {
    sendParameterEvent(0, kParamHostMidi, kEventStill, kAllNotesOff, 0.0f);
    if (keyboardView_ != nullptr) {
        keyboardView_->showKey(kKeyboardClear);
    }
}

void QX_DSP_VST::checkMpeMode() {
    if (mpeMode == lastMpeMode_) {
        return;
    }
    // A freshly built engine has nothing to silence but the notes of its first block, which an
    // all-notes-off would cut: the first check only takes the mode.
    const bool firstCheck = lastMpeMode_ == kMpeModeUnknown;
    lastMpeMode_ = mpeMode;
    if (!firstCheck) {
        sendAllNotesOff();
    }
    for (int c = 1; c <= kMemberChannels; ++c) {
        setParameter(kMpeBendBase + c, 0.5f);
        setParameter(kMpePressureBase + c, 0.0f);
        setParameter(kMpeSlideBase + c, 0.0f);
    }
}

// ---------------------------------------------------------------- MIDI

int32 QX_DSP_VST::processEvents(VstEvents* events) {
    AudioThreadScope audioThread(audioThread_);
    startAudioBlock();
    bool bendSeen = false;
    bool pressureSeen = false;
    bool modulationSeen = false;
    const int32 count = std::max<int32>(events->numEvents, 0);
    for (int32 e = 0; e < count; ++e) {
        const VstEvent* event = events->events[e];
        if (event == nullptr || event->type != kVstMidiType) {
            continue;
        }
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
        const int status = static_cast<unsigned char>(midi->midiData[0]);
        const int d1 = static_cast<unsigned char>(midi->midiData[1]) & 0x7F;
        const int d2 = static_cast<unsigned char>(midi->midiData[2]) & 0x7F;
        const std::uint32_t time = sampleClock + static_cast<std::uint32_t>(std::max<int32>(midi->deltaFrames, 0));
        handleMidiMessage(status, d1, d2, time, bendSeen, pressureSeen, modulationSeen);
    }
    if (bendSeen) {
        setParameter(kParamPitchBend, pitchBend_);
    }
    if (modulationSeen) {
        setParameter(kParamModulation, modulation_);
    }
    if (pressureSeen) {
        setParameter(kParamChannelPressure, pressure_);
    }
    return 1;
}

void QX_DSP_VST::handleMidiMessage(int status, int d1, int d2, std::uint32_t time, bool& bendSeen,
                                   bool& pressureSeen, bool& modulationSeen) {
    const int kind = status & 0xF0;
    const int channel = status & 0x0F;
    if (kind == 0xF0 || kind < 0x80) {
        return;
    }
    if (mpeMode == 0) {
        if (static_cast<unsigned>(midiChannel) < kMidiChannels) {
            if (channel != midiChannel) {
                return;
            }
        } else {
            status = kind;
        }
    } else if (channel == 0) {
        if (kind == 0x80 || kind == 0x90) {
            return;
        }
    } else {
        const std::uint32_t savedClock = sampleClock;
        sampleClock = time;
        const bool swapped = mpeSwapPressureSlide != 0;
        if (kind == 0xE0) {
            setParameter(kMpeBendBase + channel, static_cast<float>(d2 * 128 + d1) / 16384.0f);
        } else if (kind == 0xD0) {
            setParameter((swapped ? kMpeSlideBase : kMpePressureBase) + channel, static_cast<float>(d1) / 127.0f);
        } else if (kind == 0xB0 && d1 == kMpeSlideController) {
            setParameter((swapped ? kMpePressureBase : kMpeSlideBase) + channel, static_cast<float>(d2) / 127.0f);
        }
        sampleClock = savedClock;
        if (kind != 0x80 && kind != 0x90) {
            return;
        }
    }
    switch (kind) {
        case 0xC0:
            setProgram(d1 & 0x7F);
            return;
        case 0xE0:
            pitchBend_ = static_cast<float>(d2 * 128 + d1) / 16384.0f;
            bendSeen = true;
            return;
        case 0xD0:
            pressure_ = static_cast<float>(d1) / 127.0f;
            pressureSeen = true;
            return;
        default:
            break;
    }
    if (kind == 0xB0 && d1 == kModulationWheel) {
        modulation_ = static_cast<float>(d2) / 127.0f;
        modulationSeen = true;
    }
    sendParameterEvent(time, kParamHostMidi, kEventStill, packMidi(status, d1, d2), 0.0f);
    if (keyboardView_ != nullptr) {
        if (kind == 0x90 && d2 != 0) {
            keyboardView_->showKey(d1 + 256);
        } else if (kind == 0x80 || kind == 0x90) {
            keyboardView_->showKey(d1);
        } else if (kind == 0xB0 && (d1 == kAllSoundOff || d1 == kAllNotesOffController)) {
            keyboardView_->showKey(kKeyboardClear);
            return;
        }
    }
    if (kind == 0xB0) {
        handleController(d1, d2, time);
    }
}

void QX_DSP_VST::handleController(int controller, int value, std::uint32_t time) {
    switch (controller) {
        case kNrpnNumberMsb:
            nrpnNumberMsb_ = static_cast<std::int8_t>(value);
            return;
        case kNrpnNumberLsb:
            nrpnNumberLsb_ = static_cast<std::int8_t>(value);
            return;
        case kDataEntryLsb:
            nrpnDataLsb_ = static_cast<std::int8_t>(value);
            return;
        case kDataEntryMsb: {
            nrpnDataMsb_ = static_cast<std::int8_t>(value);
            const int number = nrpnNumberMsb_ * 128 + nrpnNumberLsb_;
            if (number >= 0 && number <= kNrpnMax) {
                const int code = number + kNrpnControllerOffset;
                lastController.store(code, std::memory_order_relaxed);
                const float data = static_cast<float>(nrpnDataMsb_ * 128 + nrpnDataLsb_) / 16383.0f;
                applyController(code, data, time);
                return;
            }
            break;
        }
        default:
            break;
    }
    lastController.store(controller, std::memory_order_relaxed);
    applyController(controller, static_cast<float>(value) / 127.0f, time);
}

void QX_DSP_VST::applyController(int controller, float value, std::uint32_t time) {
    const std::uint32_t savedClock = sampleClock;
    sampleClock = time;
    for (int p = 0; p < kHostParameterCount; ++p) {
        const std::uint16_t assigned =
            std::atomic_ref<std::uint16_t>(globalRecord_->controllers[p]).load(std::memory_order_relaxed);
        if (assigned != controller) {
            continue;
        }
        const bool quartic = std::find(std::begin(kEqBandFrequencies), std::end(kEqBandFrequencies), p) !=
                             std::end(kEqBandFrequencies);
        setParameter(p, quartic ? value * value * value * value : value);
    }
    sampleClock = savedClock;
}

void QX_DSP_VST::keyboardNote(int code, float value) {
    if (engineSuspended.load(std::memory_order_acquire) || !mayTouchEngine()) {
        return;
    }
    const int note = code & 0x7F;
    if (code & 256) {
        sendParameterEvent(sampleClock, kParamKeyboardMidi, kEventStill,
                           packMidi(0x90 + keyboardChannel, note, keyboardVelocityOn), value);
    } else {
        sendParameterEvent(sampleClock + kKeyboardNoteOffDelay, kParamKeyboardMidi, kEventStill,
                           packMidi(0x80 + keyboardChannel, note, keyboardVelocityOff), value);
    }
}

// ---------------------------------------------------------------- parameters

ProgramRecord& QX_DSP_VST::recordOf(int index) {
    return lookups_.isGlobal(index) ? *globalRecord_ : *currentRecord_.load(std::memory_order_acquire);
}

void QX_DSP_VST::deliverParameter(int index, float value) {
    if (mayTouchEngine()) {
        paramValues[index] = value;
        sendParameterEvent(sampleClock, index, kEventStill, parameterEventInteger(index, value), value);
    } else {
        markParameterPending(index, value);
    }
}

void QX_DSP_VST::setParameter(int32 index, float value) {
    if (index < 0 || index >= kParameterCount) {
        return;
    }
    if (index == kParamPresetName) {
        deliverParameter(index, std::isfinite(value) ? std::clamp(value, 0.0f, 127.0f) : 0.0f);
        return;
    }
    const float normalised = lookups_.snap(index, sanitise(value));
    if (index < kHostParameterCount) {
        ProgramMemory::setValue(recordOf(index), index, normalised);
    }
    notifyEditor(index, normalised);
    deliverParameter(index, lookups_.engineeringValue(index, normalised));
}

void QX_DSP_VST::setParameterFromModule(int index, float value, bool send) {
    if (index < 0 || index >= kParameterCount || !std::isfinite(value)) {
        return;
    }
    const float normalised = lookups_.normalisedFromEngineering(index, value);
    notifyEditor(index, normalised);
    if (index < kHostParameterCount) {
        ProgramMemory::setValue(recordOf(index), index, normalised);
    }
    if (!mayTouchEngine()) {
        // Only the audio thread writes engineering values while the engine runs.
        markParameterPending(index, value);
        return;
    }
    paramValues[index] = value;
    if (send) {
        sendParameterEvent(0, index, kEventStill, tenths(value), value);
    }
}

float QX_DSP_VST::getParameter(int32 index) {
    if (index < 0 || index >= kHostParameterCount) {
        return 0.0f;
    }
    return ProgramMemory::value(recordOf(index), index);
}

void QX_DSP_VST::getParameterName(int32 index, char* text) {
    if (index < 0 || index >= kHostParameterCount) {
        copyText(text, "z-", kParameterNameChars + 1);
        return;
    }
    const ControlDescriptor* row = lookups_.descriptor(index);
    copyText(text, row != nullptr && row->name != nullptr ? row->name : "z|", kParameterNameChars + 1);
}

void QX_DSP_VST::getParameterLabel(int32, char* label) { *label = '\0'; }

void QX_DSP_VST::getParameterDisplay(int32 index, char* text) {
    if (index < 0 || index >= kHostParameterCount) {
        *text = '\0';
        return;
    }
    const float normalised = ProgramMemory::value(recordOf(index), index);
    lookups_.display(index, normalised, textSlotOf(index), text, kDisplayBuffer);
}

bool QX_DSP_VST::canParameterBeAutomated(int32 index) {
    constexpr int32 kAutomatableParameters = 242;
    return index >= 0 && index < kAutomatableParameters;
}

void QX_DSP_VST::notifyEditor(int index, float value) {
    if (guiEditor_ != nullptr) {
        guiEditor_->setParameter(index, value);
    }
}

char* QX_DSP_VST::textSlotOf(int index) {
    const int slot = lookups_.textSlot(index);
    if (slot == kNoTextSlot || (slot & ~kGlobalTextSlot) >= kTextSlots ||
        lookups_.descriptor(index)->kind > control::kLastTextSlotKind) {
        return nullptr;
    }
    ProgramRecord& record = (slot & kGlobalTextSlot) ? *globalRecord_ : *currentRecord_.load(std::memory_order_acquire);
    return record.text[slot & ~kGlobalTextSlot];
}

void* QX_DSP_VST::programStorage(int index) {
    if (index < 0 || index > control::kLastStoreParameter) {
        return nullptr;
    }
    const ControlDescriptor* row = lookups_.descriptor(index);
    if (row == nullptr) {
        return nullptr;
    }
    const int slot = lookups_.textSlot(index);
    if (slot == kNoTextSlot) {
        return nullptr;
    }
    const int number = slot & ~kGlobalTextSlot;
    ProgramRecord& record = (slot & kGlobalTextSlot) ? *globalRecord_ : *currentRecord_.load(std::memory_order_acquire);
    if (row->kind == control::kDataStore512Kind && number < kDataStores512) {
        return record.data512[number];
    }
    if (row->kind == control::kDataStore2048Kind && number == 0) {
        return record.data2048;
    }
    return number < kTextSlots ? record.text[number] : nullptr;
}

void QX_DSP_VST::setProgramText(const char* text, int slot) {
    ProgramRecord& record = slot < 0 ? *globalRecord_ : programs_.record(curProgram);
    const int number = (slot & 0xFF) % kTextSlots;
    copyText(record.text[number], text, kTextSlotBytes);
}

void QX_DSP_VST::getProgramText(char* text, int slot) {
    const ProgramRecord& record = slot < 0 ? *globalRecord_ : programs_.record(curProgram);
    const int number = (slot & 0xFF) % kTextSlots;
    copyText(text, record.text[number], kTextSlotBytes);
}

void QX_DSP_VST::setParameterController(int index, int controller) {
    if (index < 0 || index >= kHostParameterCount) {
        return;
    }
    for (int p = 0; p < kProgramCount; ++p) {
        std::atomic_ref<std::uint16_t>(programs_.record(p).controllers[index])
            .store(static_cast<std::uint16_t>(controller), std::memory_order_relaxed);
    }
}

int QX_DSP_VST::getParameterController(int index) {
    if (index < 0 || index >= kHostParameterCount) {
        return -1;
    }
    return std::atomic_ref<std::uint16_t>(globalRecord_->controllers[index]).load(std::memory_order_relaxed);
}

void QX_DSP_VST::requestLink(const char* link) { requestedLink_.store(link, std::memory_order_release); }

const char* QX_DSP_VST::takeRequestedLink() { return requestedLink_.exchange(nullptr, std::memory_order_acq_rel); }

bool QX_DSP_VST::readHostTime(HostTime& time) {
    const VstTimeInfo* info = getTimeInfo(kVstTempoValid);
    if (info == nullptr) {
        return false;
    }
    time.tempoValid = (info->flags & kVstTempoValid) != 0 && std::isfinite(info->tempo) && info->tempo > 0.0;
    if (time.tempoValid) {
        time.tempo = info->tempo;
    }
    time.ppqPosition = std::isfinite(info->ppqPos) ? info->ppqPos : 0.0;
    time.samplePosition = std::isfinite(info->samplePos) ? info->samplePos : 0.0;
    time.playing = (info->flags & kVstTransportPlaying) != 0;
    return true;
}

// ---------------------------------------------------------------- programs

int32 QX_DSP_VST::getProgram() { return currentProgram_.load(std::memory_order_acquire); }

void QX_DSP_VST::setProgram(int32 program) {
    if (program < 0 || program >= kProgramCount) {
        return;
    }
    currentProgram_.store(program, std::memory_order_release);
    if (audioNotRunning.load(std::memory_order_acquire)) {
        applyProgram(program);
        return;
    }
    fadeState_.store(1, std::memory_order_release);
}

void QX_DSP_VST::applyProgram(int program) {
    if (program < 0 || program >= kProgramCount) {
        return;
    }
    curProgram = program;
    currentRecord_.store(&programs_.record(program), std::memory_order_release);
    programLoading.store(true, std::memory_order_release);
    programJustLoaded.store(true, std::memory_order_release);
    ProgramUpgrade::upgradeProgram(programs_.record(program));
    const bool wasSuspended = engineSuspended.exchange(false, std::memory_order_acq_rel);
    if (mayTouchEngine()) {
        for (int i = 0; i < moduleCount; ++i) {
            modules[i]->reset();
        }
    } else {
        resetPending_.store(true, std::memory_order_release);
    }
    for (int p = 0; p < kHostParameterCount; ++p) {
        setParameter(p, ProgramMemory::value(recordOf(p), p));
    }
    engineSuspended.store(wasSuspended, std::memory_order_release);
    programLoading.store(false, std::memory_order_release);
    notifyEditor(kParamPresetName, static_cast<float>(program));
}

void QX_DSP_VST::setProgramName(char* name) {
    const int program = currentProgram_.load();
    copyText(programs_.record(program).name, name, kProgramNameChars + 1);
    notifyEditor(kParamPresetName, static_cast<float>(program));
}

void QX_DSP_VST::getProgramName(char* name) {
    copyText(name, programs_.record(currentProgram_.load()).name, kProgramNameChars + 1);
}

bool QX_DSP_VST::getProgramNameIndexed(int32, int32 index, char* text) {
    if (index < 0 || index >= kProgramCount) {
        return false;
    }
    copyText(text, programs_.record(index).name, kProgramNameChars + 1);
    return true;
}

char* QX_DSP_VST::currentProgramName() { return programs_.record(currentProgram_.load()).name; }

char* QX_DSP_VST::programName(int program) { return programs_.record(program).name; }

void QX_DSP_VST::reloadProgram() { setProgram(currentProgram_.load()); }

void QX_DSP_VST::nextProgram() {
    const int program = currentProgram_.load();
    if (program < kProgramCount - 1) {
        setProgram(program + 1);
    }
}

void QX_DSP_VST::previousProgram() {
    const int program = currentProgram_.load();
    if (program > 0) {
        setProgram(program - 1);
    }
}

int QX_DSP_VST::programSize() { return static_cast<int>(kProgramBytes); }

int QX_DSP_VST::bankSize() { return static_cast<int>(kBankBytes); }

bool QX_DSP_VST::dumpProgramMemory() {
    return BankFiles::dumpFile(programs_, platform::userFolder() + kMemoryDumpFile);
}

int32 QX_DSP_VST::getChunk(void** data, bool isPreset) {
    // The host gets a still copy: the audio thread may change values while the host saves.
    std::lock_guard<std::mutex> lock(chunkMutex_);
    const std::size_t offset = isPreset ? ProgramMemory::offsetOf(currentProgram_.load()) : 0;
    const std::size_t size = isPreset ? kProgramBytes : kBankBytes;
    programs_.copyOut(offset, size, chunkCopy_.get());
    *data = chunkCopy_.get();
    return static_cast<int32>(size);
}

int32 QX_DSP_VST::setChunk(void* data, int32 size, bool) {
    std::lock_guard<std::mutex> lock(chunkMutex_);
    if (size == static_cast<int32>(kProgramBytes)) {
        char bankFile[kTextSlotBytes] = {};
        if (const char* slot = textSlotOf(0)) {
            copyText(bankFile, slot, kTextSlotBytes);
        }
        programs_.copyIn(ProgramMemory::offsetOf(currentProgram_.load()), data, kProgramBytes);
        if (char* slot = textSlotOf(0)) {
            copyText(slot, bankFile, kTextSlotBytes);
        }
    } else if (size > 0) {
        programs_.copyIn(0, data, static_cast<std::size_t>(size));
    }
    programs_.spreadControllerMap();
    programs_.terminateTexts();
    if (fadeState_.load(std::memory_order_acquire) != 1) {
        setProgram(currentProgram_.load());
    }
    return size;
}

// ---------------------------------------------------------------- lifecycle

void QX_DSP_VST::setSampleRate(float rate) {
    AudioEffect::setSampleRate(rate);
    updateRateFigures();
    if (sampleRateInt != builtSampleRate && sampleRateInt >= kMinimumSampleRate) {
        buildRateTables();
    }
}

void QX_DSP_VST::setBlockSize(int32 size) {
    AudioEffect::setBlockSize(size);
    engineBlockLength = std::min(size, kMaxChunk);
}

void QX_DSP_VST::suspend() {
    engineSuspended.store(true, std::memory_order_release);
    for (int i = 0; i < moduleCount; ++i) {
        modules[i]->suspendHook();
    }
    sampleClock = 1;
    ringPos = 0;
    audioNotRunning.store(true, std::memory_order_release);
}

void QX_DSP_VST::resume() {
    lastController.store(-1, std::memory_order_relaxed);
    if (sampleRateInt < kMinimumSampleRate) {
        sampleRateInt = kDefaultSampleRate;
        halfSampleRate = sampleRateInt / 2;
        samplesPerMs = static_cast<float>(sampleRateInt) * 0.001f;
    }
    if (rates.sampleRate() != sampleRateInt) {
        buildRateTables();
    }
    if (engineBlockLength < 1) {
        engineBlockLength = 1;
    }
    if (engineBlockLength == builtBlockLength && sampleRateInt == builtSampleRate && moduleCount > 0) {
        for (int i = 0; i < moduleCount; ++i) {
            modules[i]->resumeHook();
        }
        engineSuspended.store(false, std::memory_order_release);
        return;
    }
    builtBlockLength = engineBlockLength;
    builtSampleRate = sampleRateInt;
    blockMs = static_cast<float>(engineBlockLength) * 1000.0f / static_cast<float>(sampleRateInt);
    destroyEngine();
    programJustLoaded.store(true, std::memory_order_release);
    audioNotRunning.store(true, std::memory_order_release);
    // The engine is rebuilt with the host's processing stopped, so this thread owns it now.
    engineSuspended.store(true, std::memory_order_release);
    buildEngine();
    lastMpeMode_ = kMpeModeUnknown;
    for (int i = 0; i < moduleCount; ++i) {
        modules[i]->prepare();
    }
    setParameterFromModule(kParamBlockMs, blockMs, false);
    for (int p = 0; p < kParameterCount; ++p) {
        const float value = paramValues[p];
        sendParameterEvent(sampleClock, p, kEventStill, tenths(value), value);
    }
    engineSuspended.store(false, std::memory_order_release);
}

// ---------------------------------------------------------------- identity

bool QX_DSP_VST::getInputProperties(int32 index, VstPinProperties* properties) {
    if (index < 0 || index > 1) {
        return false;
    }
    copyText(properties->label, index == 0 ? "Left In" : "Right In", sizeof properties->label);
    properties->flags = kVstPinIsActive | kVstPinIsStereo;
    properties->arrangementType = kSpeakerArrStereo;
    return true;
}

bool QX_DSP_VST::getOutputProperties(int32 index, VstPinProperties* properties) {
    if (index < 0 || index > 1) {
        return false;
    }
    copyText(properties->label, index == 0 ? "Left Out" : "Right Out", sizeof properties->label);
    properties->flags = kVstPinIsActive | kVstPinIsStereo;
    properties->arrangementType = kSpeakerArrStereo;
    return true;
}

bool QX_DSP_VST::getEffectName(char* name) {
    copyText(name, kEffectName, kEffectNameChars);
    return true;
}

bool QX_DSP_VST::getVendorString(char* text) {
    copyText(text, kVendorName, kVendorChars);
    return true;
}

bool QX_DSP_VST::getProductString(char* text) {
    copyText(text, kEffectName, kVendorChars);
    return true;
}

int32 QX_DSP_VST::getVendorVersion() { return kVendorVersion; }

int32 QX_DSP_VST::canDo(const char* text) {
    for (const char* yes : kCanDoYes) {
        if (std::strcmp(text, yes) == 0) {
            return 1;
        }
    }
    for (const char* no : kCanDoNo) {
        if (std::strcmp(text, no) == 0) {
            return -1;
        }
    }
    return 0;
}

int32 QX_DSP_VST::getPlugCategory() { return kPlugCategSynth; }

intptr QX_DSP_VST::vendorSpecific(int32 index, intptr, void* ptr, float) {
    if (index == EditorPicture::kCall && ptr != nullptr) {
        return guiEditor_->drawPicture(*static_cast<EditorPicture*>(ptr)) ? 1 : 0;
    }
    return 0;
}

int32 QX_DSP_VST::getNumMidiInputChannels() { return kMidiChannels; }

int32 QX_DSP_VST::getNumMidiOutputChannels() { return 0; }

bool QX_DSP_VST::getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output) {
    speakerArrangement_.type = kSpeakerArrStereo;
    speakerArrangement_.numChannels = 2;
    *input = &speakerArrangement_;
    *output = &speakerArrangement_;
    return true;
}
