#include "editor/CreditsLinks.h"

#include "engine/Event.h"
#include "host/QX_DSP_VST.h"
#include "params/ParameterLookups.h"
#include "toolkit/Control.h"

CreditsLinks::CreditsLinks(QX_DSP_VST& plugin) : plugin_(plugin) {}

bool CreditsLinks::deliver(const toolkit::Control& control) {
    for (const Link& link : kLinks) {
        if (link.tag != control.tag()) {
            continue;
        }
        // The value the engine would send for the row: tenths of the engineering value, which for
        // the list is the chosen page's index.
        const ParameterLookups& lookups = ParameterLookups::get();
        const float engineering = lookups.engineeringValue(link.tag, lookups.snap(link.tag, control.value()));
        if (const char* opened = messages_.receive(link.pin, tenths(engineering))) {
            plugin_.requestLink(opened);
        }
        return true;
    }
    return false;
}
