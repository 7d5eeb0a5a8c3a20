// An engine without the VST side, for driving modules through events in tests: modules are
// added by hand and run chunk by chunk as the core runs them.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "engine/QX_EngineHost.h"

class TestEngine : public QX_EngineHost {
public:
    explicit TestEngine(int blockLength = 128, int sampleRate = 44100);
    ~TestEngine() override;

    // Makes a module in the next free slot, as the graph builder would.
    template <class Module, class... Args>
    Module* add(Args&&... args) {
        auto* module = new Module(this, std::forward<Args>(args)...);
        modules[moduleCount] = module;
        ++moduleCount;
        return module;
    }

    // Runs `frames` samples in chunks that never cross the end of the ring.
    void run(int frames);
    void prepareAll();

    void setParameterFromModule(int index, float value, bool send) override;
    void notifyEditor(int index, float value) override;
    bool readHostTime(HostTime& time) override;
    void setProgram(std::int32_t program) override;
    std::int32_t getProgram() override { return currentProgram; }

    struct ModuleParameter {
        int index;
        float value;
        bool send;
    };
    std::vector<ModuleParameter> moduleParameters;
    std::vector<int> programRequests;
    std::int32_t currentProgram = 0;
    HostTime hostTime;
    bool hostTimeAvailable = true;

protected:
    void* programStorage(int index) override;
};
