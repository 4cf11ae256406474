// The AMD road where there is no AMD Display Library: the simulated Intel
// laptop on Linux, and Wine, which has no ADL.
#include "test_platform.h"

namespace tw_test {

TEST_F(ExportTest, WithoutAnAmdLibraryTheAmdRoadIsNeverReady) {
    EXPECT_EQ(TW(SetTemperatureForAMD)(1.0f, 1.0f, 1.0f, 0, 1.0), -1);
    TW(InitAdlGamut)();
    EXPECT_EQ(TW(SetTemperatureForAMD)(1.0f, 0.9f, 0.8f, 1, 0.5), -1);
    TW(UninitAdlGamut)();
    TW(UninitAdlGamut)();
    EXPECT_EQ(TW(SetTemperatureForAMD)(1.0f, 1.0f, 1.0f, 0, 1.0), -1);
    EXPECT_EQ(TW(GetBlueProtect)(-1), -1);
}

}  // namespace tw_test
