// The argument array posix_spawn wants: pointers into `arguments`, which must outlive it, ended
// by a null.
#pragma once

#include <string>
#include <vector>

namespace platform {

inline std::vector<char*> argumentVector(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    return argv;
}

}  // namespace platform
