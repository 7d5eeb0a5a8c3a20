// The engine-facing half of the plug-in core: the module list, the event plumbing, parameter
// bindings, engine time and the status flags that modules read through their `host` pointer.
// The VST side (QX_DSP_VST) derives from it; modules never see anything above this class.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/EventPool.h"
#include "engine/QX_ModuleBase.h"
#include "engine/Netlist.h"
#include "engine/RateTables.h"
#include "engine/SharedRandom.h"

class SharedSynthTables;

constexpr int kMaxModules = 1400;
constexpr int kParameterCount = 451;        // ids 0..450
constexpr int kHostParameterCount = 333;    // ids 0..332 are seen by the host and stored in programs
constexpr int kMaxChunk = 128;              // samples per engine chunk
constexpr int kModuleBufferSpare = 4;       // floats past the ring in every module buffer

// Parameters the core itself drives.
constexpr int kParamKeyboardMidi = 334;
constexpr int kParamHostMidi = 335;
constexpr int kParamChannelPressure = 338;
constexpr int kParamPitchBend = 339;
constexpr int kParamModulation = 340;
constexpr int kParamBlockMs = 385;
constexpr int kParamPresetName = 401;

// One module input bound to a parameter; copies > 0 covers a whole voice group.
struct BindingNode {
    std::uint16_t moduleIndex;
    std::uint16_t pin;
    std::uint16_t copies;
    std::uint16_t stride;
    BindingNode* next;
};

// Host transport as the tempo modules read it once per chunk.
struct HostTime {
    double tempo = 120.0;     // beats per minute
    double ppqPosition = 0.0;
    double samplePosition = 0.0;
    bool tempoValid = false;
    bool playing = false;
};

class QX_EngineHost {
public:
    QX_EngineHost();
    QX_EngineHost(const QX_EngineHost&) = delete;
    QX_EngineHost& operator=(const QX_EngineHost&) = delete;
    virtual ~QX_EngineHost();

    // Calls the engine makes upwards; the plug-in answers them.
    virtual void setParameterFromModule(int index, float value, bool send) = 0;
    virtual void notifyEditor(int index, float value) = 0;
    virtual bool readHostTime(HostTime& time) = 0;
    // Program selection from inside the engine (the program-select pin of the control modules).
    virtual void setProgram(std::int32_t program) = 0;
    virtual std::int32_t getProgram() = 0;
    // A link (text that lives as long as the program) for the user-interface side to open; an
    // engine without a user interface drops it.
    virtual void requestLink(const char* link);

    void sendParameterEvent(std::uint32_t time, int index, int kind, std::int32_t ivalue, float fvalue);
    void bindParameter(QX_ModuleBase* module, int moduleIndex, int index, int pin, int copies, int stride,
                       int copyIndex);
    int buildEngine();
    void destroyEngine();

    // Runs every module over one chunk that never crosses the end of the ring, then moves time on.
    void runChunk(int count);

    // Parameter events that could not be delivered at once (another thread, or a full event pool)
    // are marked here and sent by the audio thread at the start of its next block. Only the audio
    // thread writes paramValues while the engine runs; other threads leave their value here.
    void markParameterPending(int index, float value);
    void sendPendingParameters();
    // The integer that travels beside a parameter value: tenths, or the program number for 401.
    static std::int32_t parameterEventInteger(int index, float value);

    void setNetlist(Netlist netlist) { netlist_ = netlist; }

    // Build-time arenas for the wiring lists.
    FanOutNode* newFanOutNode();
    BindingNode* newBindingNode();

    void* parameterData(int index);  // what a parameter event's `data` points at

    const SharedSynthTables* synthTables() const { return synthTables_; }
    void buildRateTables() { rates.build(sampleRateInt); }

    EventPool eventPool;
    std::uint64_t droppedEvents = 0;  // module-to-module events lost to a full pool

    // Engine
    QX_ModuleBase* modules[kMaxModules] = {};
    int moduleCount = 0;
    std::uint32_t moduleFlags[kMaxModules];
    Event* eventQueues[kMaxModules] = {};
    std::uint16_t moduleIndexById[kNetlistEnd - kFirstModuleId] = {};
    BindingNode* paramBindings[kParameterCount] = {};
    float paramValues[kParameterCount] = {};
    int builtBlockLength = 0;
    int builtSampleRate = 0;

    // Timing
    std::uint32_t sampleClock = 1;
    int ringPos = 0;
    int engineBlockLength = 0;
    int sampleRateInt = 44100;
    int halfSampleRate = 22050;
    float samplesPerMs = 44.1f;
    float blockMs = 0.0f;
    float* hostInputs[2] = {};
    // Read by inputs wired to an output that has no buffer (event-only outputs).
    const float silence[kMaxChunk + kModuleBufferSpare] = {};

    // Written by control modules, read by the MIDI intake.
    int midiChannel = -1;
    int mpeMode = 0;
    int mpeSwapPressureSlide = 0;

    // Status flags.
    std::atomic<bool> engineSuspended{false};
    std::atomic<bool> audioNotRunning{true};
    std::atomic<bool> programJustLoaded{false};
    std::atomic<bool> programLoading{false};

    RateTables rates;
    // Drawn by every module of this instance in processing order, so draws are reproducible.
    SharedRandom sharedRandom;

protected:
    // Per-parameter storage for the text and data parameters 0..5; null when there is none.
    virtual void* programStorage(int index) = 0;

private:
    void reserveEventPool();

    const SharedSynthTables* synthTables_;
    Netlist netlist_;
    int bindingTargets_[kParameterCount] = {};  // module inputs each parameter reaches
    std::atomic<std::uint32_t> pendingParameters_[(kParameterCount + 31) / 32] = {};
    std::atomic<float> pendingValues_[kParameterCount] = {};

    static constexpr int kFanOutCapacity = 16384;
    static constexpr int kBindingCapacity = 8192;
    FanOutNode fanOutNodes_[kFanOutCapacity];
    int fanOutUsed_ = 0;
    BindingNode bindingNodes_[kBindingCapacity];
    int bindingUsed_ = 0;
};
