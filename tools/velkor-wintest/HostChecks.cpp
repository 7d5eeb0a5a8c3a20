#include "HostChecks.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "PluginInstance.h"

namespace {

constexpr int kPrograms = 128;
constexpr int kParameters = 333;
constexpr std::size_t kBankChunkBytes = 752128;
constexpr std::size_t kProgramChunkBytes = 5876;
constexpr vst::int32 kEffectFlags = vst::effFlagsCanReplacing | vst::effFlagsProgramChunks | vst::effFlagsIsSynth;
constexpr const char* kBankMagic = "VLKR";

std::string number(long long value) { return std::to_string(value); }

struct AnswerCase {
    const char* name;
    vst::int32 opcode;
    vst::int32 index;
    const char* text;  // effCanDo's question
    vst::intptr expected;
};

constexpr AnswerCase kAnswers[] = {
    {"effIdentify", vst::effIdentify, 0, nullptr, vst::fourCC('N', 'v', 'E', 'f')},
    {"effGetVendorVersion", vst::effGetVendorVersion, 0, nullptr, 2410},
    {"effGetVstVersion", vst::effGetVstVersion, 0, nullptr, 2400},
    {"effGetPlugCategory", vst::effGetPlugCategory, 0, nullptr, vst::kPlugCategSynth},
    {"effGetNumMidiInputChannels", vst::effGetNumMidiInputChannels, 0, nullptr, 16},
    {"effCanBeAutomated 241", vst::effCanBeAutomated, 241, nullptr, 1},
    {"effCanBeAutomated 242", vst::effCanBeAutomated, 242, nullptr, 0},
    {"effCanDo receiveVstEvents", vst::effCanDo, 0, "receiveVstEvents", 1},
    {"effCanDo bypass", vst::effCanDo, 0, "bypass", -1},
    {"effCanDo other", vst::effCanDo, 0, "fly", 0},
};

struct TextCase {
    const char* name;
    vst::int32 opcode;
    const char* expected;
};

constexpr TextCase kTexts[] = {
    {"effGetEffectName", vst::effGetEffectName, "Velkor_2_Demo"},
    {"effGetVendorString", vst::effGetVendorString, "Quillmont"},
    {"effGetProductString", vst::effGetProductString, "Velkor_2_Demo"},
};

// Frequency from the rising zero crossings of x[from, to), each placed between its two samples.
double crossingFrequency(const std::vector<float>& x, std::size_t from, std::size_t to, double sampleRate) {
    double first = -1.0;
    double last = -1.0;
    int crossings = 0;
    for (std::size_t i = from + 1; i < to; ++i) {
        if (x[i - 1] < 0.0f && x[i] >= 0.0f) {
            const double at = static_cast<double>(i - 1) + x[i - 1] / (x[i - 1] - x[i]);
            first = first < 0.0 ? at : first;
            last = at;
            ++crossings;
        }
    }
    return crossings > 1 ? (crossings - 1) * sampleRate / (last - first) : 0.0;
}

}  // namespace

HostChecks::HostChecks(const PluginLibrary& library, CheckLog& log, std::filesystem::path publicFolder)
    : library_(library), entry_(library.entry("VSTPluginMain")), log_(log), publicFolder_(std::move(publicFolder)) {}

void HostChecks::closeAndCheck(PluginInstance& instance, const char* what) {
    const vst::intptr answer = instance.close();
    log_.check(answer == 1, std::string(what) + ": effClose answers 1", number(answer));
}

void HostChecks::exports() {
    log_.check(entry_ != nullptr, "export VSTPluginMain");
    log_.check(library_.entry("main") == entry_, "export main is VSTPluginMain");
}

void HostChecks::refusesHostWithoutVersion() {
    PluginInstance instance(entry_, 0);
    log_.check(instance.effect() == nullptr, "a host answering version 0 gets no effect");
}

