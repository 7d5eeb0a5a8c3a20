// velkor-render: renders MIDI through a VST 2.4 plug-in into a WAV file (see --help).

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "velkor-render/CommandLine.h"
#include "velkor-render/MidiFile.h"
#include "velkor-render/NoteList.h"
#include "velkor-render/Renderer.h"
#include "velkor-render/WavWriter.h"

namespace {

constexpr const char* kPluginFileName = "Velkor_2_Demo.so";
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// --plugin, else $VELKOR_PLUGIN, else next to this program, else the build tree's plug-in.
std::string pluginPath(const std::string& given) {
    if (!given.empty()) {
        return given;
    }
    if (const char* env = std::getenv("VELKOR_PLUGIN"); env != nullptr && *env != '\0') {
        return env;
    }
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    const auto beside = self.parent_path() / kPluginFileName;
    if (!error && std::filesystem::is_regular_file(beside, error)) {
        return beside.string();
    }
#ifdef VELKOR_BUILT_PLUGIN
    return VELKOR_BUILT_PLUGIN;
#else
    return beside.string();
#endif
}

std::string decibels(double level) {
    if (level <= 0.0) {
        return "-inf dBFS";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.2f dBFS", 20.0 * std::log10(level));
    return text;
}

int run(const render::CommandLine& line) {
    // The music is read first so that a bad file is reported before the plug-in loads.
    render::Sequence sequence;
    if (!line.listParams && line.editorPngPath.empty()) {
        const double bpm = line.tempo.value_or(render::TempoMap::kDefaultBpm);
        sequence = line.midiPath.empty() ? render::NoteList::parse(line.notes).toSequence(bpm)
                                         : render::MidiFile::load(line.midiPath, bpm).sequence();
    }

    render::RenderSettings settings = line.settings;
    settings.pluginPath = pluginPath(settings.pluginPath);
    render::Renderer renderer(settings);
    const render::PluginInfo& info = renderer.info();
    std::printf("plug-in:     %s\n", settings.pluginPath.c_str());
    std::printf("effect:      %s\n", info.effectName.c_str());
    std::printf("vendor:      %s\n", info.vendor.c_str());
    std::printf("product:     %s\n", info.product.c_str());
    std::printf("version:     %ld\n", static_cast<long>(info.vendorVersion));
    std::printf("parameters:  %d\nprograms:    %d\n", info.numParams, info.numPrograms);

    if (!line.editorPngPath.empty()) {
        render::writePng(line.editorPngPath, renderer.editorPicture());
        std::printf("editor:      %s\n", line.editorPngPath.c_str());
        return EXIT_SUCCESS;
    }
    if (line.listParams) {
        for (const render::ParameterView& param : renderer.parameters()) {
            std::printf("%4d  %-28s %s%s%s\n", param.index, param.name.c_str(),
                        param.display.c_str(), param.label.empty() ? "" : " ", param.label.c_str());
        }
        return EXIT_SUCCESS;
    }

    render::WavWriter wav(line.outPath, settings.sampleRate);
    const render::RenderStats stats = renderer.render(sequence, wav);
    wav.close();
    if (!line.chunkOutPath.empty()) {
        renderer.saveBankChunk(line.chunkOutPath);
    }

    std::printf("output:      %s\n", line.outPath.c_str());
    std::printf("peak:        %s\n", decibels(stats.peak).c_str());
    std::printf("rms:         %s\n", decibels(stats.rms).c_str());
    std::printf("frames:      %lld (%.3f s, of which tail %.3f s)\n",
                static_cast<long long>(stats.frames), stats.audioSeconds,
                static_cast<double>(stats.frames - stats.contentFrames) / settings.sampleRate);
    std::printf("real-time factor: %.4f (processReplacing %.3f s for %.3f s of audio)\n",
                stats.realTimeFactor(), stats.processSeconds, stats.audioSeconds);
    return EXIT_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    try {
        const render::CommandLine line = render::CommandLine::parse(args);
        if (line.help) {
            std::fputs(render::CommandLine::usage().data(), stdout);
            return EXIT_SUCCESS;
        }
        return run(line);
    } catch (const std::invalid_argument& error) {
        std::fprintf(stderr, "velkor-render: %s\n(see velkor-render --help)\n", error.what());
        return kExitUsage;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "velkor-render: %s\n", error.what());
        return kExitFailure;
    }
}
