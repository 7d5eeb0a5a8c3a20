#include "modules/modulation/QX_DSP_OS_Command.h"

#include "engine/QX_EngineHost.h"

QX_DSP_OS_Command::QX_DSP_OS_Command(QX_EngineHost* owner, bool asleep) : QX_ModuleBase(owner, asleep) {}

void QX_DSP_OS_Command::prepare() { setIdle(); }

void QX_DSP_OS_Command::handleEvent(const Event& event, int) {
    if (const char* link = messages_.receive(event.pin, event.ivalue)) {
        host->requestLink(link);
    }
}
