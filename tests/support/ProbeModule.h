// A module that records what the engine does to it: every render piece and every event, and
// writes the engine time of each sample to its outputs 0 and 1.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/QX_EngineHost.h"

class ProbeModule : public QX_ModuleBase {
public:
    ProbeModule(QX_EngineHost* host, bool asleep = false);

    void render(int pos, int count) override;
    void handleEvent(const Event& event, int pos) override;
    void reset() override;

    struct Piece {
        int pos;
        int count;
        std::uint32_t time;
    };
    struct Handled {
        std::uint32_t time;  // the module's time when it handled the event
        int pos;
        int pin;
        int kind;
        std::int32_t ivalue;
        float fvalue;
    };
    std::vector<Piece> pieces;
    std::vector<Handled> events;
    int resets = 0;
    float constantOutput = -1.0f;  // >= 0: write this instead of the time
};

// Adds a probe after the last module of a built engine; it becomes the engine's output.
ProbeModule* appendProbe(QX_EngineHost& engine);
