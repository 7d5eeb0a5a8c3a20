// End-to-end checks of the render host against the stand-in plug-in (FakePlugin.h says what its
// outputs mean).
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "FakePlugin.h"
#include "velkor-render/NoteList.h"
#include "velkor-render/PluginLoader.h"
#include "velkor-render/Renderer.h"

namespace {

namespace fs = std::filesystem;
using render::Renderer;
using render::RenderSettings;

constexpr int kRate = 8000;
constexpr int kBlock = 64;
constexpr double kTailSeconds = 0.5;
constexpr float kTolerance = 1e-6f;
constexpr std::size_t kBankFileBytes = 4 + Renderer::kBankChunkBytes;

// A directory of its own per test, removed afterwards.
class ScratchDir {
public:
    ScratchDir() {
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(test->test_suite_name()) + "." + test->name();
        std::replace(name.begin(), name.end(), '/', '_');
        path_ = fs::temp_directory_path() /
                ("velkor-render-" + std::to_string(::getpid()) + "-" + name);
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~ScratchDir() { fs::remove_all(path_); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

void writeFile(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<char> readFile(const std::string& path) {
    std::ifstream stream(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

RenderSettings fakeSettings() {
    RenderSettings settings;
    settings.pluginPath = VELKOR_FAKE_PLUGIN_PATH;
    settings.sampleRate = kRate;
    settings.blockSize = kBlock;
    settings.tailSeconds = kTailSeconds;
    return settings;
}

struct Rendered {
    render::RenderStats stats;
    std::vector<float> left;
    std::vector<float> right;
};

// Renders through a WAV file and reads it back with libsndfile, checking its format.
Rendered renderNotes(const ScratchDir& dir, const RenderSettings& settings, const char* notes) {
    const std::string path = dir.file("out.wav");
    Rendered result{};
    {
        Renderer renderer(settings);
        render::WavWriter wav(path, settings.sampleRate);
        result.stats = renderer.render(render::NoteList::parse(notes).toSequence(), wav);
        wav.close();
    }
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    EXPECT_NE(file, nullptr) << sf_strerror(nullptr);
    if (file == nullptr) return result;
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.samplerate, settings.sampleRate);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    EXPECT_EQ(info.frames, result.stats.frames);
    std::vector<float> interleaved(static_cast<std::size_t>(info.frames) * 2);
    EXPECT_EQ(sf_readf_float(file, interleaved.data(), info.frames), info.frames);
    sf_close(file);
    for (std::size_t i = 0; i < interleaved.size(); i += 2) {
        result.left.push_back(interleaved[i]);
        result.right.push_back(interleaved[i + 1]);
    }
    return result;
}

struct Span {
    std::size_t begin, end;
    float level;
};

// The right channel is the held-note level: the given spans add up, 0 elsewhere.
void expectRightChannel(const std::vector<float>& right, const std::vector<Span>& spans) {
    std::vector<float> expected(right.size(), 0.0f);
    for (const Span& span : spans) {
        for (std::size_t i = span.begin; i < span.end; ++i) expected[i] += span.level;
    }
    int mismatches = 0;
    for (std::size_t i = 0; i < right.size() && mismatches < 5; ++i) {
        if (std::fabs(right[i] - expected[i]) > kTolerance) {
            ADD_FAILURE() << "frame " << i << ": " << right[i] << ", expected " << expected[i];
            ++mismatches;
        }
    }
}

TEST(ToolsRenderer, NotesStartAndStopOnTheirSamples) {
    ScratchDir dir;
    // Frames at 8 kHz: key 60 800..2400, key 64 1600..2000; blocks of 64 put these at deltas
    // 32, 0, 16 and 32 of blocks 12, 25, 31 and 37.
    const Rendered r = renderNotes(dir, fakeSettings(), "60:0.1:0.2:127,64:0.2:0.05:64");
    const float quiet = 64.0f / 127.0f;
    expectRightChannel(r.right, {{800, 2400, 1.0f}, {1600, 2000, quiet}});

    // The sine starts at phase 0 on the note's own sample.
    EXPECT_EQ(r.left[799], 0.0f);
    EXPECT_EQ(r.left[800], 0.0f);
    EXPECT_NEAR(r.left[801], std::sin(fakeSinePhaseStep(60, kRate)), kTolerance);

    EXPECT_EQ(r.stats.contentFrames, 2401);
    EXPECT_EQ(r.stats.frames, 2401 + 4000);
    EXPECT_NEAR(r.stats.peak, 1.0 + quiet, kTolerance);
    EXPECT_GT(r.stats.rms, 0.0);
    EXPECT_LT(r.stats.rms, r.stats.peak);
}

TEST(ToolsRenderer, LengthIsContentPlusTail) {
    struct Case {
        double tailSeconds;
        std::int64_t frames;
    };
    for (const Case c : {Case{0.0, 801}, Case{0.01, 881}, Case{1.0, 8801}}) {
        ScratchDir dir;
        RenderSettings settings = fakeSettings();
        settings.tailSeconds = c.tailSeconds;
        const Rendered r = renderNotes(dir, settings, "60:0:0.1");
        EXPECT_EQ(r.stats.frames, c.frames) << "tail " << c.tailSeconds;
        EXPECT_EQ(r.right.size(), static_cast<std::size_t>(c.frames));
        EXPECT_EQ(r.right.back(), 0.0f) << "the note-off at frame 800 is always delivered";
    }
}

TEST(ToolsRenderer, EventsBeyondCapacityArriveOneBlockLate) {
    ScratchDir dir;
    RenderSettings settings = fakeSettings();
    settings.eventCapacity = 1;
    const Rendered r = renderNotes(dir, settings, "60:0.1:0.2:127,64:0.1:0.2:127");
    // Second note-on waits for block 13 (frame 832), second note-off for block 38 (frame 2432).
    expectRightChannel(r.right, {{800, 2400, 1.0f}, {832, 2432, 1.0f}});
}

struct StateCase {
    const char* name;
    std::optional<int> program;
    std::vector<render::ParamAssignment> params;
    float gain;  // expected level of one full-velocity note on the right channel
};

class ToolsRendererState : public testing::TestWithParam<StateCase> {};

TEST_P(ToolsRendererState, ProgramAndParametersReachThePlugin) {
    ScratchDir dir;
    RenderSettings settings = fakeSettings();
    settings.program = GetParam().program;
    settings.params = GetParam().params;
    const Rendered r = renderNotes(dir, settings, "60:0:0.1:127");
    expectRightChannel(r.right, {{0, 800, GetParam().gain}});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToolsRendererState,
    testing::Values(StateCase{"Defaults", std::nullopt, {}, kFakeProgramGains[0]},
                    StateCase{"Program", 1, {}, kFakeProgramGains[1]},
                    StateCase{"ParamByName", std::nullopt, {{"Gain", 0.25}}, 0.25f},
                    StateCase{"ParamNameInAnyCase", std::nullopt, {{"gAIN", 0.75}}, 0.75f},
                    StateCase{"ParamAfterProgram", 1, {{"Sine Level", 0.1}, {"Gain", 0.8}}, 0.8f},
                    StateCase{"LastParamWins", std::nullopt, {{"Gain", 0.3}, {"Gain", 0.6}}, 0.6f}),
    [](const testing::TestParamInfo<StateCase>& info) { return std::string(info.param.name); });

TEST(ToolsRenderer, BankChunkRoundTripsThroughChunkAndBankFiles) {
    ScratchDir dir;
    const std::string chunk = dir.file("bank.chunk");
    {
        RenderSettings settings = fakeSettings();
        settings.program = 1;
        settings.params = {{"Gain", 0.25}};
        Renderer renderer(settings);
        renderer.saveBankChunk(chunk);
    }
    const std::vector<char> chunkBytes = readFile(chunk);
    ASSERT_EQ(chunkBytes.size(), Renderer::kBankChunkBytes);

    std::vector<char> bankBytes = {'V', 'L', 'K', 'R'};
    bankBytes.insert(bankBytes.end(), chunkBytes.begin(), chunkBytes.end());
    const std::string bank = dir.file("bank.bnk");
    writeFile(bank, bankBytes);

    for (const bool asBank : {false, true}) {
        SCOPED_TRACE(asBank ? "--bank" : "--chunk-in");
        RenderSettings settings = fakeSettings();
        (asBank ? settings.bankPath : settings.chunkInPath) = asBank ? bank : chunk;
        settings.program = 1;
        expectRightChannel(renderNotes(dir, settings, "60:0:0.1:127").right, {{0, 800, 0.25f}});
        settings.program = 0;
        expectRightChannel(renderNotes(dir, settings, "60:0:0.1:127").right,
                           {{0, 800, kFakeProgramGains[0]}});
    }
}

TEST(ToolsRenderer, SmallChunkLoadsAsAPreset) {
    ScratchDir dir;
    std::vector<char> preset(Renderer::kPresetChunkBytes, 0);
    const float values[] = {0.125f, 1.0f};  // Gain, Sine Level
    std::memcpy(preset.data(), values, sizeof values);
    RenderSettings settings = fakeSettings();
    settings.chunkInPath = dir.file("one.pst");
    writeFile(settings.chunkInPath, preset);
    expectRightChannel(renderNotes(dir, settings, "60:0:0.1:127").right, {{0, 800, 0.125f}});
}

TEST(ToolsRenderer, ReportsIdentityAndParametersAsAHostSeesThem) {
    Renderer renderer(fakeSettings());
    const render::PluginInfo& info = renderer.info();
    EXPECT_EQ(info.effectName, kFakeEffectName);
    EXPECT_EQ(info.vendor, kFakeVendor);
    EXPECT_EQ(info.product, kFakeProduct);
    EXPECT_EQ(info.vendorVersion, kFakeVendorVersion);
    EXPECT_EQ(info.numParams, 2);
    EXPECT_EQ(info.numPrograms, 2);

    const std::vector<render::ParameterView> params = renderer.parameters();
    ASSERT_EQ(params.size(), 2u);
    EXPECT_EQ(params[0].index, 0);
    EXPECT_EQ(params[0].name, "Gain");
    EXPECT_EQ(params[0].display, "1.000");
    EXPECT_EQ(params[0].label, "x");
    EXPECT_EQ(params[1].name, "Sine Level");
}

TEST(ToolsRenderer, LegacyEntryPointNamedMainIsFound) {
    const render::PluginLoader loader(VELKOR_FAKE_LEGACY_PLUGIN_PATH);
    EXPECT_STREQ(loader.entryName(), "main");
    RenderSettings settings = fakeSettings();
    settings.pluginPath = VELKOR_FAKE_LEGACY_PLUGIN_PATH;
    ScratchDir dir;
    expectRightChannel(renderNotes(dir, settings, "60:0:0.1:127").right, {{0, 800, 1.0f}});
}

TEST(ToolsRenderer, NullFromTheEntryPointIsAnError) {
    const render::PluginLoader loader(VELKOR_FAKE_PLUGIN_PATH);
    const vst::HostCallback noHost = [](vst::AEffect*, vst::int32, vst::int32, vst::intptr, void*,
                                        float) -> vst::intptr { return 0; };
    EXPECT_THROW(loader.instantiate(noHost), std::runtime_error);
}

struct FailureCase {
    const char* name;
    void (*setup)(const ScratchDir& dir, RenderSettings& settings);
    const char* message;  // part of the error text
};

class ToolsRendererFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(ToolsRendererFailure, StopsWithAMessage) {
    ScratchDir dir;
    RenderSettings settings = fakeSettings();
    GetParam().setup(dir, settings);
    try {
        Renderer renderer(settings);
        FAIL() << "renderer accepted the setup";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().message), std::string::npos)
            << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToolsRendererFailure,
    testing::Values(FailureCase{"MissingPlugin",
                                [](const ScratchDir& d, RenderSettings& s) {
                                    s.pluginPath = d.file("none.so");
                                },
                                "plug-in file not found"},
                    FailureCase{"NotALibrary",
                                [](const ScratchDir& d, RenderSettings& s) {
                                    s.pluginPath = d.file("text.so");
                                    writeFile(s.pluginPath, {'h', 'i'});
                                },
                                "cannot load plug-in"},
                    FailureCase{"UnknownParameter",
                                [](const ScratchDir&, RenderSettings& s) {
                                    s.params = {{"Volume", 0.5}};
                                },
                                "no parameter named \"Volume\""},
                    FailureCase{"ProgramOutOfRange",
                                [](const ScratchDir&, RenderSettings& s) { s.program = 2; },
                                "program 2 is outside 0..1"},
                    FailureCase{"MissingBank",
                                [](const ScratchDir& d, RenderSettings& s) {
                                    s.bankPath = d.file("none.bnk");
                                },
                                "cannot open bank file"},
                    FailureCase{"BankWithoutMagic",
                                [](const ScratchDir& d, RenderSettings& s) {
                                    s.bankPath = d.file("bad.bnk");
                                    writeFile(s.bankPath, std::vector<char>(kBankFileBytes, 0));
                                },
                                "does not start with VLKR"},
                    FailureCase{"BankOfWrongSize",
                                [](const ScratchDir& d, RenderSettings& s) {
                                    s.bankPath = d.file("short.bnk");
                                    writeFile(s.bankPath, {'V', 'L', 'K', 'R', 0, 0});
                                },
                                "holds 6 bytes, expected 752132"},
                    FailureCase{"EmptyChunk",
                                [](const ScratchDir& d, RenderSettings& s) {
                                    s.chunkInPath = d.file("empty.chunk");
                                    writeFile(s.chunkInPath, {});
                                },
                                "is empty"}),
    [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

}  // namespace