void HostChecks::identity() {
    PluginInstance plugin(entry_);
    const vst::AEffect* effect = plugin.effect();
    if (!log_.check(effect != nullptr, "VSTPluginMain returns an effect")) {
        return;
    }
    log_.check(effect->magic == vst::kEffectMagic, "magic VstP", number(effect->magic));
    log_.check(effect->uniqueID == vst::fourCC('Q', 'm', 'v', 'D'), "uniqueID QmvD", number(effect->uniqueID));
    log_.check(effect->numPrograms == kPrograms && effect->numParams == kParameters,
               "128 programs, 333 parameters", number(effect->numPrograms) + ", " + number(effect->numParams));
    log_.check(effect->numInputs == 2 && effect->numOutputs == 2, "two inputs, two outputs");
    // The editor bit follows whether the plug-in has its editor; the others are fixed.
    log_.check((effect->flags & ~vst::effFlagsHasEditor) == kEffectFlags, "flags 0x130 (+1 with an editor)",
               number(effect->flags));
    log_.check(effect->version == 1 && effect->ioRatio == 1.0f, "version 1, ioRatio 1");
    for (const AnswerCase& c : kAnswers) {
        const vst::intptr answer = plugin.dispatch(c.opcode, c.index, 0, const_cast<char*>(c.text));
        log_.check(answer == c.expected, c.name, number(answer) + " instead of " + number(c.expected));
    }
    for (const TextCase& c : kTexts) {
        const std::string answer = plugin.text(c.opcode);
        log_.check(answer == c.expected, c.name, "\"" + answer + "\"");
    }
    // The pin record crosses the boundary: its layout is the ABI's.
    vst::VstPinProperties pin{};
    const vst::intptr answer = plugin.dispatch(vst::effGetOutputProperties, 1, 0, &pin);
    log_.check(answer == 1 && std::strcmp(pin.label, "Right Out") == 0 &&
                   pin.flags == (vst::kVstPinIsActive | vst::kVstPinIsStereo) &&
                   pin.arrangementType == vst::kSpeakerArrStereo,
               "effGetOutputProperties 1", std::string(pin.label) + ", flags " + number(pin.flags));
    closeAndCheck(plugin, "identity");
}

void HostChecks::factoryBank() {
    PluginInstance plugin(entry_);
    // Without the DLL's resource every program would be blank.
    const std::string first = plugin.text(vst::effGetProgramNameIndexed, 0);
    log_.check(first == "Init", "program 0 of the factory bank is Init", "\"" + first + "\"");
    closeAndCheck(plugin, "factory bank");
}

void HostChecks::noteSoundsAtItsPitch() {
    constexpr float kRate = 44100.0f;
    constexpr int kBlock = 256;
    constexpr int kFrames = 52920;  // 1.2 s; the first 0.2 s (attack) is not measured
    constexpr std::size_t kSettled = 8820;
    PluginInstance plugin(entry_);
    plugin.start(kRate, kBlock);
    plugin.midi(0x90, 69, 100);
    std::vector<float> left, right;
    plugin.render(kFrames, left, right);
    float peak = 0.0f;
    bool finite = true;
    for (std::size_t i = kSettled; i < left.size(); ++i) {
        finite = finite && std::isfinite(left[i]) && std::isfinite(right[i]);
        peak = std::max(peak, std::fabs(left[i]));
    }
    log_.check(finite && peak > 0.01f, "note 69 sounds", "peak " + std::to_string(peak));
    const double hz = crossingFrequency(left, kSettled, left.size(), kRate);
    const double cents = hz > 0.0 ? 1200.0 * std::log2(hz / 440.0) : 1.0e9;
    std::printf("note 69: %.3f Hz\n", hz);
    log_.check(std::fabs(cents) < 1.0, "note 69 sounds at 440 Hz", std::to_string(hz) + " Hz");
    plugin.dispatch(vst::effMainsChanged, 0, 0);
    closeAndCheck(plugin, "note");
}

