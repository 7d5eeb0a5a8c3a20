// The editor's window seen from a host: opened inside a window of ours, served by our message
// loop, and gone again when the host closes the editor.
#pragma once

#include "CheckLog.h"
#include "PluginLibrary.h"

class EditorChecks {
public:
    EditorChecks(const PluginLibrary& library, CheckLog& log);

    void opensTicksAndCloses();

private:
    PluginLibrary::EntryPoint entry_;
    CheckLog& log_;
};
