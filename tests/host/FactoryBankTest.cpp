#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "params/ParameterLookups.h"
#include "support/TestHost.h"
#include "velkor-bank/ProgramSourceReader.h"

namespace {

using namespace vst;

struct FactorySource {
    int program;
    std::string file;
};

std::vector<FactorySource> factorySources() {
    std::vector<FactorySource> sources;
    for (const auto& entry : std::filesystem::directory_iterator(VELKOR_FACTORY_SOURCES)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".txt") {
            sources.push_back({std::stoi(name.substr(0, 3)), entry.path().string()});
        }
    }
    std::sort(sources.begin(), sources.end(), [](const auto& a, const auto& b) { return a.program < b.program; });
    return sources;
}

bank::ProgramSource readSource(const std::string& file) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    std::vector<bank::SourceError> errors;
    bank::ProgramSource source = bank::ProgramSourceReader::read(text.str(), file, errors);
    EXPECT_TRUE(errors.empty()) << errors.front().text();
    return source;
}

TEST(HostFactoryBank, ProgramZeroIsTheInitProgramAsWritten) {
    TestHost host;
    ASSERT_NE(host.open(), nullptr);
    EXPECT_EQ(host.text(effGetProgramName), "Init");
    const bank::ProgramSource init = readSource((std::filesystem::path(VELKOR_FACTORY_SOURCES) / "000-init.txt").string());
    ASSERT_GE(init.assignments.size(), 20u);
    for (const auto& a : init.assignments) {
        EXPECT_FLOAT_EQ(host.effect->getParameter(host.effect, a.id), a.normalised) << "line " << a.line;
    }
    // A few as the host displays them.
    EXPECT_EQ(host.text(effGetParamDisplay, 64), "Saw");          // "Osc1 Wave"
    EXPECT_EQ(host.text(effGetParamDisplay, 120), "Poly");        // "Play Mode"
    EXPECT_EQ(host.text(effGetParamDisplay, 83), "100.00");       // "LPF Cutoff"
    EXPECT_EQ(host.text(effGetParamDisplay, 117), "0.30");        // "Amp Release (s)"
    EXPECT_EQ(host.text(effGetParamDisplay, 197), "0.00");        // "EQ 1 Gain dB"
    EXPECT_EQ(host.text(effGetParamDisplay, 199), "1000.00");     // "EQ 2 Freq Hz"
}

// Each program holds a C major chord for a second; the last half second must be clearly audible
// (above -40 dBFS RMS, well over any denormal or leak level) and finite throughout. Pads reach
// their sustain within half a second, and the arpeggio and sequence programs keep playing.
class HostFactoryPrograms : public ::testing::TestWithParam<FactorySource> {};

TEST_P(HostFactoryPrograms, RenderAHeldChord) {
    constexpr float kRate = 44100.0f;
    constexpr int kBlock = 256;
    constexpr int kChordBlocks = static_cast<int>(kRate) / kBlock;  // about one second
    constexpr int kMeasuredBlocks = kChordBlocks / 2;
    constexpr double kQuietestDb = -40.0;

    TestHost host;
    ASSERT_NE(host.open(), nullptr);
    host.start(kRate, kBlock);
    host.dispatch(effSetProgram, 0, GetParam().program);
    host.process(kBlock * 8);  // the program change fades out and in
    ASSERT_EQ(host.dispatch(effGetProgram), GetParam().program);
    host.sendMidi({{0x90, 48, 100}, {0x90, 52, 100}, {0x90, 55, 100}, {0x90, 60, 100}});
    double sum = 0.0;
    std::size_t frames = 0;
    for (int block = 0; block < kChordBlocks; ++block) {
        host.process(kBlock);
        for (std::size_t i = 0; i < host.outLeft.size(); ++i) {
            ASSERT_TRUE(std::isfinite(host.outLeft[i]) && std::isfinite(host.outRight[i])) << block;
            if (block >= kChordBlocks - kMeasuredBlocks) {
                sum += host.outLeft[i] * host.outLeft[i] + host.outRight[i] * host.outRight[i];
                frames += 2;
            }
        }
    }
    const double rmsDb = 10.0 * std::log10(sum / static_cast<double>(frames) + 1e-30);
    EXPECT_GT(rmsDb, kQuietestDb) << host.text(effGetProgramName);
}

INSTANTIATE_TEST_SUITE_P(Sources, HostFactoryPrograms, ::testing::ValuesIn(factorySources()),
                         [](const auto& info) { return "Program" + std::to_string(info.param.program); });

}  // namespace
