// The editor's window as a picture, for tools without a window system: the plug-in answers
// effVendorSpecific with index kCall and ptr pointing at this record by drawing its editor of the
// current program into the caller's buffer (straight-alpha RGBA rows, top row first).
#pragma once

#include <cstdint>

#include "vst/VstAbi.h"

struct EditorPicture {
    static constexpr vst::int32 kCall = vst::fourCC('V', 'k', 'P', 'i');

    std::int32_t width = 0;   // set by the plug-in, also when the buffer is too small
    std::int32_t height = 0;
    std::uint8_t* rgba = nullptr;
    std::int64_t capacity = 0;  // bytes at rgba
};
