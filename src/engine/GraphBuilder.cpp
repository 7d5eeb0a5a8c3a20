#include "engine/GraphBuilder.h"

#include "engine/ModuleRegistry.h"
#include "engine/NetlistConstants.h"
#include "engine/QX_EngineHost.h"
#include "engine/QX_VoiceAllocatorBase.h"

namespace {

// Sources in this id range are voice allocators, whose outputs reach every voice copy.
constexpr int kFirstAllocatorId = 6534;
constexpr int kLastAllocatorId = 6544;

bool isAllocatorId(int id) { return id >= kFirstAllocatorId && id <= kLastAllocatorId; }

}  // namespace

int GraphBuilder::build(Netlist netlist) {
    host_.moduleCount = 0;
    std::size_t groupFirstRecord = 0;
    std::size_t r = 0;
    while (r < netlist.size()) {
        const NetlistRecord& record = netlist[r];
        const int id = record.moduleId;
        if (id >= kNetlistEnd || id < kFirstModuleId) {
            break;
        }
        if (id == kVoiceGroupStart) {
            startGroup(netlist, r);
            groupFirstRecord = r + 1;
            r = groupFirstRecord;
            continue;
        }
        if (id == kVoiceGroupEnd) {
            if (insideGroup_ && ++copy_ < copies_) {
                r = groupFirstRecord;
                continue;
            }
            insideGroup_ = false;
            copy_ = 0;
            ++r;
            continue;
        }
        if (id == kExtraWiring) {
            if (r + 1 < netlist.size()) {
                const int target = indexOf(record.entries[0].source) + (insideGroup_ ? bodyLength_ * copy_ : 0);
                if (target >= 0 && target < host_.moduleCount) {
                    applyEntries(netlist[r + 1], host_.modules[target], target);
                }
            }
            r += 2;
            continue;
        }
        ++r;
        const ModuleClass* moduleClass = findModuleClass(id);
        if (moduleClass == nullptr || host_.moduleCount >= kMaxModules) {
            continue;
        }
        const int index = host_.moduleCount;
        if (!insideGroup_ || copy_ == 0) {
            host_.moduleIndexById[id - kFirstModuleId] = static_cast<std::uint16_t>(index);
        }
        const bool awake = moduleClass->role == ModuleRole::VoiceAllocator ||
                           moduleClass->role == ModuleRole::VoiceSumming;
        const ModuleContext context{&host_, insideGroup_ && !awake, allocator_, copy_};
        QX_ModuleBase* module = moduleClass->make(context);
        if (module == nullptr) {
            continue;
        }
        host_.modules[index] = module;
        module->moduleId = id;
        if (moduleClass->role == ModuleRole::VoiceAllocator) {
            allocator_ = static_cast<QX_VoiceAllocatorBase*>(module);
            bodyStart_ = index + 1;
        }
        applyEntries(record, module, index);
        host_.moduleCount = index + 1;
    }
    return host_.moduleCount;
}

void GraphBuilder::startGroup(Netlist netlist, std::size_t marker) {
    copies_ = netlist[marker].entries[0].pin;
    bodyLength_ = 0;
    for (std::size_t r = marker + 1; r < netlist.size(); ++r) {
        const int id = netlist[r].moduleId;
        if (id == kVoiceGroupEnd || id >= kNetlistEnd) {
            break;
        }
        ++bodyLength_;
    }
    if (allocator_ == nullptr) {
        bodyStart_ = host_.moduleCount;
    } else {
        allocator_->setVoiceGroup(bodyStart_, copies_, bodyLength_);
    }
    insideGroup_ = true;
    copy_ = 0;
}

void GraphBuilder::applyEntries(const NetlistRecord& record, QX_ModuleBase* module, int moduleIndex) {
    for (const NetlistEntry& entry : record.entries) {
        if (entry.pin == kEndOfEntries) {
            break;
        }
        if (entry.pin >= kFirstRegistrationPin) {
            module->registerParameter(entry.pin - kFirstRegistrationPin, entry.source, entry.sourceOutput);
            continue;
        }
        if (entry.pin >= kModulePins) {
            continue;
        }
        if (entry.source >= kFirstModuleId) {
            applyModuleSource(entry, module, moduleIndex);
        } else if (entry.source >= kFirstConstant) {
            module->setInput(entry.pin, netlistConstant(entry.source));
        } else if (entry.source >= 0) {
            if (insideGroup_) {
                host_.bindParameter(module, moduleIndex, entry.source, entry.pin, copies_, bodyLength_, copy_);
            } else {
                host_.bindParameter(module, moduleIndex, entry.source, entry.pin, 0, 0, 0);
            }
        }
    }
}

void GraphBuilder::applyModuleSource(const NetlistEntry& entry, QX_ModuleBase* module, int moduleIndex) {
    if (entry.sourceOutput >= kModulePins) {
        return;
    }
    const int source = indexOf(entry.source);
    if (source < 0 || source >= host_.moduleCount + 1 || host_.modules[source] == nullptr) {
        return;
    }
    QX_ModuleBase* sourceModule = host_.modules[source];
    const int pin = entry.pin;
    const int output = entry.sourceOutput;
    const int id = module->moduleId;
    if (const ModuleClass* moduleClass = findModuleClass(id);
        moduleClass != nullptr && moduleClass->role == ModuleRole::VoiceSumming) {
        module->connectVoiceSource(allocator_, source, copies_, bodyLength_, output, pin);
        module->inputSources[pin] = sourceModule;
        return;
    }
    if (isAllocatorId(entry.source)) {
        if (copy_ == 0) {
            sourceModule->connect(module, moduleIndex, output, pin, insideGroup_ ? copies_ : 0,
                                  insideGroup_ ? bodyLength_ : 0, 0);
        } else {
            // Copy 0's fan-out node already reaches this copy; only the input pointer is needed.
            module->inputSources[pin] = sourceModule;
            module->setInput(pin, sourceModule->outputs[output] != nullptr ? sourceModule->outputs[output]
                                                                           : host_.silence);
        }
        if (allocator_ != nullptr) {
            allocator_->registerVoiceModule(module, output, pin, copy_);
        }
        return;
    }
    if (!insideGroup_) {
        sourceModule->connect(module, moduleIndex, output, pin, 0, 0, 0);
    } else if (source < bodyStart_) {
        sourceModule->connect(module, moduleIndex, output, pin, copies_, bodyLength_, copy_);
    } else {
        const int sameCopy = source + bodyLength_ * copy_;
        if (sameCopy < host_.moduleCount && host_.modules[sameCopy] != nullptr) {
            host_.modules[sameCopy]->connect(module, moduleIndex, output, pin, 0, 0, 0);
        }
    }
}

int GraphBuilder::indexOf(int moduleId) const {
    if (moduleId < kFirstModuleId || moduleId >= kNetlistEnd) {
        return -1;
    }
    return host_.moduleIndexById[moduleId - kFirstModuleId];
}
