// One program as stored in memory, banks, presets and host chunks: a raw little-endian image
// whose field offsets are fixed by the files it lives in.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kProgramCount = 128;
constexpr int kProgramParameters = 333;
constexpr int kTextSlots = 3;
constexpr int kTextSlotBytes = 260;
constexpr int kDataStores512 = 2;
constexpr int kDataStore512Bytes = 512;
constexpr int kDataStore2048Bytes = 2048;
constexpr int kProgramNameBytes = 26;
constexpr int kProgramNameChars = 24;
constexpr std::uint16_t kNoController = 0xFFFF;

struct ProgramRecord {
    float values[kProgramParameters];            // normalised 0..1
    std::uint16_t controllers[kProgramParameters];  // MIDI controller map, kNoController = none
    char text[kTextSlots][kTextSlotBytes];        // "BankFile", "text1", "text2"
    std::uint8_t data512[kDataStores512][kDataStore512Bytes];
    std::uint8_t data2048[kDataStore2048Bytes];
    char name[kProgramNameBytes];
};

static_assert(sizeof(ProgramRecord) == 5876);
static_assert(offsetof(ProgramRecord, controllers) == 1332);
static_assert(offsetof(ProgramRecord, text) == 1998);
static_assert(offsetof(ProgramRecord, data512) == 2778);
static_assert(offsetof(ProgramRecord, data2048) == 3802);
static_assert(offsetof(ProgramRecord, name) == 5850);

constexpr std::size_t kProgramBytes = sizeof(ProgramRecord);
constexpr std::size_t kBankBytes = kProgramBytes * kProgramCount;  // 752128
