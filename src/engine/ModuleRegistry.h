// The id-to-class table: which module class the graph builder makes for a netlist module id.
// Adding a module class means one row here.
#pragma once

#include <cstdint>
#include <span>

class QX_EngineHost;
class QX_ModuleBase;
class QX_VoiceAllocatorBase;

enum class ModuleRole : std::uint8_t {
    Plain,
    VoiceAllocator,  // made awake; becomes the builder's current allocator
    VoiceSumming,    // made awake; wired per voice with connectVoiceSource
    VoiceLinked,     // also given the current allocator and the copy index
};

struct ModuleContext {
    QX_EngineHost* host;
    bool asleep;
    QX_VoiceAllocatorBase* allocator;
    int copy;
};

struct ModuleClass {
    std::int16_t firstId;
    std::int16_t lastId;
    ModuleRole role;
    const char* className;
    QX_ModuleBase* (*make)(const ModuleContext& context);
    bool standIn;  // the class is not built yet; a silent stand-in keeps the wiring valid
};

// Ranges are tested in table order; null when no row holds the id.
const ModuleClass* findModuleClass(int moduleId);
std::span<const ModuleClass> moduleClasses();
