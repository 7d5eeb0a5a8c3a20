// The options of velkor-render: parsed and checked here, before any plug-in is loaded.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "velkor-render/RenderSettings.h"

namespace render {

struct CommandLine {
    RenderSettings settings;  // pluginPath stays empty unless --plugin was given
    std::string midiPath;
    std::string notes;
    std::string outPath;
    std::string chunkOutPath;
    std::string editorPngPath;
    std::optional<double> tempo;
    bool listParams = false;
    bool help = false;

    // args excludes the program name. Throws std::invalid_argument with a message for the user.
    static CommandLine parse(std::span<const std::string_view> args);
    static std::string_view usage();
};

}  // namespace render
