// velkor-art: paints the editor's bitmaps with cairo at build time.
//   velkor-art --out FOLDER NAME.png...
// The build names every bitmap it embeds; a name the generator cannot paint, or a bitmap the
// build does not ask for, is an error, so the two lists cannot drift apart.
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <exception>
#include <iostream>
#include <set>
#include <string>

#include "ArtCatalogue.h"

namespace {

// Frees cairo's and fontconfig's caches at exit, so leak checkers see a clean run.
class FontCacheRelease {
public:
    FontCacheRelease() = default;
    FontCacheRelease(const FontCacheRelease&) = delete;
    FontCacheRelease& operator=(const FontCacheRelease&) = delete;
    ~FontCacheRelease() {
        cairo_debug_reset_static_data();
        FcFini();
    }
};

}  // namespace

int main(int argc, char** argv) {
    const FontCacheRelease release;
    if (argc < 3 || std::string(argv[1]) != "--out") {
        std::cerr << "usage: velkor-art --out FOLDER NAME.png...\n";
        return 2;
    }
    const std::string folder = argv[2];
    std::set<std::string> asked(argv + 3, argv + argc);
    try {
        for (const art::ArtPiece& piece : art::artCatalogue()) {
            if (asked.erase(piece.file) == 0) {
                std::cerr << "velkor-art: the build does not embed " << piece.file << "\n";
                return 1;
            }
            const std::string path = folder + "/" + piece.file;
            if (!piece.paint().writePng(path)) {
                std::cerr << "velkor-art: cannot write " << path << "\n";
                return 1;
            }
        }
    } catch (const std::exception& e) {
        std::cerr << "velkor-art: " << e.what() << "\n";
        return 1;
    }
    for (const std::string& name : asked) {
        std::cerr << "velkor-art: no painter for " << name << "\n";
    }
    return asked.empty() ? 0 : 1;
}
