#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "velkor-render/CommandLine.h"

namespace {

using render::CommandLine;

CommandLine parse(std::vector<std::string_view> args) {
    return CommandLine::parse(args);
}

TEST(ToolsCommandLine, ReadsEveryOption) {
    const CommandLine line = parse({"--plugin",    "p.so",    "--notes",     "60:0:1",
                                    "--out",       "o.wav",   "--rate",      "48000",
                                    "--block=256", "--tail",  "1.5",         "--program",
                                    "3",           "--param", "Gain=0.5",    "--param=Sine Level=1",
                                    "--chunk-in",  "c.bin",   "--chunk-out", "d.bin",
                                    "--tempo",     "90"});
    EXPECT_EQ(line.settings.pluginPath, "p.so");
    EXPECT_EQ(line.notes, "60:0:1");
    EXPECT_EQ(line.outPath, "o.wav");
    EXPECT_EQ(line.settings.sampleRate, 48000);
    EXPECT_EQ(line.settings.blockSize, 256);
    EXPECT_DOUBLE_EQ(line.settings.tailSeconds, 1.5);
    EXPECT_EQ(line.settings.program, 3);
    ASSERT_EQ(line.settings.params.size(), 2u);
    EXPECT_EQ(line.settings.params[0].name, "Gain");
    EXPECT_DOUBLE_EQ(line.settings.params[0].value, 0.5);
    EXPECT_EQ(line.settings.params[1].name, "Sine Level");
    EXPECT_DOUBLE_EQ(line.settings.params[1].value, 1.0);
    EXPECT_EQ(line.settings.chunkInPath, "c.bin");
    EXPECT_EQ(line.chunkOutPath, "d.bin");
    EXPECT_EQ(line.tempo, 90.0);
    EXPECT_FALSE(line.listParams);
}

TEST(ToolsCommandLine, DefaultsAndListingNeedNoInput) {
    const CommandLine line = parse({"--list-params"});
    EXPECT_TRUE(line.listParams);
    EXPECT_EQ(line.settings.sampleRate, 44100);
    EXPECT_EQ(line.settings.blockSize, 512);
    EXPECT_DOUBLE_EQ(line.settings.tailSeconds, 2.0);
    EXPECT_FALSE(line.tempo.has_value());
    EXPECT_TRUE(parse({"--help"}).help);
}

struct BadCase {
    const char* name;
    std::vector<std::string_view> args;
    const char* message;  // part of the error text
};

class ToolsCommandLineBad : public testing::TestWithParam<BadCase> {};

TEST_P(ToolsCommandLineBad, IsRejected) {
    try {
        parse(GetParam().args);
        FAIL() << "accepted";
    } catch (const std::invalid_argument& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().message), std::string::npos)
            << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToolsCommandLineBad,
    testing::Values(
        BadCase{"NoInput", {"--out", "o.wav"}, "exactly one of --midi and --notes"},
        BadCase{"TwoInputs",
                {"--midi", "a.mid", "--notes", "60:0:1", "--out", "o.wav"},
                "exactly one of --midi and --notes"},
        BadCase{"NoOutput", {"--notes", "60:0:1"}, "--out is needed"},
        BadCase{"UnknownOption", {"--loud"}, "unknown option \"--loud\""},
        BadCase{"MissingValue", {"--notes", "60:0:1", "--out"}, "--out needs a value"},
        BadCase{"RateNotANumber", {"--rate", "fast"}, "--rate: \"fast\" is not a number"},
        BadCase{"RateTooLow", {"--rate", "10"}, "--rate: 10 is outside"},
        BadCase{"BlockZero", {"--block", "0"}, "--block: 0 is outside"},
        BadCase{"NegativeTail", {"--tail", "-1"}, "--tail: -1 must be 0 or more"},
        BadCase{"ZeroTempo", {"--tempo", "0"}, "--tempo: 0 must be above 0"},
        BadCase{"NegativeBpm", {"--bpm", "-97"}, "--bpm: -97 must be above 0"},
        BadCase{"NegativeProgram", {"--program", "-1", "--list-params"}, "--program: must be 0"},
        BadCase{"ParamWithoutValue", {"--param", "Gain"}, "expected NAME=VALUE"},
        BadCase{"ParamOutOfRange", {"--param", "Gain=1.5"}, "must be within 0..1"},
        BadCase{"BankAndChunk", {"--bank", "a", "--chunk-in", "b", "--list-params"}, "give one"},
        BadCase{"FlagWithValue", {"--help=yes"}, "--help takes no value"}),
    [](const testing::TestParamInfo<BadCase>& info) { return std::string(info.param.name); });

}  // namespace
