#include "engine/QX_ModuleBase.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "engine/QX_EngineHost.h"

namespace {

// Only these two mixer ids keep audio that must be cleared when a program is applied.
constexpr int kFeedbackMixLeftId = 6245;
constexpr int kFeedbackMixRightId = 6246;
constexpr std::size_t kBufferAlignment = 16;

}  // namespace

QX_ModuleBase::QX_ModuleBase(QX_EngineHost* owner, bool asleep)
    : host(owner),
      localTime(owner->sampleClock),
      blockLength(owner->engineBlockLength),
      moduleIndex(owner->moduleCount) {
    host->eventQueues[moduleIndex] = nullptr;
    host->moduleFlags[moduleIndex] = asleep ? kModuleAsleep : 0;
}

QX_ModuleBase::~QX_ModuleBase() {
    Event* event = host->eventQueues[moduleIndex];
    while (event != nullptr) {
        Event* next = event->next;
        host->eventPool.give(event);
        event = next;
    }
    host->eventQueues[moduleIndex] = nullptr;
    for (int i = 0; i < kModulePins; ++i) {
        if (ownedOutputs_ & (std::uint64_t{1} << i)) {
            ::operator delete[](outputs[i], std::align_val_t{kBufferAlignment});
        }
    }
}

void QX_ModuleBase::onHostNotify(int) {}

void QX_ModuleBase::render(int, int) { setIdle(); }

void QX_ModuleBase::renderAlt(int, int) { setIdle(); }

void QX_ModuleBase::prepare() {}

void QX_ModuleBase::release() {}

void QX_ModuleBase::suspendHook() {}

void QX_ModuleBase::resumeHook() {}

void QX_ModuleBase::sleep() { host->moduleFlags[moduleIndex] |= kModuleAsleep; }

void QX_ModuleBase::fadeRequest() {}

void QX_ModuleBase::setBufferLength(int length) { blockLength = length; }

void QX_ModuleBase::process(int pos, int count) {
    localTime = host->sampleClock;
    const std::uint32_t end = localTime + static_cast<std::uint32_t>(count);
    int p = pos;
    int remaining = count;
    Event*& queue = host->eventQueues[moduleIndex];
    while (queue != nullptr && static_cast<std::int32_t>(queue->time - end) < 0) {
        Event* event = queue;
        queue = event->next;
        if (queue == nullptr) {
            eventTail_ = nullptr;
        }
        const std::int32_t due = static_cast<std::int32_t>(event->time - localTime);
        if (due > 0) {
            if (host->moduleFlags[moduleIndex] == 0) {
                (this->*renderRoutine)(p, due);
            }
            p += due;
            remaining -= due;
            localTime += static_cast<std::uint32_t>(due);
        }
        clearIdle();
        handleEvent(*event, p);
        host->eventPool.give(event);
    }
    if (remaining >= 1 && host->moduleFlags[moduleIndex] == 0) {
        (this->*renderRoutine)(p, remaining);
    }
}

void QX_ModuleBase::handleEvent(const Event&, int) {}

float* QX_ModuleBase::getOutput(int output) {
    return output >= 0 && output < kModulePins ? outputs[output] : nullptr;
}

void QX_ModuleBase::receiveEvent(std::uint32_t time, int pin, int kind, std::int32_t ivalue, float fvalue,
                                 void* data) {
    Event* event = host->eventPool.take();
    if (event == nullptr) {
        ++host->droppedEvents;
        return;
    }
    // Time 0 means "at once". The clock wraps after 2^32 samples, so times are compared by their
    // difference, and a literal 0 would otherwise land in the far future half of the time.
    if (time == 0) {
        time = host->sampleClock - 1;
    }
    *event = Event{time, static_cast<std::uint16_t>(pin), static_cast<std::uint16_t>(kind), ivalue, fvalue,
                   data, nullptr};
    Event*& queue = host->eventQueues[moduleIndex];
    // Most events arrive in time order, so the tail is the usual place; equal times stay FIFO.
    if (queue == nullptr) {
        queue = event;
        eventTail_ = event;
        return;
    }
    if (static_cast<std::int32_t>(time - eventTail_->time) >= 0) {
        eventTail_->next = event;
        eventTail_ = event;
        return;
    }
    if (static_cast<std::int32_t>(time - queue->time) < 0) {
        event->next = queue;
        queue = event;
        return;
    }
    Event* before = queue;
    while (before->next != nullptr && static_cast<std::int32_t>(time - before->next->time) >= 0) {
        before = before->next;
    }
    event->next = before->next;
    before->next = event;
}

