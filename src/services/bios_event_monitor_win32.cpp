// The maker's firmware event monitor on Windows. The firmware announces its
// events through a WMI event class of the maker's that exists only on the
// maker's machines; on any other machine (and under Wine) the monitor cannot
// start, and says so with a warning, as the other firmware components do.
#include "log/log_line.h"
#include "services/log_helper.h"
#include "services/wmi_util.h"

namespace OrvSDK {

namespace {

// WBEM_E_INVALID_CLASS: the WMI class that carries the firmware events is
// not there.
constexpr int kFirmwareEventsMissing = static_cast<int>(0x80041010u);

}  // namespace

// Nothing is ever started, so there is no state to share with a thread.
struct BiosEventMonitor::Events {};

BiosEventMonitor::BiosEventMonitor() = default;

BiosEventMonitor::~BiosEventMonitor() = default;

int BiosEventMonitor::StartEventMonitor(Callback) {
    LogMessage(log_level::kWarning,
               L"The maker's firmware event interface is not present on this machine: no firmware "
               L"events(OrvSDK::BiosEventMonitor::StartEventMonitor)");
    return kFirmwareEventsMissing;
}

// Never started, so there is nothing to stop.
int BiosEventMonitor::StopEventMonitor() {
    return 0;
}

}  // namespace OrvSDK
