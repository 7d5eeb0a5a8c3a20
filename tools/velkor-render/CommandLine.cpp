#include "velkor-render/CommandLine.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace render {

namespace {

constexpr int kMinSampleRate = 1000;
constexpr int kMaxSampleRate = 768000;
constexpr int kMaxBlockSize = 65536;

constexpr std::string_view kUsage =
    "Usage: velkor-render [options] (--midi FILE | --notes LIST) --out FILE.wav\n"
    R"(       velkor-render [options] --list-params
       velkor-render [options] --editor-png FILE.png

Plays MIDI through a VST 2.4 plug-in the way a host does and writes the result
as a 32-bit float stereo WAV file.

Input (one of):
  --midi FILE          Standard MIDI File, format 0 or 1
  --notes LIST         notes separated by commas, each KEY:START:LENGTH[:VELOCITY[:CHANNEL]]
                         KEY       MIDI key 0..127 or a note name: C4 (= 60), F#3, Bb2
                         START     seconds from the start of the render
                         LENGTH    seconds the key is held (above 0)
                         VELOCITY  1..127, default 100
                         CHANNEL   1..16, default 1
                       e.g. --notes "60:0:1:100,E4:0.5:1,G4:1:0.5:90:2"

Output:
  --out FILE.wav       the file to write
  --rate HZ            sample rate, default 44100
  --block FRAMES       frames per processReplacing call, default 512
  --tail SECONDS       time rendered after the last event, default 2
  --tempo BPM          host tempo for --notes, and for a MIDI file until its first
                       tempo event; default 120 (--bpm is the same)

Plug-in:
  --plugin PATH        the plug-in library; default $VELKOR_PLUGIN, else
                       Velkor_2_Demo.so next to this program, else the one built with it
  --bank FILE          load a VLKR bank file (4-byte magic + 752128 bytes)
  --chunk-in FILE      load a raw chunk: a bank when larger than 5876 bytes, else a preset
  --program N          select program N (from 0), after the bank or chunk
  --param NAME=VALUE   set the parameter called NAME (as --list-params shows it) to VALUE,
                       normalised 0..1, after the program; repeatable
  --chunk-out FILE     after rendering, save the plug-in's bank chunk (raw, as --chunk-in reads)
  --list-params        print index, name and display of every parameter, then stop
  --editor-png FILE    draw the plug-in's editor showing the program (after --bank,
                       --chunk-in, --program and --param) into a PNG file, then stop
  --help               print this text

Printed: the plug-in's name, vendor, product, version, parameter and program counts;
after rendering, peak and RMS level (dBFS), frames rendered and the real-time factor
(wall time inside processReplacing divided by the audio's duration).
)";

[[noreturn]] void fail(const std::string& why) {
    throw std::invalid_argument(why);
}

template <typename T>
T number(std::string_view option, std::string_view text) {
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        fail(std::string(option) + ": \"" + std::string(text) + "\" is not a number");
    }
    return value;
}

int integerIn(std::string_view option, std::string_view text, int min, int max) {
    const int value = number<int>(option, text);
    if (value < min || value > max) {
        fail(std::string(option) + ": " + std::string(text) + " is outside " + std::to_string(min) +
             ".." + std::to_string(max));
    }
    return value;
}

double positiveSeconds(std::string_view option, std::string_view text, bool allowZero) {
    const double value = number<double>(option, text);
    if (!std::isfinite(value) || value < 0.0 || (!allowZero && value == 0.0)) {
        fail(std::string(option) + ": " + std::string(text) + " must be " +
             (allowZero ? "0 or more" : "above 0"));
    }
    return value;
}

ParamAssignment paramAssignment(std::string_view text) {
    const std::size_t equals = text.rfind('=');
    if (equals == std::string_view::npos || equals == 0) {
        fail("--param: expected NAME=VALUE, got \"" + std::string(text) + "\"");
    }
    const double value = number<double>("--param", text.substr(equals + 1));
    if (!(value >= 0.0 && value <= 1.0)) {
        fail("--param: value of \"" + std::string(text.substr(0, equals)) +
             "\" must be within 0..1");
    }
    return {std::string(text.substr(0, equals)), value};
}

}  // namespace

CommandLine CommandLine::parse(std::span<const std::string_view> args) {
    CommandLine line;
    RenderSettings& settings = line.settings;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view option = args[i];
        std::optional<std::string_view> attached;
        if (const std::size_t equals = option.find('=');
            option.starts_with("--") && equals != std::string_view::npos) {
            attached = option.substr(equals + 1);
            option = option.substr(0, equals);
        }
        const auto value = [&]() -> std::string_view {
            if (attached) {
                return *attached;
            }
            if (i + 1 >= args.size()) {
                fail(std::string(option) + " needs a value");
            }
            return args[++i];
        };
        const auto flag = [&] {
            if (attached) {
                fail(std::string(option) + " takes no value");
            }
            return true;
        };

        if (option == "--help" || option == "-h") {
            line.help = flag();
        } else if (option == "--list-params") {
            line.listParams = flag();
        } else if (option == "--plugin") {
            settings.pluginPath = value();
        } else if (option == "--midi") {
            line.midiPath = value();
        } else if (option == "--notes") {
            line.notes = value();
        } else if (option == "--out") {
            line.outPath = value();
        } else if (option == "--rate") {
            settings.sampleRate = integerIn(option, value(), kMinSampleRate, kMaxSampleRate);
        } else if (option == "--block") {
            settings.blockSize = integerIn(option, value(), 1, kMaxBlockSize);
        } else if (option == "--tail") {
            settings.tailSeconds = positiveSeconds(option, value(), true);
        } else if (option == "--tempo" || option == "--bpm") {
            line.tempo = positiveSeconds(option, value(), false);
        } else if (option == "--program") {
            settings.program = number<int>(option, value());
        } else if (option == "--param") {
            settings.params.push_back(paramAssignment(value()));
        } else if (option == "--bank") {
            settings.bankPath = value();
        } else if (option == "--chunk-in") {
            settings.chunkInPath = value();
        } else if (option == "--chunk-out") {
            line.chunkOutPath = value();
        } else if (option == "--editor-png") {
            line.editorPngPath = value();
        } else {
            fail("unknown option \"" + std::string(args[i]) + "\"");
        }
    }

    if (line.help) {
        return line;
    }
    if (settings.program && *settings.program < 0) {
        fail("--program: must be 0 or more");
    }
    if (!settings.bankPath.empty() && !settings.chunkInPath.empty()) {
        fail("--bank and --chunk-in both load the plug-in's state; give one");
    }
    if (line.listParams || !line.editorPngPath.empty()) {
        return line;
    }
    if (line.midiPath.empty() == line.notes.empty()) {
        fail("give exactly one of --midi and --notes");
    }
    if (line.outPath.empty()) {
        fail("--out is needed to render");
    }
    return line;
}

std::string_view CommandLine::usage() {
    return kUsage;
}

}  // namespace render
