// The editor base the plug-in registers with the host: a fixed rectangle and an open state that
// does not depend on a host window, so an editor opened without one works headless.
#pragma once

#include "host/AEffEditor.h"

class AEffGUIEditor : public AEffEditor {
public:
    AEffGUIEditor(AudioEffect* effect, int width, int height);

    bool getRect(vst::ERect** rect) override;
    bool open(void* parentWindow) override;
    void close() override;
    bool isOpen() const override { return open_; }

private:
    vst::ERect rect_{};
    bool open_ = false;
};
