#include "modules/modulation/QX_DSP_OS_Command.h"

#include <atomic>
#include <iterator>
#include <span>

#include "engine/QX_EngineHost.h"

namespace {

const char* linkAt(std::span<const char* const> links, int index) {
    return index >= 0 && index < static_cast<int>(links.size()) ? links[static_cast<std::size_t>(index)] : nullptr;
}

}  // namespace

QX_DSP_OS_Command::QX_DSP_OS_Command(QX_EngineHost* owner, bool asleep) : QX_ModuleBase(owner, asleep) {}

void QX_DSP_OS_Command::prepare() { setIdle(); }

void QX_DSP_OS_Command::handleEvent(const Event& event, int) {
    if (event.pin == kPinChoose) {
        chosen_ = event.ivalue;
        return;
    }
    // Values re-sent while a program is applied or the engine is built are stored states, not
    // presses; a release sends 0.
    const bool press = event.ivalue != 0 && !host->programJustLoaded.load(std::memory_order_acquire) &&
                       !host->programLoading.load(std::memory_order_acquire);
    if (!press) {
        return;
    }
    const char* link = event.pin == kPinOpenChosen ? linkAt(kChosenLinks, chosen_) : linkAt(kPinLinks, event.pin);
    if (link != nullptr && *link != '\0') {
        host->requestLink(link);
    }
}
