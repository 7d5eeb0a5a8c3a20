// Waiting in tests for what another thread (a window's timer, an X server) does soon: polls
// `done` until it holds or the patience runs out; the result says which.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

inline bool eventually(const std::function<bool()>& done, std::chrono::milliseconds patience) {
    const auto giveUp = std::chrono::steady_clock::now() + patience;
    while (!done()) {
        if (std::chrono::steady_clock::now() > giveUp) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}
