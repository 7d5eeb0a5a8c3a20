// One factory program as read from its text source: its name and the values it sets.
#pragma once

#include <string>
#include <vector>

namespace bank {

// "Version" holds the record format (2410) / 10000; a record that carries it is loaded as written.
constexpr int kVersionParameter = 207;
constexpr float kCurrentVersion = 0.241f;

struct SourceError {
    std::string file;
    int line = 0;  // 0 when the fault belongs to the file as a whole
    std::string message;

    std::string text() const;  // "file:line: message"
};

struct ProgramSource {
    struct Assignment {
        int id;
        float normalised;
        int line;
    };
    std::string file;
    std::string name;  // empty when the source has no "program:" line
    std::vector<Assignment> assignments;
};

}  // namespace bank
