// The editor's bitmaps, decoded once from the plug-in's PNG resources and shared by every
// control that shows them.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "toolkit/Bitmap.h"

class BitmapCache {
public:
    // Null when the plug-in has no such resource or it does not decode.
    std::shared_ptr<const toolkit::Bitmap> get(const char* name);

private:
    std::map<std::string, std::shared_ptr<const toolkit::Bitmap>, std::less<>> bitmaps_;
};
