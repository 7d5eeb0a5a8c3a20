// The shaped randomise law shared by the editor's randomise groups and the engine's section
// randomiser: the first members lean low, the next ones towards the middle, later ones are
// plain, and members past the fifteenth are cleared.
#pragma once

#include <cmath>

namespace shaped_random {

constexpr int kCubedMembers = 5;     // members 0..4: r cubed
constexpr int kCentredMembers = 10;  // members 5..9: pulled towards the middle
constexpr int kPlainMembers = 15;    // members 10..14: r; later members 0

// `r` drawn in 0..1 for member number `position`.
inline float value(int position, float r) {
    if (position < kCubedMembers) {
        return r * r * r;
    }
    if (position < kCentredMembers) {
        const float centred = r - 0.5f;
        return std::fabs(centred) * centred + 0.5f;
    }
    return position < kPlainMembers ? r : 0.0f;
}

}  // namespace shaped_random
