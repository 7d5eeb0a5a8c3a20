// Sets or clears DISPLAY for a window under test, and restores it afterwards.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

class DisplayVariable {
public:
    explicit DisplayVariable(const char* value) {
        if (const char* old = std::getenv("DISPLAY")) {
            old_ = old;
        }
        value != nullptr ? setenv("DISPLAY", value, 1) : unsetenv("DISPLAY");
    }
    ~DisplayVariable() { old_ ? setenv("DISPLAY", old_->c_str(), 1) : unsetenv("DISPLAY"); }
    DisplayVariable(const DisplayVariable&) = delete;
    DisplayVariable& operator=(const DisplayVariable&) = delete;

private:
    std::optional<std::string> old_;
};
