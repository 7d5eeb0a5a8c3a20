// Checks of the Windows editor window called directly, with a client that records what reaches
// it: which parents it refuses, and the input a host's message loop delivers.
#pragma once

#include "CheckLog.h"

class EditorWindowChecks {
public:
    explicit EditorWindowChecks(CheckLog& log);

    void refusesParentsThatAreNoWindows();
    void forwardsInput();

private:
    CheckLog& log_;
};
