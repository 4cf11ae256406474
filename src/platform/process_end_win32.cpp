#include "platform/process_end.h"

#include <atomic>

namespace platform {

namespace {

std::atomic<bool> g_processEnding{false};

}  // namespace

bool ProcessIsEnding() {
    return g_processEnding.load();
}

void NoteProcessEnding() {
    g_processEnding.store(true);
}

}  // namespace platform