namespace {

// What the round trips carry: a named program 3 with a changed cutoff.
constexpr int kTripProgram = 3;
constexpr const char* kTripName = "Wine Trip";
constexpr const char* kTripParameter = "LPF Cutoff";
constexpr float kTripValue = 0.25f;

struct Marked {
    std::vector<std::uint8_t> bank;
    std::vector<std::uint8_t> program;
    int parameter;
};

Marked markProgram(PluginInstance& plugin) {
    plugin.dispatch(vst::effSetProgram, 0, kTripProgram);
    std::array<char, 32> name{};
    std::strncpy(name.data(), kTripName, name.size() - 1);
    plugin.dispatch(vst::effSetProgramName, 0, 0, name.data());
    const int parameter = plugin.parameterIndex(kTripParameter);
    if (parameter >= 0) {
        plugin.setParameter(parameter, kTripValue);
    }
    return {plugin.chunk(false), plugin.chunk(true), parameter};
}

}  // namespace

void HostChecks::chunkRoundTrip() {
    PluginInstance source(entry_);
    const Marked marked = markProgram(source);
    log_.check(marked.parameter >= 0, std::string("a parameter named ") + kTripParameter);
    log_.check(marked.bank.size() == kBankChunkBytes, "bank chunk size", number(marked.bank.size()));
    log_.check(marked.program.size() == kProgramChunkBytes, "program chunk size", number(marked.program.size()));
    if (marked.parameter < 0 || marked.bank.empty() || marked.program.empty()) {
        return;
    }

    PluginInstance bankTarget(entry_);
    bankTarget.setChunk(marked.bank, false);
    log_.check(bankTarget.chunk(false) == marked.bank, "a bank chunk set comes back unchanged");
    log_.check(bankTarget.text(vst::effGetProgramNameIndexed, kTripProgram) == kTripName,
               "the bank chunk carries the program name");

    PluginInstance programTarget(entry_);
    programTarget.dispatch(vst::effSetProgram, 0, kTripProgram + 1);
    programTarget.setChunk(marked.program, true);
    const float value = programTarget.parameter(marked.parameter);
    log_.check(value == kTripValue, "the program chunk carries the parameter", std::to_string(value));
    log_.check(programTarget.text(vst::effGetProgramName) == kTripName, "the program chunk carries the name");
    log_.check(programTarget.chunk(true) == marked.program, "a program chunk set comes back unchanged");

    closeAndCheck(source, "chunk source");
    closeAndCheck(bankTarget, "bank chunk target");
    closeAndCheck(programTarget, "program chunk target");
}

void HostChecks::defaultBankFileReplacesFactoryBank() {
    PluginInstance source(entry_);
    const Marked marked = markProgram(source);
    closeAndCheck(source, "bank file source");
    if (marked.bank.empty()) {
        return;
    }
    {
        PluginInstance before(entry_);
        log_.check(before.text(vst::effGetProgramNameIndexed, kTripProgram) != kTripName,
                   "without a default bank file the factory program stays");
        closeAndCheck(before, "before the bank file");
    }

    const std::filesystem::path banks = publicFolder_ / "Documents" / "Velkor_2" / "Banks";
    std::filesystem::create_directories(banks);
    {
        std::ofstream file(banks / "Default.Bnk", std::ios::binary);
        file.write(kBankMagic, 4);
        file.write(reinterpret_cast<const char*>(marked.bank.data()), static_cast<std::streamsize>(marked.bank.size()));
        log_.check(file.good(), "Default.Bnk written");
    }

    PluginInstance after(entry_);
    log_.check(after.text(vst::effGetProgramNameIndexed, kTripProgram) == kTripName,
               "the default bank file is read at start", after.text(vst::effGetProgramNameIndexed, kTripProgram));
    after.dispatch(vst::effSetProgram, 0, kTripProgram);
    log_.check(after.parameter(marked.parameter) == kTripValue, "the default bank file carries the parameter");
    closeAndCheck(after, "after the bank file");
}
