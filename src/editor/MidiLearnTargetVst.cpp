#include "editor/MidiLearnTargetVst.h"

#include <cstdint>

#include "host/QX_DSP_VST.h"
#include "params/ParameterLookups.h"

int MidiLearnTargetVst::assignedCode(int id) {
    // The map stores "none" as 0xFFFF: read signed, it is -1.
    return static_cast<std::int16_t>(plugin_.getParameterController(id));
}

void MidiLearnTargetVst::assign(int id, int code) {
    plugin_.setParameterController(id, static_cast<std::uint16_t>(code));
}

int MidiLearnTargetVst::lastController() { return plugin_.lastController.load(std::memory_order_relaxed); }

void MidiLearnTargetVst::clearLastController() { plugin_.lastController.store(-1, std::memory_order_relaxed); }

std::string_view MidiLearnTargetVst::parameterName(int id) {
    const ControlDescriptor* row = ParameterLookups::get().descriptor(id);
    return row != nullptr && row->name != nullptr ? std::string_view(row->name) : std::string_view{};
}
