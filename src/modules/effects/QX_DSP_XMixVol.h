// The crossfader times a volume (pin 4). Ids 6245 and 6246 feed the echo back into itself; the
// module base clears their outputs when a program is applied.
#pragma once

#include "modules/effects/QX_DSP_XMix.h"

class QX_DSP_XMixVol : public QX_DSP_XMix {
public:
    QX_DSP_XMixVol(QX_EngineHost* host, bool asleep);

protected:
    void onEvent(const Event& event, int pos) override;
    Signal volume() const override;
};
