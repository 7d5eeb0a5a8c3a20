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

    // Calls `deliver(index, value)` for every slot posted since the last collect, in id order;
    // returns how many. With nothing posted it reads one flag and no slot.
    template <typename Deliver>
    int collect(Deliver&& deliver) {
        if (!pending_.load(std::memory_order_relaxed) || !pending_.exchange(false, std::memory_order_acq_rel)) {
            return 0;
        }
        int delivered = 0;
        for (int word = 0; word < kWords; ++word) {
            std::uint32_t bits = dirty_[word].exchange(0, std::memory_order_acq_rel);
            while (bits != 0) {
                const int bit = __builtin_ctz(bits);
                bits &= bits - 1;
                const int index = word * 32 + bit;
                deliver(index, values_[index].load(std::memory_order_relaxed));
                ++delivered;
            }
        }
        return delivered;
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
    // Raised after every mark; a collect that takes it down finds the marks raised before.
    std::atomic<bool> pending_{false};
};
