#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "velkor-render/MidiFile.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using render::MidiFile;

constexpr double kRate = 44100.0;

Bytes be32(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
            static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
}

Bytes join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

Bytes header(int format, int tracks, int division) {
    return join({{'M', 'T', 'h', 'd'},
                 be32(6),
                 {0, static_cast<std::uint8_t>(format), 0, static_cast<std::uint8_t>(tracks),
                  static_cast<std::uint8_t>(division >> 8), static_cast<std::uint8_t>(division)}});
}

Bytes track(const Bytes& events) {
    return join({{'M', 'T', 'r', 'k'}, be32(static_cast<std::uint32_t>(events.size())), events});
}

// Delta times as variable-length quantities: 480 = 0x83 0x60, 960 = 0x87 0x40.
const Bytes kEndOfTrack = {0x00, 0xFF, 0x2F, 0x00};

Bytes tempo(std::uint32_t microsecondsPerQuarter) {
    const Bytes value = be32(microsecondsPerQuarter);
    return join({{0xFF, 0x51, 0x03}, {value.begin() + 1, value.end()}});
}

std::int64_t frameOf(const render::TimedMidiEvent& event) {
    return std::llround(event.seconds * kRate);
}

struct Expected {
    std::int64_t frame;
    std::uint8_t status, data1, data2;
};

void expectEvents(const MidiFile& file, const std::vector<Expected>& expected) {
    const auto& events = file.sequence().events;
    ASSERT_EQ(events.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("event " + std::to_string(i));
        EXPECT_EQ(frameOf(events[i]), expected[i].frame);
        EXPECT_EQ(events[i].bytes[0], expected[i].status);
        EXPECT_EQ(events[i].bytes[1], expected[i].data1);
        EXPECT_EQ(events[i].bytes[2], expected[i].data2);
    }
}

TEST(ToolsMidiFile, FormatZeroTicksBecomeSamplesAtTheDefaultTempo) {
    // 480 ticks per quarter at 120 bpm: 480 ticks = 0.5 s.
    const Bytes bytes =
        join({header(0, 1, 480), track(join({{0x00, 0x90, 60, 100, 0x83, 0x60, 0x80, 60, 64},
                                             {0x83, 0x60, 0xFF, 0x2F, 0x00}}))});
    const MidiFile file = MidiFile::parse(bytes);
    EXPECT_EQ(file.format(), 0);
    EXPECT_EQ(file.trackCount(), 1);
    expectEvents(file, {{0, 0x90, 60, 100}, {22050, 0x80, 60, 64}});
    EXPECT_DOUBLE_EQ(file.sequence().lengthSeconds, 1.0);  // end of track at tick 960
    EXPECT_DOUBLE_EQ(file.sequence().tempo.bpmAt(0.7), 120.0);
}

TEST(ToolsMidiFile, FormatOneTracksMergeByTimeWithTiesInTrackOrder) {
    const Bytes bytes =
        join({header(1, 2, 480),
              track(join({{0x00, 0x90, 60, 100, 0x87, 0x40, 0x80, 60, 0}, kEndOfTrack})),
              track(join({{0x83, 0x60, 0x91, 64, 90, 0x83, 0x60, 0x81, 64, 0}, kEndOfTrack}))});
    const MidiFile file = MidiFile::parse(bytes);
    EXPECT_EQ(file.trackCount(), 2);
    expectEvents(
        file,
        {{0, 0x90, 60, 100}, {22050, 0x91, 64, 90}, {44100, 0x80, 60, 0}, {44100, 0x81, 64, 0}});
}

TEST(ToolsMidiFile, RunningStatusRepeatsTheLastStatusAcrossMetaAndSysex) {
    const Bytes bytes =
        join({header(0, 1, 480),
              track(join({{0x00, 0xC2, 5},                       // program change: one data byte
                          {0x00, 0x90, 60, 100, 0x00, 64, 101},  // second note by running status
                          {0x00, 0xF0, 0x03, 0x43, 0x12, 0xF7},  // sysex, skipped
                          {0x00, 0xFF, 0x01, 0x02, 'h', 'i'},    // text meta, skipped
                          {0x83, 0x60, 67, 102},                 // running status still 0x90
                          kEndOfTrack}))});
    expectEvents(MidiFile::parse(bytes),
                 {{0, 0xC2, 5, 0}, {0, 0x90, 60, 100}, {0, 0x90, 64, 101}, {22050, 0x90, 67, 102}});
}

