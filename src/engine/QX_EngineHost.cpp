#include "engine/QX_EngineHost.h"

#include <algorithm>
#include <cmath>

#include "engine/GraphBuilder.h"
#include "engine/QX_ModuleBase.h"
#include "engine/SharedSynthTables.h"
#include "engine/ShippedNetlist.h"

namespace {

// Events a build must always be able to hold on top of the bound parameters: MIDI from the host
// and the signals modules send each other within a block.
constexpr std::size_t kEventsPerModule = 8;
constexpr std::size_t kMidiEventReserve = 4096;

}  // namespace

QX_EngineHost::QX_EngineHost() : synthTables_(SharedSynthTables::acquire()), netlist_(shippedNetlist()) {
    std::fill(std::begin(moduleFlags), std::end(moduleFlags), kModuleIdle | kModuleAsleep);
    reserveEventPool();
    buildRateTables();
}

QX_EngineHost::~QX_EngineHost() {
    destroyEngine();
    SharedSynthTables::release();
}

void QX_EngineHost::requestLink(const char*) {}

void QX_EngineHost::sendParameterEvent(std::uint32_t time, int index, int kind, std::int32_t ivalue,
                                       float fvalue) {
    if (index < 0 || index >= kParameterCount) {
        return;
    }
    // All copies of a voice group get the change or none does, so voices never disagree.
    if (eventPool.available() < static_cast<std::size_t>(bindingTargets_[index])) {
        markParameterPending(index, paramValues[index]);
        return;
    }
    void* data = parameterData(index);
    for (const BindingNode* node = paramBindings[index]; node != nullptr; node = node->next) {
        const int copies = node->copies == 0 ? 1 : node->copies;
        for (int k = 0; k < copies; ++k) {
            modules[node->moduleIndex + k * node->stride]->receiveEvent(time, node->pin, kind, ivalue, fvalue,
                                                                       data);
        }
    }
}

void QX_EngineHost::bindParameter(QX_ModuleBase* module, int moduleIndex, int index, int pin, int copies,
                                  int stride, int copyIndex) {
    if (index < 0 || index >= kParameterCount) {
        return;
    }
    if (copies == 0 || copyIndex == 0) {
        if (BindingNode* node = newBindingNode()) {
            *node = BindingNode{static_cast<std::uint16_t>(moduleIndex), static_cast<std::uint16_t>(pin),
                                static_cast<std::uint16_t>(copies), static_cast<std::uint16_t>(stride), nullptr};
            BindingNode** tail = &paramBindings[index];
            while (*tail != nullptr) {
                tail = &(*tail)->next;
            }
            *tail = node;
            bindingTargets_[index] += copies == 0 ? 1 : copies;
        }
    }
    module->setInput(pin, &paramValues[index]);
}

int QX_EngineHost::buildEngine() {
    destroyEngine();  // a build over a live engine would leak it
    std::fill(std::begin(paramBindings), std::end(paramBindings), nullptr);
    std::fill(std::begin(bindingTargets_), std::end(bindingTargets_), 0);
    fanOutUsed_ = 0;
    bindingUsed_ = 0;
    GraphBuilder builder(*this);
    const int count = builder.build(netlist_);
    reserveEventPool();
    return count;
}

void QX_EngineHost::destroyEngine() {
    for (int i = moduleCount; i-- > 0;) {
        modules[i]->release();
    }
    for (int i = moduleCount; i-- > 0;) {
        delete modules[i];
        modules[i] = nullptr;
        moduleFlags[i] = kModuleIdle | kModuleAsleep;
    }
    moduleCount = 0;
    hostInputs[0] = hostInputs[1] = nullptr;
}

void QX_EngineHost::runChunk(int count) {
    for (int i = 0; i < moduleCount; ++i) {
        if (moduleFlags[i] != 0 && eventQueues[i] == nullptr) {
            continue;
        }
        modules[i]->process(ringPos, count);
    }
    ringPos += count;
    if (ringPos >= engineBlockLength) {
        ringPos = 0;
    }
    sampleClock += static_cast<std::uint32_t>(count);
    programJustLoaded.store(false, std::memory_order_relaxed);
    audioNotRunning.store(false, std::memory_order_relaxed);
}

void QX_EngineHost::markParameterPending(int index, float value) {
    if (index < 0 || index >= kParameterCount) {
        return;
    }
    pendingValues_[index].store(value, std::memory_order_relaxed);
    pendingParameters_[index / 32].fetch_or(1u << (index % 32), std::memory_order_release);
}

std::int32_t QX_EngineHost::parameterEventInteger(int index, float value) {
    return index == kParamPresetName ? static_cast<std::int32_t>(value) : tenths(value);
}

void QX_EngineHost::sendPendingParameters() {
    for (int word = 0; word < static_cast<int>(std::size(pendingParameters_)); ++word) {
        std::uint32_t bits = pendingParameters_[word].exchange(0, std::memory_order_acquire);
        while (bits != 0) {
            const int bit = __builtin_ctz(bits);
            bits &= bits - 1;
            const int index = word * 32 + bit;
            const float value = pendingValues_[index].load(std::memory_order_relaxed);
            paramValues[index] = value;
            sendParameterEvent(sampleClock, index, kEventStill, parameterEventInteger(index, value), value);
        }
    }
}

FanOutNode* QX_EngineHost::newFanOutNode() {
    return fanOutUsed_ < kFanOutCapacity ? &fanOutNodes_[fanOutUsed_++] : nullptr;
}

BindingNode* QX_EngineHost::newBindingNode() {
    return bindingUsed_ < kBindingCapacity ? &bindingNodes_[bindingUsed_++] : nullptr;
}

void* QX_EngineHost::parameterData(int index) {
    if (void* storage = programStorage(index)) {
        return storage;
    }
    return &paramValues[index];
}

void QX_EngineHost::reserveEventPool() {
    // Worst case: every bound input receives a program apply and a re-send of the same values
    // before the next chunk, on top of MIDI and module traffic.
    std::size_t bound = 0;
    for (int count : bindingTargets_) {
        bound += static_cast<std::size_t>(count);
    }
    eventPool.reserve(2 * bound + kEventsPerModule * kMaxModules + kMidiEventReserve);
}
