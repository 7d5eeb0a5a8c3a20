// The credits panel's link controls. Their values go as messages to the same link rule the
// engine's link module follows; the link named goes to the plug-in for the editor's next idle
// pass to open. No engine input listens to these controls, so links open whether or not audio
// runs, and no module of the engine is borrowed from the editor's thread.
#pragma once

#include "modules/modulation/LinkMessages.h"

class QX_DSP_VST;

namespace toolkit {
class Control;
}

class CreditsLinks {
public:
    // Which message pin each link control's value reaches.
    struct Link {
        int tag;
        int pin;
    };
    static constexpr Link kLinks[] = {
        {361, 0},                                // "Website": the web page
        {362, 3},                                // "Contact": the e-mail form
        {363, LinkMessages::kPinChoose},         // "Guide Page" list
        {364, LinkMessages::kPinOpenChosen}      // "Open": the chosen guide page
    };

    explicit CreditsLinks(QX_DSP_VST& plugin);

    // A user's change of `control`; false when it is no link control.
    bool deliver(const toolkit::Control& control);

private:
    QX_DSP_VST& plugin_;
    LinkMessages messages_;
};
