// Brings the values of a program written by an older version of the instrument up to the
// current format, and converts single values of older section presets the same way.
#pragma once

#include "params/ProgramRecord.h"

class ProgramUpgrade {
public:
    static constexpr int kCurrentVersion = 2410;
    static constexpr int kVersionParameter = 207;  // "Version": format version / 10000

    // The format version a record carries, rounded so that 0.241f reads as 2410.
    static int versionOf(const ProgramRecord& record);
    // Upgrades a record of an older version in place; a current one is left as it is.
    static void upgradeProgram(ProgramRecord& record);
    // The value of parameter `id` from a section preset of format `version`, in today's terms.
    static float convertSectionValue(int id, float value, int version);
};
