// Makes the engine from a netlist: one module per record in table order, the voice group copied
// per voice, every input wired to its source module, parameter or constant.
#pragma once

#include "engine/Netlist.h"

class QX_EngineHost;
class QX_ModuleBase;
class QX_VoiceAllocatorBase;

class GraphBuilder {
public:
    explicit GraphBuilder(QX_EngineHost& host) : host_(host) {}

    // Expects an empty engine; returns the number of modules made (also left in moduleCount).
    int build(Netlist netlist);

private:
    void startGroup(Netlist netlist, std::size_t marker);
    void applyEntries(const NetlistRecord& record, QX_ModuleBase* module, int moduleIndex);
    void applyModuleSource(const NetlistEntry& entry, QX_ModuleBase* module, int moduleIndex);
    int indexOf(int moduleId) const;

    QX_EngineHost& host_;
    QX_VoiceAllocatorBase* allocator_ = nullptr;
    int bodyStart_ = 0;
    int copies_ = 0;
    int bodyLength_ = 0;
    int copy_ = 0;
    bool insideGroup_ = false;
};
