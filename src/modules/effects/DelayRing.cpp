#include "modules/effects/DelayRing.h"

#include <algorithm>
#include <cstring>

#include "modules/effects/DelayKernels.h"

using namespace delay_kernels;

// calloc leaves the pages of sizes never used untouched, so the room costs little until needed.
DelayRing::DelayRing(int sampleRate)
    : owned_(static_cast<float*>(std::calloc(static_cast<std::size_t>(bufferLength(0, sampleRate)), sizeof(float)))),
      samples_(owned_ ? owned_.get() : fallback_),
      sampleRate_(sampleRate),
      capacity_(owned_ ? bufferLength(0, sampleRate) : kFallbackLength) {
    select(0);
}

void DelayRing::select(int sizeIndex) {
    length_ = std::min(bufferLength(sizeIndex, sampleRate_), capacity_);
    mask_ = static_cast<unsigned>(length_ - 1);
}

void DelayRing::clear() { std::memset(samples_, 0, sizeof(float) * static_cast<std::size_t>(length_)); }
