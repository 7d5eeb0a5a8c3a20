// The instrument face behind every control: the top bar with the logo and a titled panel for
// each section of the editor layout.
#pragma once

#include "Canvas.h"

namespace art {

Canvas paintBackground();

}  // namespace art
