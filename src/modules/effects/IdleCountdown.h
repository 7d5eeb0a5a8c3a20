// The samples an effect still renders after its last change: once a whole block has gone by,
// its outputs hold their final values and it may go idle.
#pragma once

#include <cstdint>

class IdleCountdown {
public:
    // Something changed: a whole block must pass again.
    void restart(int blockLength) { remaining_ = blockLength; }
    // True once `count` more samples have used up the block.
    bool runDown(int count) {
        remaining_ -= count;
        return remaining_ <= 0;
    }

private:
    std::int32_t remaining_ = 0;
};
