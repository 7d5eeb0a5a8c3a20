// A file built into the library (the factory bank, bitmaps), found by its file name.
#pragma once

struct EmbeddedResource {
    const char* name;
    const unsigned char* begin;
    const unsigned char* end;
};

// Ends with an entry whose name is null.
extern const EmbeddedResource kEmbeddedResources[];
