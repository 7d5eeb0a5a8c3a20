// The plug-in object: owns program memory and the engine, and turns every host call into work
// for the engine (chunked processing, MIDI intake, parameters, programs and chunks).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "engine/QX_EngineHost.h"
#include "host/AudioEffectX.h"
#include "params/ProgramMemory.h"

class KeyboardView;
class ParameterLookups;
class QX_GUI_Editor;

class QX_DSP_VST : public AudioEffectX, public QX_EngineHost {
public:
    explicit QX_DSP_VST(vst::HostCallback audioMaster);
    ~QX_DSP_VST() override;

    // Host-facing operations.
    void processReplacing(float** inputs, float** outputs, vst::int32 frames) override;
    vst::int32 processEvents(vst::VstEvents* events) override;
    void setParameter(vst::int32 index, float value) override;
    float getParameter(vst::int32 index) override;
    void getParameterName(vst::int32 index, char* text) override;
    void getParameterLabel(vst::int32 index, char* label) override;
    void getParameterDisplay(vst::int32 index, char* text) override;
    vst::int32 getProgram() override;
    void setProgram(vst::int32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    bool getProgramNameIndexed(vst::int32 category, vst::int32 index, char* text) override;
    vst::int32 getChunk(void** data, bool isPreset) override;
    vst::int32 setChunk(void* data, vst::int32 size, bool isPreset) override;
    void suspend() override;
    void resume() override;
    void setSampleRate(float rate) override;
    void setBlockSize(vst::int32 size) override;
    bool canParameterBeAutomated(vst::int32 index) override;
    bool getInputProperties(vst::int32 index, vst::VstPinProperties* properties) override;
    bool getOutputProperties(vst::int32 index, vst::VstPinProperties* properties) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    vst::int32 getVendorVersion() override;
    vst::int32 canDo(const char* text) override;
    vst::int32 getPlugCategory() override;
    vst::intptr vendorSpecific(vst::int32 index, vst::intptr value, void* ptr, float opt) override;
    vst::int32 getNumMidiInputChannels() override;
    vst::int32 getNumMidiOutputChannels() override;
    bool getSpeakerArrangement(vst::VstSpeakerArrangement** input, vst::VstSpeakerArrangement** output) override;

    // The plug-in's own operations (editor, modules, MIDI learn).
    virtual void setProgramText(const char* text, int slot);
    virtual void getProgramText(char* text, int slot);
    virtual void setParameterController(int index, int controller);
    virtual int getParameterController(int index);
    virtual char* currentProgramName();
    virtual char* programName(int program);
    void setParameterFromModule(int index, float value, bool send) override;
    void notifyEditor(int index, float value) override;
    virtual void reloadProgram();
    virtual void nextProgram();
    virtual void previousProgram();
    virtual int programSize();
    virtual int bankSize();
    // Writes the whole program memory, without magic, as "VST_PatchMemoryBanks.mem" in the user
    // folder; false when it cannot be written.
    virtual bool dumpProgramMemory();
    virtual void keyboardNote(int code, float value);

    bool readHostTime(HostTime& time) override;
    // The link module names links; the editor's idle pass, on whichever thread runs it, takes and
    // opens them. One slot: a second link before the first is taken replaces it.
    void requestLink(const char* link) override;
    const char* takeRequestedLink();

    void setKeyboardView(KeyboardView* view) { keyboardView_ = view; }
    ProgramMemory& programMemory() { return programs_; }
    // The "BankFile" text (a global slot, so it lives in program 0).
    char* bankFileText() { return textSlotOf(0); }
    int fadeStateNow() const { return fadeState_.load(std::memory_order_relaxed); }
    float fadeGainNow() const { return fadeGain_; }

    // Plain controller number, or NRPN number + 200; written by the MIDI thread, read and cleared
    // by the editor's learn panel.
    std::atomic<int> lastController{-1};
    int keyboardVelocityOn = 90;
    int keyboardVelocityOff = 64;
    int keyboardChannel = 1;

protected:
    void* programStorage(int index) override;

private:
    void applyProgram(int program);
    void applyProgramFade(float* left, float* right, int frames);
    void checkMpeMode();
    void sendAllNotesOff();
    void handleMidiMessage(int status, int d1, int d2, std::uint32_t time, bool& bendSeen, bool& pressureSeen,
                           bool& modulationSeen);
    void handleController(int controller, int value, std::uint32_t time);
    void applyController(int controller, float value, std::uint32_t time);
    void deliverParameter(int index, float value);
    void startAudioBlock();
    bool mayTouchEngine() const;
    ProgramRecord& recordOf(int index);
    char* textSlotOf(int index);
    void loadFactoryBank();
    void loadDefaultBank();
    void updateRateFigures();

    ProgramMemory programs_;
    ProgramRecord* globalRecord_;
    std::atomic<ProgramRecord*> currentRecord_;
    std::atomic<int> currentProgram_{0};
    const ParameterLookups& lookups_;

    // Program-change fade
    float fadeGain_ = 1.0f;
    float fadeStep_ = 0.0f;
    std::atomic<int> fadeState_{0};  // 0 none, 1 fading out, 2 fading in

    // MIDI intake
    int lastMpeMode_ = -1;
    std::int8_t nrpnNumberLsb_ = 0;
    std::int8_t nrpnNumberMsb_ = -1;
    std::int8_t nrpnDataLsb_ = 0;
    std::int8_t nrpnDataMsb_ = 0;
    float pitchBend_ = 0.5f;
    float pressure_ = 0.0f;
    float modulation_ = 0.0f;

    QX_GUI_Editor* guiEditor_ = nullptr;  // owned through the base class's editor pointer
    KeyboardView* keyboardView_ = nullptr;
    std::atomic<std::thread::id> audioThread_{};
    std::atomic<bool> resetPending_{false};
    std::atomic<const char*> requestedLink_{nullptr};
    vst::VstSpeakerArrangement speakerArrangement_{};
    std::mutex chunkMutex_;  // keeps two non-audio callers of the chunk calls apart
    std::unique_ptr<std::uint8_t[]> chunkCopy_;
};
