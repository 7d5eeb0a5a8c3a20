// Checks of the Windows editor window called directly, with a client that records what reaches
// it: which parents it refuses, the input a host's message loop delivers and the pixels it shows.
#pragma once

#include "CheckLog.h"

class EditorWindowChecks {
public:
    explicit EditorWindowChecks(CheckLog& log);

    void refusesParentsThatAreNoWindows();
    void forwardsInput();
    void showsPixels();

private:
    CheckLog& log_;
};
