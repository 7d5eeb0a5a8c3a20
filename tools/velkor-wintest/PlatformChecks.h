// Checks of the Windows platform layer called directly, for what the DLL's host interface cannot
// reach: writing files, the user folder's form, large blocks and PNG decoding with GDI+.
#pragma once

#include <filesystem>

#include "CheckLog.h"

class PlatformChecks {
public:
    // `publicFolder` is what %Public% holds for this process.
    PlatformChecks(CheckLog& log, std::filesystem::path publicFolder);

    void userFolder();
    void fileRoundTrip();
    void largeBlock();
    void pngDecoding();

private:
    CheckLog& log_;
    std::filesystem::path publicFolder_;
};
