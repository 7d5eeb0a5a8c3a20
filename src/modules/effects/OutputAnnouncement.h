// The moving/still announcement on a mono or stereo effect's two outputs, sent only when it
// changes, so that readers switch routines once per change.
#pragma once

class QX_ModuleBase;

class OutputAnnouncement {
public:
    // Sends `moving` on output `left` (and `right` when stereo) unless it was the last one sent.
    void send(QX_ModuleBase& module, int moving, bool stereo, int left, int right);
    // The next send goes out whatever it carries.
    void forget() { sent_ = -1; }

private:
    int sent_ = -1;
};
