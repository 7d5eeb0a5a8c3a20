// What the MIDI-learn panel needs from the plug-in: the controller map, the controller received
// last and the parameters' names.
#pragma once

#include <string_view>

class MidiLearnTarget {
public:
    virtual ~MidiLearnTarget() = default;

    // The code mapped to parameter `id`: a controller number, 200 + an NRPN number, or -1 for none.
    virtual int assignedCode(int id) = 0;
    // Maps `code` (-1: none) to parameter `id` in every program.
    virtual void assign(int id, int code) = 0;
    // The code of the controller received last, -1 when none arrived since the last clear.
    virtual int lastController() = 0;
    virtual void clearLastController() = 0;
    virtual std::string_view parameterName(int id) = 0;
};
