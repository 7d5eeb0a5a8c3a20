#include "modules/effects/OutputAnnouncement.h"

#include "engine/QX_ModuleBase.h"

void OutputAnnouncement::send(QX_ModuleBase& module, int moving, bool stereo, int left, int right) {
    if (sent_ == moving) {
        return;
    }
    sent_ = moving;
    module.sendEvent(module.localTime, left, moving, 0, 0.0f, nullptr);
    if (stereo) {
        module.sendEvent(module.localTime, right, moving, 0, 0.0f, nullptr);
    }
}
