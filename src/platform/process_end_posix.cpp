#include "platform/process_end.h"

namespace platform {

bool ProcessIsEnding() {
    return false;
}

}  // namespace platform
