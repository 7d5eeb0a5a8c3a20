#include "velkor-render/WavWriter.h"

#include <stdexcept>

namespace render {

namespace {

constexpr int kChannels = 2;

}  // namespace

WavWriter::WavWriter(const std::string& path, int sampleRate) : path_(path) {
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = kChannels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    file_ = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file_ == nullptr) {
        throw std::runtime_error("cannot write " + path + ": " + sf_strerror(nullptr));
    }
}

WavWriter::~WavWriter() {
    if (file_ != nullptr) {
        sf_close(file_);
    }
}

void WavWriter::write(const float* left, const float* right, int frames) {
    if (file_ == nullptr) {
        throw std::logic_error("write to " + path_ + " after close");
    }
    interleaved_.resize(static_cast<std::size_t>(frames) * kChannels);
    for (int i = 0; i < frames; ++i) {
        interleaved_[static_cast<std::size_t>(i) * kChannels] = left[i];
        interleaved_[static_cast<std::size_t>(i) * kChannels + 1] = right[i];
    }
    const sf_count_t written = sf_writef_float(file_, interleaved_.data(), frames);
    if (written != frames) {
        throw std::runtime_error("cannot write " + path_ + ": " + sf_strerror(file_));
    }
    framesWritten_ += written;
}

void WavWriter::close() {
    if (file_ == nullptr) {
        return;
    }
    const int error = sf_close(file_);
    file_ = nullptr;
    if (error != 0) {
        throw std::runtime_error("cannot finish " + path_ + ": " + sf_error_number(error));
    }
}

}  // namespace render
