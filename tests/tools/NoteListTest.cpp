#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "velkor-render/NoteList.h"

namespace {

using render::NoteList;
using Note = NoteList::Note;

struct GoodCase {
    const char* name;
    const char* text;
    std::vector<Note> notes;
};

class ToolsNoteListGood : public testing::TestWithParam<GoodCase> {};

TEST_P(ToolsNoteListGood, Parses) {
    const GoodCase& c = GetParam();
    const NoteList list = NoteList::parse(c.text);
    const std::vector<Note>& notes = list.notes();
    ASSERT_EQ(notes.size(), c.notes.size());
    for (std::size_t i = 0; i < notes.size(); ++i) {
        SCOPED_TRACE("note " + std::to_string(i));
        EXPECT_EQ(notes[i].key, c.notes[i].key);
        EXPECT_DOUBLE_EQ(notes[i].startSeconds, c.notes[i].startSeconds);
        EXPECT_DOUBLE_EQ(notes[i].lengthSeconds, c.notes[i].lengthSeconds);
        EXPECT_EQ(notes[i].velocity, c.notes[i].velocity);
        EXPECT_EQ(notes[i].channel, c.notes[i].channel);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToolsNoteListGood,
    testing::Values(
        GoodCase{"TwoNotes",
                 "60:0.0:1.0:100,64:0.5:1.0:90",
                 {{60, 0.0, 1.0, 100, 1}, {64, 0.5, 1.0, 90, 1}}},
        GoodCase{"DefaultVelocityAndChannel", "72:2:0.25", {{72, 2.0, 0.25, 100, 1}}},
        GoodCase{"Channel", "60:0:1:127:16", {{60, 0.0, 1.0, 127, 16}}},
        GoodCase{"NoteNames",
                 "C4:0:1,F#3:0:1,Bb2:0:1,a4:0:1",
                 {{60, 0, 1, 100, 1}, {54, 0, 1, 100, 1}, {46, 0, 1, 100, 1}, {69, 0, 1, 100, 1}}},
        GoodCase{"NoteNameRangeEnds", "C-1:0:1,G9:0:1", {{0, 0, 1, 100, 1}, {127, 0, 1, 100, 1}}},
        GoodCase{"Whitespace", " 60 : 0 : 1 , 62:1:1 ", {{60, 0, 1, 100, 1}, {62, 1, 1, 100, 1}}}),
    [](const testing::TestParamInfo<GoodCase>& info) { return std::string(info.param.name); });

struct BadCase {
    const char* name;
    const char* text;
    const char* message;  // part of the error text
};

class ToolsNoteListBad : public testing::TestWithParam<BadCase> {};

TEST_P(ToolsNoteListBad, IsRejectedNamingTheFault) {
    const BadCase& c = GetParam();
    try {
        NoteList::parse(c.text);
        FAIL() << "accepted \"" << c.text << "\"";
    } catch (const std::invalid_argument& error) {
        EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToolsNoteListBad,
    testing::Values(BadCase{"Empty", "", "note 1 is empty"},
                    BadCase{"EmptyEntry", "60:0:1,,62:0:1", "note 2 is empty"},
                    BadCase{"TrailingComma", "60:0:1,", "note 2 is empty"},
                    BadCase{"TooFewFields", "60:0", "expected KEY:START:LENGTH"},
                    BadCase{"TooManyFields", "60:0:1:100:1:9", "expected KEY:START:LENGTH"},
                    BadCase{"KeyTooHigh", "128:0:1", "key 128 is outside 0..127"},
                    BadCase{"NoteNameTooHigh", "G#9:0:1", "outside 0..127"},
                    BadCase{"NotAKey", "H4:0:1", "neither a number nor a note name"},
                    BadCase{"NegativeStart", "60:-1:1", "start must not be negative"},
                    BadCase{"ZeroLength", "60:0:0", "length must be above 0"},
                    BadCase{"LengthNotANumber", "60:0:x", "length \"x\" is not a number"},
                    BadCase{"StartNotFinite", "60:inf:1", "start \"inf\" is not a number"},
                    BadCase{"VelocityZero", "60:0:1:0", "velocity \"0\""},
                    BadCase{"VelocityFraction", "60:0:1:6.5", "velocity \"6.5\""},
                    BadCase{"ChannelTooHigh", "60:0:1:100:17", "channel \"17\""},
                    BadCase{"SecondEntryNamed", "60:0:1,61:0:1:200", "note 2 \"61:0:1:200\""}),
    [](const testing::TestParamInfo<BadCase>& info) { return std::string(info.param.name); });

TEST(ToolsNoteList, SequenceSortsByTimeWithNoteOffsFirst) {
    // Given out of order; key 60 ends at 1.0 exactly when it starts again.
    const render::Sequence sequence = NoteList::parse("60:1:1:80:3,60:0:1:100:3").toSequence(90.0);
    struct Expected {
        double seconds;
        std::uint8_t status, key, velocity;
    };
    const Expected expected[] = {
        {0.0, 0x92, 60, 100}, {1.0, 0x82, 60, 64}, {1.0, 0x92, 60, 80}, {2.0, 0x82, 60, 64}};
    ASSERT_EQ(sequence.events.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE("event " + std::to_string(i));
        EXPECT_DOUBLE_EQ(sequence.events[i].seconds, expected[i].seconds);
        EXPECT_EQ(sequence.events[i].bytes[0], expected[i].status);
        EXPECT_EQ(sequence.events[i].bytes[1], expected[i].key);
        EXPECT_EQ(sequence.events[i].bytes[2], expected[i].velocity);
    }
    EXPECT_DOUBLE_EQ(sequence.lengthSeconds, 2.0);
    EXPECT_DOUBLE_EQ(sequence.tempo.bpmAt(1.5), 90.0);
}

}  // namespace
