#include "support/ProbeModule.h"

ProbeModule::ProbeModule(QX_EngineHost* owner, bool asleep) : QX_ModuleBase(owner, asleep) {
    makeOutput(0);
    makeOutput(1);
    pieces.reserve(4096);
    events.reserve(4096);
}

void ProbeModule::render(int pos, int count) {
    pieces.push_back({pos, count, localTime});
    for (int i = 0; i < count; ++i) {
        const float value = constantOutput >= 0.0f ? constantOutput : static_cast<float>(localTime + static_cast<std::uint32_t>(i));
        outputs[0][pos + i] = value;
        outputs[1][pos + i] = value;
    }
}

void ProbeModule::handleEvent(const Event& event, int pos) {
    events.push_back({localTime, pos, event.pin, event.kind, event.ivalue, event.fvalue});
}

void ProbeModule::reset() { ++resets; }

ProbeModule* appendProbe(QX_EngineHost& engine) {
    auto* probe = new ProbeModule(&engine);
    engine.modules[engine.moduleCount] = probe;
    ++engine.moduleCount;
    return probe;
}
