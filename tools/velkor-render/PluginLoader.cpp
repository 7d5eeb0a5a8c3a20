#include "velkor-render/PluginLoader.h"

#include <dlfcn.h>

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace render {

namespace {

constexpr const char* kEntryNames[] = {"VSTPluginMain", "main"};

}  // namespace

PluginLoader::PluginLoader(const std::string& path) : path_(path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        throw std::runtime_error("plug-in file not found: " + path);
    }
    // A bare file name would send dlopen searching the library path instead of this file.
    const std::string openPath = path.find('/') == std::string::npos ? "./" + path : path;
    handle_ = dlopen(openPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* why = dlerror();
        throw std::runtime_error("cannot load plug-in " + path + ": " +
                                 (why ? why : "unknown error"));
    }
    for (const char* name : kEntryNames) {
        if (void* symbol = dlsym(handle_, name)) {
            entry_ = reinterpret_cast<EntryPoint>(symbol);
            entryName_ = name;
            return;
        }
    }
    dlclose(handle_);
    throw std::runtime_error("plug-in " + path + " exports neither VSTPluginMain nor main");
}

PluginLoader::~PluginLoader() {
    dlclose(handle_);
}

vst::AEffect* PluginLoader::instantiate(vst::HostCallback callback) const {
    vst::AEffect* effect = entry_(callback);
    if (effect == nullptr) {
        throw std::runtime_error("plug-in " + path_ + " returned no effect from " + entryName_);
    }
    if (effect->magic != vst::kEffectMagic) {
        throw std::runtime_error("plug-in " + path_ + " returned a record without the VstP magic");
    }
    return effect;
}

}  // namespace render
