// The detection exports against whatever machine the platform offers: the
// simulated default laptop on Linux, Wine's own display and WMI under Wine.
#include <algorithm>
#include <string>

#include "test_platform.h"

namespace tw_test {

TEST_F(ExportTest, PhysicalMonitorsOfTheMachineAreCounted) {
    const int count = TW(GetPhyMonitorCount)();
    if (OnWine()) {
        EXPECT_GE(count, 1);
    } else {
        EXPECT_EQ(count, 1);
    }
}

// Wine's one video controller is named after no vendor.
TEST_F(ExportTest, DisplayTypeComesFromTheVideoControllerNames) {
    if (OnWine()) {
        EXPECT_EQ(TW(GetDisplayType)(), -1);
        EXPECT_TRUE(Logged(3, "display type is not find!find display card size:1"));
    } else {
        EXPECT_EQ(TW(GetDisplayType)(), 0);
        EXPECT_TRUE(Logged(1, "Intel(R) UHD Graphics 620"));
    }
}

}  // namespace tw_test
