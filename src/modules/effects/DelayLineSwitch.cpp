#include "modules/effects/DelayLineSwitch.h"

#include "modules/effects/DelayKernels.h"

void DelayLineSwitch::prepare() {
    size_ = defaultSize_;
    enabled_ = true;
}

bool DelayLineSwitch::resize(std::int32_t requested) {
    const int size = delay_kernels::sizeIndex(requested);
    if (size == size_) {
        return false;
    }
    size_ = size;
    return enabled_;
}

bool DelayLineSwitch::switchOn(bool on) {
    const bool starts = on && !enabled_;
    enabled_ = on;
    return starts;
}
