#include "PluginLibrary.h"

PluginLibrary::PluginLibrary(const std::string& path) : module_(LoadLibraryA(path.c_str())) {}

PluginLibrary::~PluginLibrary() {
    if (module_ != nullptr) {
        FreeLibrary(module_);
    }
}

PluginLibrary::EntryPoint PluginLibrary::entry(const char* name) const {
    if (module_ == nullptr) {
        return nullptr;
    }
    // FARPROC is the generic function pointer GetProcAddress hands out.
    return reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
}
