// velkor-wintest DLL: loads the plug-in as a Windows host does and checks it from outside, then
// checks the platform layer it is linked with.
// Exits 0 when every check passes, 1 when one fails, 2 when the DLL cannot be loaded.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "CheckLog.h"
#include "EditorChecks.h"
#include "EditorWindowChecks.h"
#include "HostChecks.h"
#include "PlatformChecks.h"
#include "PluginLibrary.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::printf("usage: velkor-wintest PLUGIN.dll\n");
        return 2;
    }
    // The plug-in's user folder lies below %Public%; a scratch folder keeps the run's files apart.
    const std::filesystem::path scratch =
        std::filesystem::temp_directory_path() / ("velkor-wintest-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(scratch);
    SetEnvironmentVariableA("Public", scratch.string().c_str());

    int result = 2;
    {
        PluginLibrary library(argv[1]);
        if (library.loaded()) {
            CheckLog log;
            HostChecks checks(library, log, scratch);
            checks.exports();
            checks.refusesHostWithoutVersion();
            checks.identity();
            checks.factoryBank();
            checks.noteSoundsAtItsPitch();
            checks.chunkRoundTrip();
            checks.defaultBankFileReplacesFactoryBank();
            EditorChecks(library, log).opensTicksAndCloses();
            EditorWindowChecks windowChecks(log);
            windowChecks.refusesParentsThatAreNoWindows();
            windowChecks.forwardsInput();
            windowChecks.showsPixels();
            PlatformChecks platformChecks(log, scratch);
            platformChecks.userFolder();
            platformChecks.fileRoundTrip();
            platformChecks.largeBlock();
            platformChecks.pngDecoding();
            std::printf("velkor-wintest: %d checks, %d failed\n", log.checks(), log.failures());
            result = log.failures() == 0 ? 0 : 1;
        } else {
            std::printf("velkor-wintest: cannot load %s (error %lu)\n", argv[1], GetLastError());
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
    return result;
}
