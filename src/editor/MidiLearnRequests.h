// How a parameter control asks its owner to open MIDI learn for it: a right-button press on a
// knob, slider or switch goes to its listener when the listener takes such requests.
#pragma once

#include "toolkit/Control.h"
#include "toolkit/InputEvent.h"

class MidiLearnRequests {
public:
    virtual ~MidiLearnRequests() = default;
    // `where` is the pressed point in frame coordinates.
    virtual void learnRequested(toolkit::Control& control, toolkit::Point where) = 0;
};

// For a control's right-button press (`event` in its parent's coordinates); false when its
// listener takes no learn requests.
inline bool requestMidiLearn(toolkit::Control& control, const toolkit::MouseEvent& event) {
    auto* requests = dynamic_cast<MidiLearnRequests*>(control.listener());
    if (requests == nullptr) return false;
    requests->learnRequested(control, event.position + control.parentOrigin());
    return true;
}
