// Every bitmap the editor loads, by resource file name, with the painter that makes it.
#pragma once

#include <span>

#include "Canvas.h"

namespace art {

struct ArtPiece {
    const char* file;
    Canvas (*paint)();
};

std::span<const ArtPiece> artCatalogue();

}  // namespace art
