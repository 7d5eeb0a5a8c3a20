#include "modules/modulation/LinkMessages.h"

#include <span>

namespace {

const char* linkAt(std::span<const char* const> links, int index) {
    return index >= 0 && index < static_cast<int>(links.size()) ? links[static_cast<std::size_t>(index)] : nullptr;
}

}  // namespace

const char* LinkMessages::receive(int pin, std::int32_t value) {
    if (pin == kPinChoose) {
        chosen_ = value;
        return nullptr;
    }
    if (value == 0) {
        return nullptr;
    }
    const char* link = pin == kPinOpenChosen ? linkAt(kChosenLinks, chosen_) : linkAt(kPinLinks, pin);
    return link != nullptr && *link != '\0' ? link : nullptr;
}
