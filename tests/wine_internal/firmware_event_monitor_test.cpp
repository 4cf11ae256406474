// The maker's firmware event monitor on a machine that is not the maker's:
// it cannot start, and a stop has nothing to do.
#include <gtest/gtest.h>

#include "services/wmi_util.h"

namespace {

// WBEM_E_INVALID_CLASS as the int the monitor returns.
constexpr int kFirmwareEventsMissing = static_cast<int>(0x80041010u);

}  // namespace

TEST(WineFirmwareEventMonitor, StartIsRefusedAndNothingIsCalledBack) {
    bool called = false;
    OrvSDK::BiosEventMonitor monitor;
    EXPECT_EQ(monitor.StartEventMonitor([&called](unsigned int) { called = true; }),
              kFirmwareEventsMissing);
    EXPECT_EQ(monitor.StopEventMonitor(), 0);
    EXPECT_FALSE(called);
}
