// The plug-in DLL loaded with LoadLibrary and its entry points found by name, as a host does.
#pragma once

#include <windows.h>

#include <string>

#include "vst/VstAbi.h"

class PluginLibrary {
public:
    using EntryPoint = vst::AEffect*(VSTCALLBACK*)(vst::HostCallback);

    explicit PluginLibrary(const std::string& path);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    bool loaded() const { return module_ != nullptr; }
    // The export `name` read as an entry point; null when the DLL has none.
    EntryPoint entry(const char* name) const;

private:
    HMODULE module_;
};
