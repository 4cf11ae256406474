// The state before the first sensor reading, on the simulated laptop's Intel
// driver and under Wine, which has no Intel driver to take the ramp.
#include <string>

#include "test_platform.h"

namespace tw_test {

namespace {

void PrepareColourSettings() {
    TW(SetCircleR)(1.0);
    TW(SetCircleG)(0.9);
    TW(SetCircleB)(0.8);
    TW(SetEyeProtect)(0);
    TW(SetBlueProtect)(1000);
    TW(SetIsNatureColor)(1);
}

}  // namespace

TEST_F(ExportTest, TheDefaultStateStoresTheNeutralReadingAndTakesTheIntelDriverRoad) {
    PrepareColourSettings();
    TW(SetMonitorId)(12345);
    EXPECT_EQ(TW(SetDefaultNatureColor)(), OnWine() ? -101 : 0);
    if (OnWine()) {
        EXPECT_TRUE(Logged(3, "CreateInstanceCUIExternal fail(NaturalTone::HandleGammaRamp)"));
        EXPECT_TRUE(Logged(3,
                           "SetInitTemper: ProgramGammaRamp fail, errorCode = -101"
                           "(NaturalTone::SetInitTemper)"));
    }
    EXPECT_EQ(TW(GetSensorColor)(-1.0f), 5000.0f);
    EXPECT_EQ(TW(GetSensorLight)(-1.0f), 300.0f);
    EXPECT_EQ(TW(GetIsInitAmbientCct)(-1), 1);
}

TEST_F(ExportTest, TheDefaultStateNeedsTheColourSettingsAndTheDriversDeviceId) {
    EXPECT_EQ(TW(SetDefaultNatureColor)(), -1);
    EXPECT_TRUE(Logged(3,
                       "SetInitTemper: GetCurrentColorConfigInfo fail!"
                       "(NaturalTone::SetInitTemper)"));
    PrepareColourSettings();
    EXPECT_EQ(TW(SetDefaultNatureColor)(), -7);
    EXPECT_EQ(TW(GetIsInitAmbientCct)(-1), 1);
}

}  // namespace tw_test
