#include "support/SharedTablesHold.h"

#include "engine/SharedSynthTables.h"

namespace {

bool held = false;

struct HoldForTheRun {
    HoldForTheRun() { holdSharedTables(true); }
    ~HoldForTheRun() { holdSharedTables(false); }
};

const HoldForTheRun holdForTheRun;

}  // namespace

void holdSharedTables(bool hold) {
    if (hold == held) {
        return;
    }
    held = hold;
    if (hold) {
        SharedSynthTables::acquire();
    } else {
        SharedSynthTables::release();
    }
}
