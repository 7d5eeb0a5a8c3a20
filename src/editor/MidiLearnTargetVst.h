// The MIDI-learn panel's view of the plug-in object: its controller map, its last controller
// and the control table's parameter names.
#pragma once

#include "editor/MidiLearnTarget.h"

class QX_DSP_VST;

class MidiLearnTargetVst : public MidiLearnTarget {
public:
    explicit MidiLearnTargetVst(QX_DSP_VST& plugin) : plugin_(plugin) {}

    int assignedCode(int id) override;
    void assign(int id, int code) override;
    int lastController() override;
    void clearLastController() override;
    std::string_view parameterName(int id) override;

private:
    QX_DSP_VST& plugin_;
};
