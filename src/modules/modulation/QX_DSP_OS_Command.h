// Opens the instrument's links (see LinkMessages). Every non-zero message is a press: the only
// senders are link buttons, which send gestures, never stored values. The module runs on the
// audio thread, so it only names the link; the editor's idle pass opens it.
#pragma once

#include "engine/QX_ModuleBase.h"
#include "modules/modulation/LinkMessages.h"

class QX_DSP_OS_Command : public QX_ModuleBase {
public:
    QX_DSP_OS_Command(QX_EngineHost* host, bool asleep);

    void prepare() override;
    void handleEvent(const Event& event, int pos) override;

private:
    LinkMessages messages_;
};
