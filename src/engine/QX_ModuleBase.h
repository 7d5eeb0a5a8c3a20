// Base of every engine module: wiring, timed events, render-routine dispatch and the sleep and
// idle flags. The core runs a module only through process().
#pragma once

#include <cstdint>

#include "engine/Event.h"

class QX_EngineHost;

constexpr int kModulePins = 64;        // inputs and outputs per module
constexpr int kParameterSlots = 48;    // registered parameters per module

// Bits of the core's per-module flag word.
constexpr std::uint32_t kModuleIdle = 1;    // nothing to render
constexpr std::uint32_t kModuleAsleep = 2;  // voice not in use

// Where an output is wired to: one module, or `copies` modules `stride` apart (a voice group).
struct FanOutNode {
    std::uint16_t moduleIndex;
    std::uint16_t pin;
    std::uint16_t copies;
    std::uint16_t stride;
    FanOutNode* next;
};

class QX_ModuleBase {
public:
    using RenderRoutine = void (QX_ModuleBase::*)(int pos, int count);

    QX_ModuleBase(QX_EngineHost* host, bool asleep);
    QX_ModuleBase(const QX_ModuleBase&) = delete;
    QX_ModuleBase& operator=(const QX_ModuleBase&) = delete;

    // Virtual operations in their fixed slot order; derived classes append their own.
    virtual void onHostNotify(int value);
    virtual ~QX_ModuleBase();
    virtual void render(int pos, int count);
    virtual void renderAlt(int pos, int count);
    virtual void prepare();
    virtual void release();
    virtual void suspendHook();
    virtual void resumeHook();
    virtual void sleep();
    virtual void fadeRequest();
    virtual void setBufferLength(int length);
    virtual void process(int pos, int count);
    virtual void handleEvent(const Event& event, int pos);
    virtual float* getOutput(int output);
    virtual void receiveEvent(std::uint32_t time, int pin, int kind, std::int32_t ivalue, float fvalue,
                              void* data);
    virtual void sendEvent(std::uint32_t time, int output, int kind, std::int32_t ivalue, float fvalue,
                           void* data);
    virtual void connect(QX_ModuleBase* dest, int destIndex, int output, int pin, int copies, int stride,
                         int copyIndex);
    virtual void onOutputConnected(int output);
    virtual void registerVoiceModule(QX_ModuleBase* module, int output, int pin, int copyIndex);
    virtual void connectVoiceSource(QX_ModuleBase* allocator, int sourceIndex, int copies, int stride,
                                    int output, int pin);
    virtual void setInput(int pin, const float* source);
    virtual void registerParameter(int position, int index, int flag);
    virtual void reset();
    virtual void setRenderRoutine(RenderRoutine routine);

    // Lets a derived class name one of its own member functions as the render routine.
    template <class Module>
    void useRender(void (Module::*routine)(int, int)) {
        setRenderRoutine(static_cast<RenderRoutine>(routine));
    }

    std::uint32_t flags() const;
    const Event* pendingEvents() const;

    float* outputs[kModulePins] = {};
    const float* inputs[kModulePins] = {};
    std::uint16_t parameterSlots[kParameterSlots] = {};
    std::uint8_t parameterSlotFlags[kParameterSlots] = {};
    QX_ModuleBase* inputSources[kModulePins] = {};
    FanOutNode* fanOut[kModulePins] = {};
    QX_EngineHost* host;
    std::uint32_t localTime;
    int blockLength;
    int moduleId = -1;
    int moduleIndex;
    RenderRoutine renderRoutine = &QX_ModuleBase::render;

protected:
    // A zeroed output buffer of blockLength + 4 floats, 16-byte aligned, freed with the module.
    float* makeOutput(int output);
    void setIdle();
    void clearIdle();

private:
    Event* eventTail_ = nullptr;
    std::uint64_t ownedOutputs_ = 0;
};
