// The 128 program records the instrument always holds, behind a count header, as one block that
// is taken once and never moves (readers on other threads keep pointers into it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "params/ProgramRecord.h"

constexpr char kFileMagic[4] = {'V', 'L', 'K', 'R'};

class ProgramMemory {
public:
    ProgramMemory();

    ProgramRecord& record(int program);
    const ProgramRecord& record(int program) const;

    std::uint8_t* bytes();  // the 752128-byte image after the count header
    const std::uint8_t* bytes() const;

    // Copies a "VLKR" image (bank file or factory resource) over memory from record 0 on.
    // Returns false, changing nothing, when the magic is missing.
    bool loadImage(std::span<const std::uint8_t> image);

    // Makes the stored texts safe to read after foreign bytes were copied in: every text slot
    // and name terminated.
    void terminateTexts();
    // Gives every program the controller map of program 0.
    void spreadControllerMap();

private:
    struct Block {
        std::uint32_t count;
        ProgramRecord records[kProgramCount];
    };
    std::unique_ptr<Block> block_;
};
