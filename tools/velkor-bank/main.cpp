// velkor-bank: turns the factory program sources into the factory bank image.
//   velkor-bank SOURCE_FOLDER OUTPUT_FILE
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "velkor-bank/FactoryBankBuilder.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: velkor-bank SOURCE_FOLDER OUTPUT_FILE\n");
        return 2;
    }
    bank::FactoryBankBuilder builder;
    std::vector<bank::SourceError> errors;
    builder.readFolder(argv[1], errors);
    builder.check(errors);
    for (const bank::SourceError& error : errors) {
        std::fprintf(stderr, "%s\n", error.text().c_str());
    }
    if (!errors.empty()) {
        return 1;
    }
    // Written aside and renamed, so a failed run never leaves half an image for the build to embed.
    const std::filesystem::path output = argv[2];
    const std::filesystem::path partial = output.string() + ".partial";
    const std::vector<std::uint8_t> image = builder.image();
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
        if (!out) {
            std::fprintf(stderr, "%s: cannot write\n", partial.string().c_str());
            return 1;
        }
    }
    std::error_code fault;
    std::filesystem::rename(partial, output, fault);
    if (fault) {
        std::fprintf(stderr, "%s: %s\n", output.string().c_str(), fault.message().c_str());
        return 1;
    }
    return 0;
}
