// Counts the checks of a run and prints each one that fails, so the process can exit non-zero.
#pragma once

#include <string>

class CheckLog {
public:
    // Records one check; prints `what` (and `detail` when given) if it failed. Returns `passed`.
    bool check(bool passed, const std::string& what, const std::string& detail = {});
    int checks() const { return checks_; }
    int failures() const { return failures_; }

private:
    int checks_ = 0;
    int failures_ = 0;
};
