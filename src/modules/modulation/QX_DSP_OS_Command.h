// Opens the instrument's links for the credits panel. Pin 5 chooses a page, pin 4 opens the
// chosen page, any other pin opens its own fixed link. The module only names the link: the
// plug-in hands it to the user-interface side, since the audio thread must not start programs.
#pragma once

#include <cstddef>

#include "engine/QX_ModuleBase.h"

class QX_DSP_OS_Command : public QX_ModuleBase {
public:
    static constexpr int kPinOpenChosen = 4;
    static constexpr int kPinChoose = 5;

    // Every link the instrument opens. They go to a command interpreter as they stand, so they
    // hold no spaces, quotes or characters a shell treats specially. An empty entry opens nothing.
    // By the pin pressed:
    static constexpr const char* kPinLinks[] = {
        "https://quillmont.example/velkor/",             // 0: web page
        "",                                              // 1
        "",                                              // 2
        "mailto:velkor@quillmont.example?subject=Velkor",  // 3: e-mail form
    };
    // By the page chosen on pin 5, opened from pin 4:
    static constexpr const char* kChosenLinks[] = {
        "https://quillmont.example/velkor/manual/",
        "https://quillmont.example/velkor/sounds/",
        "https://quillmont.example/velkor/updates/",
    };

    QX_DSP_OS_Command(QX_EngineHost* host, bool asleep);

    void prepare() override;
    void handleEvent(const Event& event, int pos) override;

private:
    int chosen_ = 0;
};
