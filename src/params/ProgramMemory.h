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

    // Single values are read and written whole, so another thread never sees a torn float.
    static float value(const ProgramRecord& record, int index);
    static void setValue(ProgramRecord& record, int index, float value);

    // Copies `size` bytes over the image from `offset` on, one 32-bit word at a time, so readers
    // on the audio thread see old or new values, never a torn one. `size` and `offset` are cut to
    // the image.
    void copyIn(std::size_t offset, const void* data, std::size_t size);
    // Copies `size` bytes of the image from `offset` on out the same way.
    void copyOut(std::size_t offset, std::size_t size, std::uint8_t* destination) const;
    static std::size_t offsetOf(int program) { return static_cast<std::size_t>(program) * kProgramBytes; }

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
