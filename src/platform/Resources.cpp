#include <cstring>

#include "platform/EmbeddedResource.h"
#include "platform/Platform.h"

namespace platform {

std::span<const std::uint8_t> findResource(const char* name) {
    for (const EmbeddedResource* r = kEmbeddedResources; r->name != nullptr; ++r) {
        if (std::strcmp(r->name, name) == 0) {
            return {r->begin, static_cast<std::size_t>(r->end - r->begin)};
        }
    }
    return {};
}

}  // namespace platform
