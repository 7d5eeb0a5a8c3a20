#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "params/ParameterLookups.h"
#include "params/ProgramRecord.h"
#include "velkor-bank/DisplayValueParser.h"
#include "velkor-bank/FactoryBankBuilder.h"
#include "velkor-bank/ProgramSourceReader.h"

namespace {

using bank::DisplayValueParser;
using bank::FactoryBankBuilder;
using bank::ProgramSourceReader;
using bank::SourceError;

std::string displayOf(int id, float normalised) {
    char text[16];
    ParameterLookups::get().display(id, normalised, nullptr, text, sizeof text);
    return text;
}

// --- Faults: every bad line is reported once, at its own line, with what is wrong.

struct BadLine {
    const char* name;
    const char* line;
    const char* message;  // a part of the expected message
};

constexpr BadLine kBadLines[] = {
    {"UnknownName", "LPF Cutof = 30", "unknown parameter \"LPF Cutof\""},
    {"NameInOtherCase", "lpf cutoff = 30", "did you mean \"LPF Cutoff\""},
    {"GlobalValue", "MPE Active = On", "not a sound value of a program"},
    {"VersionIsTheGenerators", "Version = 2.41", "not a sound value of a program"},
    {"ReservedValue", "zFuture = 1", "not a sound value of a program"},
    {"TextStore", "text1 = 1", "not a sound value of a program"},
    {"NoEquals", "LPF Cutoff 30", "expected \"Parameter Name = value\""},
    {"NotANumber", "LPF Cutoff = abc", "\"abc\" is not a number"},
    {"EmptyValue", "LPF Cutoff =", "\"\" is not a number"},
    {"AboveRange", "LPF Cutoff = 100.01", "outside 0.00..100.00"},
    {"BelowRange", "Master Pan = -101", "outside -100.00..100.00"},
    {"BelowCurvedRange", "Amp Release (s) = -0.01", "outside"},
    {"FinerThanTheDisplay", "Amp Release (s) = 0.355", "shows as 0.35"},
    {"WrongUnit", "LPF Cutoff = 1200 Hz", "unit \"Hz\" does not belong"},
    {"TrailingJunk", "Amp Release (s) = 0.35x", "unit \"x\" does not belong"},
    {"UnknownOption", "Lfo1 Shape = Square", "\"Square\" is not one of Sine, Triangle"},
    {"OptionInOtherCase", "Lfo1 Shape = triangle", "is not one of"},
    {"OnForAKnob", "LPF Cutoff = On", "\"On\" is not a number"},
    {"LongName", "program: A name of twenty-five chars", "1 to 24 characters"},
    {"SecondName", "program: Again", "a second program name"},
};

class ToolsBankSourceFaults : public ::testing::TestWithParam<BadLine> {};

TEST_P(ToolsBankSourceFaults, AreReportedAtTheirLine) {
    const std::string text = std::string("program: Fine\n# a comment\n") + GetParam().line + "\n";
    std::vector<SourceError> errors;
    const bank::ProgramSource source = ProgramSourceReader::read(text, "001-test.txt", errors);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].line, 3);
    EXPECT_NE(errors[0].message.find(GetParam().message), std::string::npos) << errors[0].message;
    EXPECT_EQ(errors[0].text().rfind("001-test.txt:3: ", 0), 0u) << errors[0].text();
    EXPECT_TRUE(source.assignments.empty());
}

INSTANTIATE_TEST_SUITE_P(Table, ToolsBankSourceFaults, ::testing::ValuesIn(kBadLines),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ToolsBankSource, ARepeatedParameterNamesTheFirstLineAndGoodLinesStillCount) {
    std::vector<SourceError> errors;
    const bank::ProgramSource source = ProgramSourceReader::read(
        "program:  Two Words  # trailing comment\nLPF Cutoff = 30\n\nLPF Cutoff = 40\r\nGain = 70", "x.txt", errors);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].line, 4);
    EXPECT_NE(errors[0].message.find("already set on line 2"), std::string::npos);
    EXPECT_EQ(source.name, "Two Words");
    ASSERT_EQ(source.assignments.size(), 2u);
    EXPECT_EQ(displayOf(source.assignments[0].id, source.assignments[0].normalised), "30.00");
    EXPECT_EQ(source.assignments[1].line, 5);
}

// --- A value written as the display shows it reads back as written, for every display kind.

struct Shown {
    const char* name;
    const char* parameter;
    const char* written;
    const char* display;  // what the plug-in shows afterwards
};

constexpr Shown kShown[] = {
    {"LinearKnob", "LPF Cutoff", "37.5", "37.50"},
    {"LinearKnobMaximum", "LPF Cutoff", "100", "100.00"},
    {"NegativeKnob", "Master Pan", "-25", "-25.00"},
    {"SquaredKnob", "Amp Release (s)", "0.35", "0.35"},
    {"SquaredKnobWithUnit", "Amp Release (s)", "0.35 s", "0.35"},
    {"SquaredKnobLowestShown", "Amp Attack (s)", "0", "0.00"},
    {"SquaredKnobPercent", "LPF Sustain %", "64 %", "64.00"},
    {"SquaredRateWithUnit", "Lfo1 Rate(Hz)", "2.5Hz", "2.50"},
    {"DownwardKnob", "EQ 1 Width", "30", "30.00"},
    {"FrequencyKnob", "EQ 2 Freq Hz", "440 Hz", "440.00"},
    {"FrequencyKnobTop", "EQ 3 Freq Hz", "20480", "20480.00"},
    {"DecibelKnob", "EQ 1 Gain dB", "-4.5 dB", "-4.50"},
    {"CentsKnob", "HFO Tune (cents)", "-7", "-7.00"},
    {"OnOffSwitch", "Echo OnOff", "On", "10.00"},
    {"OnOffSwitchOff", "Echo OnOff", "Off", "0.00"},
    {"DownwardSwitch", "Lfo1 Subtle", "On", "1.00"},
    {"SmallRangeSwitch", "Arp OnOff", "On", "1.00"},
    {"OptionList", "Lfo1 Shape", "Triangle", "Triangle"},
    {"OptionListLast", "Lfo1 Shape", "Random", "Random"},
    {"LongOptionCutToTheDisplay", "Lfo1 Target", "Filter Cutoff", "Filter C"},
    {"NumberedOptions", "Seq Range", "-12", "-12"},
    {"DownwardOptionList", "Filter %", "62%", "62%"},
    {"ManyOptions", "Osc Harmonics", "1024", "1024"},
    {"ButtonHub", "Melt System", "B", "B"},
};

