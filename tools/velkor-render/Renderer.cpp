#include "velkor-render/Renderer.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "editor/EditorPicture.h"

#include "params/ProgramMemory.h"
#include "velkor-render/BlockEventQueue.h"

namespace render {

namespace {

// Plug-ins often write past the 8 or 32 characters the interface allows for names.
constexpr std::size_t kStringBufferBytes = 256;
constexpr vst::int32 kChunkIsPreset = 1;
constexpr vst::int32 kChunkIsBank = 0;

std::vector<char> readFile(const std::string& path, const char* what) {
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        throw std::runtime_error(std::string("cannot open ") + what + " " + path);
    }
    std::vector<char> bytes{std::istreambuf_iterator<char>(stream),
                            std::istreambuf_iterator<char>()};
    if (stream.bad()) {
        throw std::runtime_error(std::string("cannot read ") + what + " " + path);
    }
    return bytes;
}

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

Renderer::Renderer(const RenderSettings& settings)
    : settings_(settings),
      loader_(settings.pluginPath),
      host_(settings.sampleRate, settings.blockSize) {
    effect_ = host_.instantiate(loader_);
    try {
        configure();
    } catch (...) {
        close();
        throw;
    }
}

Renderer::~Renderer() {
    close();
}

void Renderer::close() {
    if (effect_ == nullptr) {
        return;
    }
    if (resumed_) {
        dispatch(vst::effMainsChanged, 0, 0);
        resumed_ = false;
    }
    dispatch(vst::effClose);
    effect_ = nullptr;
}

vst::intptr Renderer::dispatch(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr,
                               float opt) const {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::string Renderer::dispatchString(vst::int32 opcode, vst::int32 index) const {
    char text[kStringBufferBytes] = {};
    dispatch(opcode, index, 0, text);
    text[kStringBufferBytes - 1] = '\0';
    return text;
}

void Renderer::configure() {
    if (effect_->processReplacing == nullptr || (effect_->flags & vst::effFlagsCanReplacing) == 0) {
        throw std::runtime_error("plug-in " + settings_.pluginPath +
                                 " does not offer processReplacing");
    }
    if (effect_->numOutputs < 1) {
        throw std::runtime_error("plug-in " + settings_.pluginPath + " has no audio outputs");
    }
    dispatch(vst::effOpen);
    dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(settings_.sampleRate));
    dispatch(vst::effSetBlockSize, 0, settings_.blockSize);

    info_.effectName = dispatchString(vst::effGetEffectName);
    info_.vendor = dispatchString(vst::effGetVendorString);
    info_.product = dispatchString(vst::effGetProductString);
    info_.vendorVersion = dispatch(vst::effGetVendorVersion);
    info_.numParams = effect_->numParams;
    info_.numPrograms = effect_->numPrograms;
    info_.numInputs = effect_->numInputs;
    info_.numOutputs = effect_->numOutputs;

    loadState();
    if (settings_.program) {
        const int program = *settings_.program;
        if (program < 0 || program >= effect_->numPrograms) {
            throw std::runtime_error("program " + std::to_string(program) + " is outside 0.." +
                                     std::to_string(effect_->numPrograms - 1));
        }
        dispatch(vst::effSetProgram, 0, program);
    }
    applyParams();
}

void Renderer::loadState() {
    if (!settings_.bankPath.empty() && !settings_.chunkInPath.empty()) {
        throw std::runtime_error("give either a bank file or a chunk file, not both");
    }
    std::vector<char> chunk;
    vst::int32 kind = kChunkIsBank;
    if (!settings_.bankPath.empty()) {
        std::vector<char> file = readFile(settings_.bankPath, "bank file");
        if (file.size() < sizeof kFileMagic ||
            !std::equal(std::begin(kFileMagic), std::end(kFileMagic), file.begin())) {
            throw std::runtime_error("bank file " + settings_.bankPath +
                                     " does not start with VLKR");
        }
        if (file.size() != sizeof kFileMagic + kBankChunkBytes) {
            throw std::runtime_error("bank file " + settings_.bankPath + " holds " +
                                     std::to_string(file.size()) + " bytes, expected " +
                                     std::to_string(sizeof kFileMagic + kBankChunkBytes));
        }
        chunk.assign(file.begin() + sizeof kFileMagic, file.end());
    } else if (!settings_.chunkInPath.empty()) {
        chunk = readFile(settings_.chunkInPath, "chunk file");
        if (chunk.empty()) {
            throw std::runtime_error("chunk file " + settings_.chunkInPath + " is empty");
        }
        kind = chunk.size() > kPresetChunkBytes ? kChunkIsBank : kChunkIsPreset;
    } else {
        return;
    }
    if ((effect_->flags & vst::effFlagsProgramChunks) == 0) {
        throw std::runtime_error("plug-in does not take chunks");
    }
    dispatch(vst::effSetChunk, kind, static_cast<vst::intptr>(chunk.size()), chunk.data());
}

void Renderer::applyParams() {
    if (settings_.params.empty()) {
        return;
    }
    std::vector<std::string> names;
    for (int i = 0; i < effect_->numParams; ++i) {
        names.push_back(dispatchString(vst::effGetParamName, i));
    }
    for (const ParamAssignment& param : settings_.params) {
        if (!(param.value >= 0.0 && param.value <= 1.0)) {
            throw std::runtime_error("value of parameter \"" + param.name + "\" is outside 0..1");
        }
        auto found = std::find(names.begin(), names.end(), param.name);
        if (found == names.end()) {
            found = std::find_if(names.begin(), names.end(), [&](const std::string& name) {
                return equalsIgnoringCase(name, param.name);
            });
        }
        if (found == names.end()) {
            throw std::runtime_error("the plug-in has no parameter named \"" + param.name +
                                     "\" (see --list-params)");
        }
        effect_->setParameter(effect_, static_cast<vst::int32>(found - names.begin()),
                              static_cast<float>(param.value));
    }
}

std::vector<ParameterView> Renderer::parameters() const {
    std::vector<ParameterView> views;
    for (int i = 0; i < effect_->numParams; ++i) {
        views.push_back({i, dispatchString(vst::effGetParamName, i),
                         dispatchString(vst::effGetParamDisplay, i),
                         dispatchString(vst::effGetParamLabel, i)});
    }
    return views;
}

RenderStats Renderer::render(const Sequence& sequence, WavWriter& out) {
    const double rate = settings_.sampleRate;
    const int block = settings_.blockSize;
    BlockEventQueue queue(sequence.events, rate, settings_.eventCapacity);
    host_.setTempoMap(sequence.tempo);

    // The last event must fall inside the render even when the tail is 0.
    RenderStats stats{};
    stats.contentFrames =
        std::max<std::int64_t>(std::llround(sequence.lengthSeconds * rate), queue.lastFrame() + 1);
    const std::int64_t totalFrames =
        stats.contentFrames + std::llround(settings_.tailSeconds * rate);

    const auto blockSize = static_cast<std::size_t>(block);
    std::vector<std::vector<float>> inputs(
        static_cast<std::size_t>(std::max(effect_->numInputs, 0)),
        std::vector<float>(blockSize, 0.0f));
    std::vector<std::vector<float>> outputs(static_cast<std::size_t>(effect_->numOutputs),
                                            std::vector<float>(blockSize, 0.0f));
    std::vector<float*> inputPointers;
    for (auto& channel : inputs) inputPointers.push_back(channel.data());
    std::vector<float*> outputPointers;
    for (auto& channel : outputs) outputPointers.push_back(channel.data());
    const float* left = outputs[0].data();
    const float* right = outputs.size() > 1 ? outputs[1].data() : left;

    dispatch(vst::effMainsChanged, 0, 1);
    resumed_ = true;
    host_.setPlaying(true);

    double sumOfSquares = 0.0;
    std::chrono::steady_clock::duration processTime{};
    for (std::int64_t position = 0; position < totalFrames; position += block) {
        const int frames = static_cast<int>(std::min<std::int64_t>(block, totalFrames - position));
        host_.setPosition(position);
        vst::VstEvents* events = queue.eventsForBlock(position, frames);
        if (events->numEvents > 0) {
            dispatch(vst::effProcessEvents, 0, 0, events);
        }
        for (auto& channel : inputs) std::fill(channel.begin(), channel.end(), 0.0f);
        for (auto& channel : outputs) std::fill(channel.begin(), channel.end(), 0.0f);

        const auto start = std::chrono::steady_clock::now();
        effect_->processReplacing(effect_, inputPointers.data(), outputPointers.data(), frames);
        processTime += std::chrono::steady_clock::now() - start;

        for (int i = 0; i < frames; ++i) {
            stats.peak = std::max({stats.peak, std::fabs(static_cast<double>(left[i])),
                                   std::fabs(static_cast<double>(right[i]))});
            sumOfSquares +=
                static_cast<double>(left[i]) * left[i] + static_cast<double>(right[i]) * right[i];
        }
        out.write(left, right, frames);
    }

    host_.setPlaying(false);
    dispatch(vst::effMainsChanged, 0, 0);
    resumed_ = false;

    stats.frames = totalFrames;
    stats.rms =
        totalFrames > 0 ? std::sqrt(sumOfSquares / (2.0 * static_cast<double>(totalFrames))) : 0.0;
    stats.processSeconds = std::chrono::duration<double>(processTime).count();
    stats.audioSeconds = static_cast<double>(totalFrames) / rate;
    return stats;
}

void Renderer::saveBankChunk(const std::string& path) const {
    void* data = nullptr;
    const vst::intptr size = dispatch(vst::effGetChunk, kChunkIsBank, 0, &data);
    if (size <= 0 || data == nullptr) {
        throw std::runtime_error("the plug-in gave no bank chunk");
    }
    std::ofstream stream(path, std::ios::binary);
    stream.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    stream.close();
    if (!stream) {
        throw std::runtime_error("cannot write chunk file " + path);
    }
}

Picture Renderer::editorPicture() const {
    EditorPicture request;
    dispatch(vst::effVendorSpecific, EditorPicture::kCall, 0, &request);  // asks for the size
    if (request.width <= 0 || request.height <= 0) {
        throw std::runtime_error("the plug-in draws no editor picture");
    }
    Picture picture;
    picture.width = request.width;
    picture.height = request.height;
    picture.rgba.resize(static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) * 4);
    request.rgba = picture.rgba.data();
    request.capacity = static_cast<std::int64_t>(picture.rgba.size());
    if (dispatch(vst::effVendorSpecific, EditorPicture::kCall, 0, &request) != 1) {
        throw std::runtime_error("the plug-in did not draw its editor");
    }
    return picture;
}

}  // namespace render
