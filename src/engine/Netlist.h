// The netlist record format: one record per module, read in table order by the graph builder.
// The structs mirror the stored layout (129 little-endian 16-bit words per record).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

constexpr int kNetlistEntriesPerRecord = 64;

// Module ids select a class; the ids above the module range are markers.
constexpr std::int16_t kFirstModuleId = 6000;
constexpr std::int16_t kLastModuleId = 6545;
constexpr std::int16_t kVoiceGroupStart = 6546;  // entry 0's pin byte = number of copies
constexpr std::int16_t kVoiceGroupEnd = 6547;
constexpr std::int16_t kExtraWiring = 6548;      // entry 0's source = id of an existing module
constexpr std::int16_t kNetlistEnd = 6549;       // this id or above ends the table

// Entry sources: module ids from 6000, constants 5500..5999, parameters below.
constexpr std::int16_t kFirstConstant = 5500;
constexpr int kConstantCount = 500;

// Entry pins: 0..63 inputs, 200..247 parameter registrations, 255 ends the entries.
constexpr std::uint8_t kFirstRegistrationPin = 200;
constexpr std::uint8_t kEndOfEntries = 255;

struct NetlistEntry {
    std::uint8_t pin;
    std::uint8_t sourceOutput;  // for a registration: the flag byte
    std::int16_t source;
};

struct NetlistRecord {
    std::int16_t moduleId;
    NetlistEntry entries[kNetlistEntriesPerRecord];
};

static_assert(sizeof(NetlistEntry) == 4);
static_assert(sizeof(NetlistRecord) == 258);
static_assert(offsetof(NetlistRecord, entries) == 2);

using Netlist = std::span<const NetlistRecord>;
