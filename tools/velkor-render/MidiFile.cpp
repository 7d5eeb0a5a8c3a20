#include "velkor-render/MidiFile.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace render {

namespace {

constexpr std::size_t kChunkHeaderBytes = 8;
constexpr std::uint32_t kMinHeaderLength = 6;
constexpr int kMaxVlqBytes = 4;
constexpr std::uint8_t kMetaStatus = 0xFF;
constexpr std::uint8_t kSysexStatus = 0xF0;
constexpr std::uint8_t kSysexContinuation = 0xF7;
constexpr std::uint8_t kMetaEndOfTrack = 0x2F;
constexpr std::uint8_t kMetaTempo = 0x51;
constexpr std::uint32_t kTempoBytes = 3;
constexpr double kSecondsPerMinute = 60.0;
constexpr double kMicrosecondsPerMinute = 60e6;
constexpr double kMicrosecondsPerSecond = 1e6;

// SMPTE divisions: the high byte is minus the frame rate; 29 stands for 29.97 drop-frame.
struct SmpteRate {
    int code;
    double framesPerSecond;
};
constexpr SmpteRate kSmpteRates[] = {
    {24, 24.0},
    {25, 25.0},
    {29, 30000.0 / 1001.0},
    {30, 30.0},
};

enum class EventKind { Channel, Tempo, EndOfTrack };

struct RawEvent {
    std::uint64_t tick;
    int track;
    std::size_t order;  // position within the file, keeps ties stable
    EventKind kind;
    std::array<std::uint8_t, 3> bytes;
    std::uint32_t microsecondsPerQuarter;
};

[[noreturn]] void fail(std::string_view where, std::string_view what, std::size_t offset) {
    throw std::runtime_error("malformed MIDI file: " + std::string(where) + ": " +
                             std::string(what) + " (at byte " + std::to_string(offset) + ")");
}

std::string hexByte(std::uint8_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

// Reads within [pos, end) only; every read past end is an error naming what was being read.
class Cursor {
public:
    // where names the part being read in messages ("header", "track 2"); region names what
    // end closes ("file", "track").
    Cursor(std::span<const std::uint8_t> bytes, std::size_t pos, std::size_t end, std::string where,
           std::string_view region)
        : bytes_(bytes), pos_(pos), end_(end), where_(std::move(where)), region_(region) {}

    [[noreturn]] void fail(std::string_view what, std::size_t offset) const {
        render::fail(where_, what, offset);
    }

    std::size_t pos() const { return pos_; }
    bool atEnd() const { return pos_ >= end_; }

    std::uint8_t peek(std::string_view what) const {
        need(1, what);
        return bytes_[pos_];
    }
    std::uint8_t byte(std::string_view what) {
        need(1, what);
        return bytes_[pos_++];
    }
    std::uint32_t bigEndian(std::size_t count, std::string_view what) {
        need(count, what);
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < count; ++i) {
            value = (value << 8) | bytes_[pos_++];
        }
        return value;
    }
    std::uint32_t vlq(std::string_view what) {
        const std::size_t start = pos_;
        std::uint32_t value = 0;
        for (int i = 0; i < kMaxVlqBytes; ++i) {
            const std::uint8_t b = byte(what);
            value = (value << 7) | (b & 0x7Fu);
            if ((b & 0x80u) == 0) {
                return value;
            }
        }
        fail(std::string(what) + " is a variable-length quantity longer than 4 bytes", start);
    }
    void skip(std::uint64_t count, std::string_view what) {
        need(count, what);
        pos_ += static_cast<std::size_t>(count);
    }

private:
    void need(std::uint64_t count, std::string_view what) const {
        if (count > end_ - pos_) {
            fail(std::string(what) + " runs past the end of the " + std::string(region_), pos_);
        }
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t pos_;
    std::size_t end_;
    std::string where_;
    std::string_view region_;
};

int dataByteCount(std::uint8_t status) {
    const std::uint8_t type = status & 0xF0u;
    return (type == 0xC0 || type == 0xD0) ? 1 : 2;
}

// Running status survives meta and sysex events: files in the wild rely on it, and a stale status
// is never worse than refusing the file.
void readTrack(Cursor& in, int track, std::vector<RawEvent>& out) {
    std::uint64_t tick = 0;
    std::uint8_t runningStatus = 0;
    while (!in.atEnd()) {
        tick += in.vlq("event delta time");
        const std::size_t eventStart = in.pos();
        std::uint8_t status = in.peek("event");
        if (status & 0x80u) {
            in.byte("event");
        } else if (runningStatus == 0) {
            in.fail("data byte without a preceding status byte", eventStart);
        } else {
            status = runningStatus;
        }

        if (status < kSysexStatus) {
            RawEvent event{tick, track, out.size(), EventKind::Channel, {status, 0, 0}, 0};
            for (int i = 0; i < dataByteCount(status); ++i) {
                const std::size_t at = in.pos();
                const std::uint8_t data = in.byte("channel message");
                if (data & 0x80u) {
                    in.fail("channel message cut short by a status byte", at);
                }
                event.bytes[static_cast<std::size_t>(i) + 1] = data;
            }
            runningStatus = status;
            out.push_back(event);
        } else if (status == kSysexStatus || status == kSysexContinuation) {
            in.skip(in.vlq("sysex length"), "sysex event");
        } else if (status == kMetaStatus) {
            const std::uint8_t type = in.byte("meta event");
            const std::uint32_t length = in.vlq("meta event length");
            if (type == kMetaTempo) {
                if (length != kTempoBytes) {
                    in.fail("tempo event must hold 3 bytes", eventStart);
                }
                const std::uint32_t microseconds = in.bigEndian(kTempoBytes, "tempo event");
                if (microseconds == 0) {
                    in.fail("tempo of 0 microseconds per quarter note", eventStart);
                }
                out.push_back({tick, track, out.size(), EventKind::Tempo, {}, microseconds});
            } else {
                in.skip(length, "meta event");
            }
            if (type == kMetaEndOfTrack) {
                out.push_back({tick, track, out.size(), EventKind::EndOfTrack, {}, 0});
                return;
            }
        } else {
            in.fail("status byte " + hexByte(status) + " is not allowed in a MIDI file",
                    eventStart);
        }
    }
    out.push_back({tick, track, out.size(), EventKind::EndOfTrack, {}, 0});
}

// Seconds per tick: fixed for SMPTE divisions, else set by the tempo.
struct Division {
    bool smpte;
    double ticksPerQuarter;
    double smpteSecondsPerTick;
};

Division readDivision(const Cursor& header, std::uint16_t raw, std::size_t offset) {
    if ((raw & 0x8000u) == 0) {
        if (raw == 0) {
            header.fail("division of 0 ticks per quarter note", offset);
        }
        return {false, static_cast<double>(raw), 0.0};
    }
    const int code = -static_cast<int>(static_cast<std::int8_t>(raw >> 8));
    const int ticksPerFrame = raw & 0xFF;
    const auto* rate = std::find_if(std::begin(kSmpteRates), std::end(kSmpteRates),
                                    [code](const SmpteRate& r) { return r.code == code; });
    if (rate == std::end(kSmpteRates) || ticksPerFrame == 0) {
        header.fail("unknown SMPTE division", offset);
    }
    return {true, 0.0, 1.0 / (rate->framesPerSecond * ticksPerFrame)};
}

}  // namespace

MidiFile MidiFile::parse(std::span<const std::uint8_t> bytes, double initialBpm) {
    MidiFile file;
    file.sequence_.tempo = TempoMap(initialBpm);

    Cursor header(bytes, 0, bytes.size(), "header", "file");
    if (header.bigEndian(4, "header") != 0x4D546864u) {  // "MThd"
        header.fail("not a Standard MIDI File (no MThd chunk)", 0);
    }
    const std::uint32_t headerLength = header.bigEndian(4, "header");
    if (headerLength < kMinHeaderLength) {
        header.fail("header chunk shorter than 6 bytes", 4);
    }
    if (headerLength > bytes.size() - kChunkHeaderBytes) {
        header.fail("header chunk runs past the end of the file", 4);
    }
    file.format_ = static_cast<int>(header.bigEndian(2, "header"));
    file.trackCount_ = static_cast<int>(header.bigEndian(2, "header"));
    const std::size_t divisionOffset = header.pos();
    const Division division = readDivision(
        header, static_cast<std::uint16_t>(header.bigEndian(2, "header")), divisionOffset);
    if (file.format_ > 1) {
        header.fail(
            "format " + std::to_string(file.format_) + " is not supported (only formats 0 and 1)",
            kChunkHeaderBytes);
    }
    if (file.trackCount_ == 0 || (file.format_ == 0 && file.trackCount_ != 1)) {
        header.fail("format " + std::to_string(file.format_) + " file declares " +
                        std::to_string(file.trackCount_) + " tracks",
                    kChunkHeaderBytes + 2);
    }

    std::vector<RawEvent> raw;
    std::size_t pos = kChunkHeaderBytes + headerLength;
    int track = 0;
    while (track < file.trackCount_) {
        const std::string name = "track " + std::to_string(track + 1);
        Cursor chunk(bytes, pos, bytes.size(), name, "file");
        if (chunk.atEnd()) {
            chunk.fail("file declares " + std::to_string(file.trackCount_) +
                           " tracks but holds only " + std::to_string(track),
                       pos);
        }
        const std::uint32_t type = chunk.bigEndian(4, "chunk header");
        const std::uint32_t length = chunk.bigEndian(4, "chunk header");
        const std::size_t dataStart = chunk.pos();
        if (length > bytes.size() - dataStart) {
            chunk.fail("chunk claims " + std::to_string(length) + " bytes but only " +
                           std::to_string(bytes.size() - dataStart) + " remain in the file",
                       pos + 4);
        }
        pos = dataStart + length;
        if (type != 0x4D54726Bu) {  // not "MTrk": unknown chunks are skipped as the format asks
            continue;
        }
        Cursor trackData(bytes, dataStart, pos, name, "track");
        readTrack(trackData, track, raw);
        ++track;
    }

    std::sort(raw.begin(), raw.end(), [](const RawEvent& a, const RawEvent& b) {
        if (a.tick != b.tick) return a.tick < b.tick;
        if (a.track != b.track) return a.track < b.track;
        return a.order < b.order;
    });

    Sequence& sequence = file.sequence_;
    double secondsPerTick = division.smpte
                                ? division.smpteSecondsPerTick
                                : kSecondsPerMinute / initialBpm / division.ticksPerQuarter;
    std::uint64_t lastTick = 0;
    double seconds = 0.0;
    for (const RawEvent& event : raw) {
        seconds += static_cast<double>(event.tick - lastTick) * secondsPerTick;
        lastTick = event.tick;
        switch (event.kind) {
            case EventKind::Channel:
                sequence.events.push_back({seconds, event.bytes});
                break;
            case EventKind::Tempo:
                if (!division.smpte) {
                    secondsPerTick = event.microsecondsPerQuarter / kMicrosecondsPerSecond /
                                     division.ticksPerQuarter;
                }
                sequence.tempo.addChange(seconds,
                                         kMicrosecondsPerMinute / event.microsecondsPerQuarter);
                break;
            case EventKind::EndOfTrack:
                break;
        }
        sequence.lengthSeconds = seconds;
    }
    return file;
}

MidiFile MidiFile::load(const std::string& path, double initialBpm) {
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        throw std::runtime_error("cannot open MIDI file " + path);
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(stream),
                                          std::istreambuf_iterator<char>()};
    if (stream.bad()) {
        throw std::runtime_error("cannot read MIDI file " + path);
    }
    try {
        return parse(bytes, initialBpm);
    } catch (const std::runtime_error& error) {
        throw std::runtime_error(path + ": " + error.what());
    }
}

}  // namespace render
