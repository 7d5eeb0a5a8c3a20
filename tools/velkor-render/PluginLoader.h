// Opens a VST 2.4 plug-in library the way a host does: dlopen, look up the entry point
// (VSTPluginMain, else the old name main) and call it with the host callback.
#pragma once

#include <string>

#include "vst/VstAbi.h"

namespace render {

class PluginLoader {
public:
    // Throws std::runtime_error when the file is missing, does not load or has no entry point.
    explicit PluginLoader(const std::string& path);
    ~PluginLoader();
    PluginLoader(const PluginLoader&) = delete;
    PluginLoader& operator=(const PluginLoader&) = delete;

    // Throws when the entry point returns null or something that is not an AEffect. The effect
    // belongs to the caller, who closes it (effClose) before the loader goes.
    vst::AEffect* instantiate(vst::HostCallback callback) const;

    const std::string& path() const { return path_; }
    const char* entryName() const { return entryName_; }

private:
    using EntryPoint = vst::AEffect* (*)(vst::HostCallback);

    std::string path_;
    void* handle_ = nullptr;
    EntryPoint entry_ = nullptr;
    const char* entryName_ = nullptr;
};

}  // namespace render