TEST(ToolsMidiFile, TempoChangeMidFileMovesLaterEvents) {
    // 120 bpm until tick 960 (1.0 s), then 240 bpm: tick 1440 = 1.25 s, tick 1920 = 1.5 s.
    const Bytes bytes =
        join({header(1, 2, 480),
              track(join({{0x00}, tempo(500000), {0x87, 0x40}, tempo(250000), kEndOfTrack})),
              track(join({{0x83, 0x60, 0x90, 60, 100},
                          {0x87, 0x40, 0x80, 60, 0},
                          {0x83, 0x60, 0x90, 62, 100},
                          kEndOfTrack}))});
    const MidiFile file = MidiFile::parse(bytes);
    expectEvents(file, {{22050, 0x90, 60, 100}, {55125, 0x80, 60, 0}, {66150, 0x90, 62, 100}});

    const render::TempoMap& tempoMap = file.sequence().tempo;
    EXPECT_DOUBLE_EQ(tempoMap.bpmAt(0.99), 120.0);
    EXPECT_DOUBLE_EQ(tempoMap.bpmAt(1.0), 240.0);
    EXPECT_DOUBLE_EQ(tempoMap.quarterNotesAt(1.25), 3.0);
}

TEST(ToolsMidiFile, InitialTempoHoldsUntilTheFirstTempoEvent) {
    const Bytes bytes = join({header(0, 1, 480), track(join({{0x83, 0x60, 0x90, 60, 100},
                                                             {0x00},
                                                             tempo(250000),
                                                             {0x83, 0x60, 0x80, 60, 0},
                                                             kEndOfTrack}))});
    // 60 bpm: tick 480 = 1 s; then 240 bpm: 480 more ticks = 0.25 s.
    expectEvents(MidiFile::parse(bytes, 60.0), {{44100, 0x90, 60, 100}, {55125, 0x80, 60, 0}});
}

TEST(ToolsMidiFile, SmpteDivisionCountsTicksPerSecond) {
    // 25 frames per second x 40 ticks per frame = 1000 ticks per second, whatever the tempo.
    const int division = (0xE7 << 8) | 40;  // -25
    const Bytes bytes =
        join({header(0, 1, division),
              track(join({{0x00}, tempo(250000), {0x83, 0x74, 0x90, 60, 100}, kEndOfTrack}))});
    expectEvents(MidiFile::parse(bytes), {{22050, 0x90, 60, 100}});  // tick 500
}

TEST(ToolsMidiFile, UnknownChunksAndLongerHeadersAreSkipped) {
    Bytes longHeader = header(0, 1, 480);
    longHeader[7] = 8;
    longHeader.insert(longHeader.end(), {0xAA, 0xBB});
    const Bytes bytes = join({longHeader,
                              {'X', 'Y', 'Z', 'W'},
                              be32(2),
                              {1, 2},
                              track(join({{0x00, 0x90, 60, 100}, kEndOfTrack}))});
    expectEvents(MidiFile::parse(bytes), {{0, 0x90, 60, 100}});
}

struct MalformedCase {
    const char* name;
    Bytes bytes;
    const char* message;  // part of the error text
};

class ToolsMidiFileMalformed : public testing::TestWithParam<MalformedCase> {};

TEST_P(ToolsMidiFileMalformed, IsRejectedWithAClearMessage) {
    const MalformedCase& c = GetParam();
    // An exact-size heap copy lets the address sanitizer catch any read past the end.
    auto copy = std::make_unique<std::uint8_t[]>(c.bytes.size());
    std::copy(c.bytes.begin(), c.bytes.end(), copy.get());
    try {
        MidiFile::parse({copy.get(), c.bytes.size()});
        FAIL() << "parsed a malformed file";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find("malformed MIDI file"), std::string::npos);
    }
}

const Bytes kNote = {0x00, 0x90, 60, 100};

