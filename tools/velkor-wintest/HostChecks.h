// The outside-in checks of the plug-in DLL: exports, identity answers, a note's pitch, chunks and
// the default bank file. Each check makes its own instances and closes them.
#pragma once

#include <filesystem>

#include "CheckLog.h"
#include "PluginLibrary.h"

class PluginInstance;

class HostChecks {
public:
    // `publicFolder` stands in for %Public%: the plug-in's user folder lies below it.
    HostChecks(const PluginLibrary& library, CheckLog& log, std::filesystem::path publicFolder);

    void exports();
    void refusesHostWithoutVersion();
    void identity();
    void factoryBank();
    void noteSoundsAtItsPitch();
    void chunkRoundTrip();
    void defaultBankFileReplacesFactoryBank();

private:
    void closeAndCheck(PluginInstance& instance, const char* what);

    const PluginLibrary& library_;
    PluginLibrary::EntryPoint entry_;
    CheckLog& log_;
    std::filesystem::path publicFolder_;
};
