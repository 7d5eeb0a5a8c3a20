// Option images: one small waveform screen per item of an option list, stacked vertically in
// the list's order.
#pragma once

#include <string>
#include <vector>

#include "Canvas.h"

namespace art {

// Throws std::runtime_error when an item names no known waveform.
Canvas paintWaveStrip(const std::vector<std::string>& items, int width, int frameHeight);

}  // namespace art
