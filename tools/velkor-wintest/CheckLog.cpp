#include "CheckLog.h"

#include <cstdio>

bool CheckLog::check(bool passed, const std::string& what, const std::string& detail) {
    ++checks_;
    if (!passed) {
        ++failures_;
        std::printf("FAILED: %s%s%s\n", what.c_str(), detail.empty() ? "" : ": ", detail.c_str());
    }
    return passed;
}
