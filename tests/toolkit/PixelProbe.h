// Measurements on a framebuffer for the toolkit tests: the box of pixels that differ from a
// background, and how many there are.
#pragma once

#include "toolkit/Framebuffer.h"

namespace toolkit::test {

struct Ink {
    Rect box;  // empty when nothing differs
    int count = 0;
};

inline Ink inkOn(const Framebuffer& fb, Pixel background) {
    Ink ink;
    for (int y = 0; y < fb.height(); ++y) {
        for (int x = 0; x < fb.width(); ++x) {
            if (!(fb.at(x, y) == background)) {
                ink.box = ink.box.united(Rect::fromSize(x, y, 1, 1));
                ++ink.count;
            }
        }
    }
    return ink;
}

}  // namespace toolkit::test