class ToolsBankDisplayRoundTrip : public ::testing::TestWithParam<Shown> {};

TEST_P(ToolsBankDisplayRoundTrip, ReadsBackAsWritten) {
    const Shown& c = GetParam();
    const int id = DisplayValueParser::findParameter(c.parameter);
    ASSERT_GE(id, 0);
    const DisplayValueParser::Result result = DisplayValueParser::parse(id, c.written);
    ASSERT_EQ(result.error, "");
    EXPECT_GE(result.normalised, 0.0f);
    EXPECT_LE(result.normalised, 1.0f);
    // The plug-in snaps option values as it stores them; a written item must survive that.
    EXPECT_EQ(ParameterLookups::get().snap(id, result.normalised), result.normalised);
    EXPECT_EQ(displayOf(id, result.normalised), c.display);
}

INSTANTIATE_TEST_SUITE_P(Table, ToolsBankDisplayRoundTrip, ::testing::ValuesIn(kShown),
                         [](const auto& info) { return std::string(info.param.name); });

// --- The image: magic, 128 records, every program on the init program's ground.

class ToolsBankImage : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("velkor-bank-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    void write(const std::string& name, const std::string& text) { std::ofstream(folder / name) << text; }
    std::vector<SourceError> readAll() {
        std::vector<SourceError> errors;
        builder.readFolder(folder, errors);
        builder.check(errors);
        return errors;
    }
    static float valueOf(const ProgramRecord& r, const char* name) {
        return r.values[DisplayValueParser::findParameter(name)];
    }

    std::filesystem::path folder;
    FactoryBankBuilder builder;
};

TEST_F(ToolsBankImage, HoldsTheMagicAnd128RecordsOnTheInitGround) {
    write("000-init.txt", "program: Init\nLPF Cutoff = 100\nGain = 50\n");
    write("005-bass.txt", "program: Bass\nLPF Cutoff = 25\n");
    write("notes.md", "not a program");
    ASSERT_TRUE(readAll().empty());
    const std::vector<std::uint8_t> image = builder.image();
    ASSERT_EQ(image.size(), 752132u);
    EXPECT_EQ(std::memcmp(image.data(), "VLKR", 4), 0);

    std::vector<ProgramRecord> records(kProgramCount);
    std::memcpy(records.data(), image.data() + 4, kBankBytes);
    EXPECT_STREQ(records[5].name, "Bass");
    EXPECT_EQ(displayOf(83, valueOf(records[5], "LPF Cutoff")), "25.00");
    EXPECT_EQ(displayOf(121, valueOf(records[5], "Gain")), "50.00");  // from the init program
    for (int program : {0, 4, 6, 127}) {
        EXPECT_STREQ(records[static_cast<std::size_t>(program)].name, "Init") << program;
        EXPECT_EQ(displayOf(83, valueOf(records[static_cast<std::size_t>(program)], "LPF Cutoff")), "100.00");
    }
    for (const ProgramRecord& r : records) {
        EXPECT_FLOAT_EQ(r.values[bank::kVersionParameter], 0.241f);
        for (std::uint16_t controller : r.controllers) {
            ASSERT_EQ(controller, kNoController);
        }
        ASSERT_EQ(r.name[kProgramNameBytes - 1], '\0');
    }
}

TEST_F(ToolsBankImage, FolderFaultsNameTheirFile) {
    write("005-bass.txt", "LPF Cutoff = 25\n");
    write("5-lead.txt", "program: Lead\n");
    write("128-late.txt", "program: Late\n");
    write("006-a.txt", "program: A\n");
    write("006-b.txt", "program: B\n");
    const std::vector<SourceError> errors = readAll();
    std::vector<std::string> texts;
    for (const SourceError& e : errors) {
        texts.push_back(std::filesystem::path(e.file).filename().string() + ": " + e.message);
    }
    const std::vector<std::string> expected = {
        "006-b.txt: program 6 already comes from " + (folder / "006-a.txt").string(),
        "128-late.txt: a program source is named NNN-name.txt with NNN from 000 to 127",
        "5-lead.txt: a program source is named NNN-name.txt with NNN from 000 to 127",
        "000-*.txt: the init program (program 000) has no source",
        "005-bass.txt: no \"program: Name\" line",
    };
    EXPECT_EQ(texts, expected);
}

TEST(ToolsBankFactorySources, AllReadWithoutFaultAndFillAtLeastSixteenPrograms) {
    FactoryBankBuilder builder;
    std::vector<SourceError> errors;
    builder.readFolder(VELKOR_FACTORY_SOURCES, errors);
    builder.check(errors);
    for (const SourceError& e : errors) {
        ADD_FAILURE() << e.text();
    }
    int named = 0;
    for (int program = 0; program < kProgramCount; ++program) {
        named += std::strcmp(builder.record(program).name, "Init") != 0;
    }
    EXPECT_GE(named, 15);  // besides the init program itself
}

}  // namespace
