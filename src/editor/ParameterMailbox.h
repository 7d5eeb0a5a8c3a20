// Parameter values on their way to the editor's views: any thread posts (the host's, the audio
// thread through module writes), the thread that owns the views collects. Lock-free, fixed size.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

class ParameterMailbox {
public:
    static constexpr int kSlots = 451;

    // Ids outside 0..450 are ignored.
    void post(int index, float value);

    // Calls `deliver(index, value)` for every slot posted since the last collect, in id order.
    template <typename Deliver>
    void collect(Deliver&& deliver) {
        for (int word = 0; word < kWords; ++word) {
            std::uint32_t bits = dirty_[word].exchange(0, std::memory_order_acq_rel);
            while (bits != 0) {
                const int bit = __builtin_ctz(bits);
                bits &= bits - 1;
                const int index = word * 32 + bit;
                deliver(index, values_[index].load(std::memory_order_relaxed));
            }
        }
    }

    // Every slot ever posted, with its latest value, whether collected or not.
    template <typename Deliver>
    void forEachKnown(Deliver&& deliver) const {
        for (int index = 0; index < kSlots; ++index) {
            if (known_[index].load(std::memory_order_acquire)) {
                deliver(index, values_[index].load(std::memory_order_relaxed));
            }
        }
    }

    // Forgets what is waiting; the known values stay.
    void discardPending();

private:
    static constexpr int kWords = (kSlots + 31) / 32;

    std::array<std::atomic<float>, kSlots> values_{};
    std::array<std::atomic<bool>, kSlots> known_{};
    std::array<std::atomic<std::uint32_t>, kWords> dirty_{};
};