void QX_ModuleBase::sendEvent(std::uint32_t time, int output, int kind, std::int32_t ivalue, float fvalue,
                              void* data) {
    for (const FanOutNode* node = fanOut[output]; node != nullptr; node = node->next) {
        const int copies = node->copies == 0 ? 1 : node->copies;
        for (int k = 0; k < copies; ++k) {
            host->modules[node->moduleIndex + k * node->stride]->receiveEvent(time, node->pin, kind, ivalue,
                                                                             fvalue, data);
        }
    }
}

void QX_ModuleBase::connect(QX_ModuleBase* dest, int destIndex, int output, int pin, int copies, int stride,
                            int copyIndex) {
    dest->inputSources[pin] = this;
    onOutputConnected(output);
    if (copies == 0 || copyIndex == 0) {
        if (FanOutNode* node = host->newFanOutNode()) {
            *node = FanOutNode{static_cast<std::uint16_t>(destIndex), static_cast<std::uint16_t>(pin),
                               static_cast<std::uint16_t>(copies), static_cast<std::uint16_t>(stride), nullptr};
            FanOutNode** tail = &fanOut[output];
            while (*tail != nullptr) {
                tail = &(*tail)->next;
            }
            *tail = node;
        }
    }
    // An output that only sends events still gives its readers something safe to read.
    dest->setInput(pin, outputs[output] != nullptr ? outputs[output] : host->silence);
}

void QX_ModuleBase::onOutputConnected(int) {}

void QX_ModuleBase::registerVoiceModule(QX_ModuleBase*, int, int, int) {}

void QX_ModuleBase::connectVoiceSource(QX_ModuleBase*, int, int, int, int, int) {}

void QX_ModuleBase::setInput(int pin, const float* source) { inputs[pin] = source; }

void QX_ModuleBase::registerParameter(int position, int index, int flag) {
    if (position < 0 || position >= kParameterSlots) {
        return;
    }
    parameterSlots[position] = static_cast<std::uint16_t>(index);
    parameterSlotFlags[position] = static_cast<std::uint8_t>(flag);
}

void QX_ModuleBase::reset() {
    if (moduleId != kFeedbackMixLeftId && moduleId != kFeedbackMixRightId) {
        return;
    }
    for (int i = 0; i < 2; ++i) {
        if (outputs[i] != nullptr) {
            std::memset(outputs[i], 0, sizeof(float) * static_cast<std::size_t>(blockLength));
        }
    }
}

void QX_ModuleBase::setRenderRoutine(RenderRoutine routine) { renderRoutine = routine; }

std::uint32_t QX_ModuleBase::flags() const { return host->moduleFlags[moduleIndex]; }

const Event* QX_ModuleBase::pendingEvents() const { return host->eventQueues[moduleIndex]; }

float* QX_ModuleBase::makeOutput(int output) {
    const std::size_t count = static_cast<std::size_t>(blockLength + kModuleBufferSpare);
    auto* buffer = static_cast<float*>(::operator new[](sizeof(float) * count, std::align_val_t{kBufferAlignment}));
    std::memset(buffer, 0, sizeof(float) * count);
    if (ownedOutputs_ & (std::uint64_t{1} << output)) {
        ::operator delete[](outputs[output], std::align_val_t{kBufferAlignment});
    }
    outputs[output] = buffer;
    ownedOutputs_ |= std::uint64_t{1} << output;
    return buffer;
}

void QX_ModuleBase::setIdle() { host->moduleFlags[moduleIndex] |= kModuleIdle; }

void QX_ModuleBase::clearIdle() { host->moduleFlags[moduleIndex] &= ~kModuleIdle; }