INSTANTIATE_TEST_SUITE_P(
    Cases, ToolsMidiFileMalformed,
    testing::Values(
        MalformedCase{"Empty", {}, "header runs past the end of the file"},
        MalformedCase{"NotMidi", {'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 0, 0, 1, 1, 0xE0}, "no MThd"},
        MalformedCase{
            "TruncatedHeader", {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1}, "runs past the end"},
        MalformedCase{"ShortHeaderChunk", join({{'M', 'T', 'h', 'd'}, be32(4), {0, 0, 0, 1}}),
                      "shorter than 6 bytes"},
        MalformedCase{"HeaderBeyondFile",
                      join({{'M', 'T', 'h', 'd'}, be32(100), {0, 0, 0, 1, 1, 0xE0}}),
                      "header chunk runs past the end of the file"},
        MalformedCase{"FormatTwo", join({header(2, 1, 480), track(kEndOfTrack)}),
                      "format 2 is not supported"},
        MalformedCase{"FormatZeroWithTwoTracks",
                      join({header(0, 2, 480), track(kEndOfTrack), track(kEndOfTrack)}),
                      "declares 2 tracks"},
        MalformedCase{"DivisionZero", join({header(0, 1, 0), track(kEndOfTrack)}), "division of 0"},
        MalformedCase{"BadSmpteRate", join({header(0, 1, 0xE940), track(kEndOfTrack)}), "SMPTE"},
        MalformedCase{"TrackLengthBeyondFile",
                      join({header(0, 1, 480), {'M', 'T', 'r', 'k'}, be32(1000), kEndOfTrack}),
                      "claims 1000 bytes but only 4 remain"},
        MalformedCase{"MissingTrack", join({header(1, 2, 480), track(kEndOfTrack)}),
                      "declares 2 tracks but holds only 1"},
        MalformedCase{"TruncatedChunkHeader", join({header(0, 1, 480), {'M', 'T', 'r'}}),
                      "chunk header runs past the end of the file"},
        MalformedCase{
            "VlqLongerThanFourBytes",
            join({header(0, 1, 480), track({0x81, 0x81, 0x81, 0x81, 0x00, 0x90, 60, 100})}),
            "longer than 4 bytes"},
        MalformedCase{"EventCutByTrackEnd", join({header(0, 1, 480), track({0x00, 0x90, 60})}),
                      "runs past the end of the track"},
        MalformedCase{"DeltaCutByTrackEnd",
                      join({header(0, 1, 480), track({0x00, 0x90, 60, 100, 0x83})}),
                      "delta time runs past the end of the track"},
        MalformedCase{"DataByteWithoutStatus", join({header(0, 1, 480), track({0x00, 60, 100})}),
                      "without a preceding status byte"},
        MalformedCase{"StatusInsideMessage",
                      join({header(0, 1, 480), track({0x00, 0x90, 60, 0x90})}),
                      "cut short by a status byte"},
        MalformedCase{"SystemCommonInFile", join({header(0, 1, 480), track({0x00, 0xF2, 0, 0})}),
                      "status byte 0xF2"},
        MalformedCase{"SysexBeyondTrack",
                      join({header(0, 1, 480), track({0x00, 0xF0, 0x7F, 1, 2})}),
                      "sysex event runs past the end of the track"},
        MalformedCase{"MetaBeyondTrack",
                      join({header(0, 1, 480), track({0x00, 0xFF, 0x01, 0x09, 'a'})}),
                      "meta event runs past the end of the track"},
        MalformedCase{"TempoWrongLength",
                      join({header(0, 1, 480), track({0x00, 0xFF, 0x51, 0x02, 0x07, 0xA1})}),
                      "tempo event must hold 3 bytes"},
        MalformedCase{"TempoZero", join({header(0, 1, 480), track(join({{0x00}, tempo(0)}))}),
                      "tempo of 0"}),
    [](const testing::TestParamInfo<MalformedCase>& info) { return std::string(info.param.name); });

TEST(ToolsMidiFile, EveryTruncationOfAValidFileIsRejected) {
    const Bytes bytes =
        join({header(1, 2, 480),
              track(join({{0x00}, tempo(500000), {0x00, 0xF0, 0x02, 0x43, 0xF7}, kEndOfTrack})),
              track(join({kNote, {0x83, 0x60, 60, 0, 0x00, 0xE0, 0x00, 0x40}, kEndOfTrack}))});
    ASSERT_NO_THROW(MidiFile::parse(bytes));
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        auto copy = std::make_unique<std::uint8_t[]>(size);
        std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size), copy.get());
        EXPECT_THROW(MidiFile::parse({copy.get(), size}), std::runtime_error) << "size " << size;
    }
}

TEST(ToolsMidiFile, LoadNamesTheFileItCannotOpen) {
    try {
        MidiFile::load("/nonexistent/song.mid");
        FAIL() << "loaded a missing file";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("/nonexistent/song.mid"), std::string::npos);
    }
}

}  // namespace
