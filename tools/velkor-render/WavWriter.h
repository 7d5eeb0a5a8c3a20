// Writes the render as a 32-bit float stereo WAV file through libsndfile.
#pragma once

#include <sndfile.h>

#include <cstdint>
#include <string>
#include <vector>

namespace render {

class WavWriter {
public:
    // Throws std::runtime_error when the file cannot be created.
    WavWriter(const std::string& path, int sampleRate);
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    void write(const float* left, const float* right, int frames);
    // Finishes the header; throws if the data did not reach the disk. Also done by the destructor.
    void close();

    std::int64_t framesWritten() const { return framesWritten_; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    SNDFILE* file_ = nullptr;
    std::vector<float> interleaved_;
    std::int64_t framesWritten_ = 0;
};

}  // namespace render
