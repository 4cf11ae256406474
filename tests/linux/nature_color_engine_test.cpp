// What the nature-colour exports leave in the engine, and the white point
// calibrator's override of the stored white point switch during a merge.
#include <array>

#include "../shared/test_platform.h"
#include "naturecolor/natural_tone.h"
#include "whitepoint/white_point_calibration.h"

namespace tw_test {

namespace {

std::array<double, 3> Merge() {
    std::array<double, 3> out{};
    EXPECT_EQ(TW(MergeCircleCtAndSensorCt)(1.0f, 1.0f, 1.0f, &out[0], &out[1], &out[2]), 0);
    return out;
}

}  // namespace

TEST_F(ExportTest, TheConfigurationTakesEachArgumentAndTheDisplayType) {
    TW(SetNatureColorAll)(30, 50, 2, 150.0f, 3500.0f, 40.0f);
    const NatureColorAllInfo info = NaturalTone::Instance().NatureColorAll();
    EXPECT_EQ(info.mDisplayCardType, static_cast<std::uint32_t>(TW(GetDisplayType)()));
    EXPECT_EQ(info.mFrameCount, 30);
    EXPECT_EQ(info.mFrameInterval, 50u);
    EXPECT_TRUE(info.mNatureFlag);
    EXPECT_EQ(info.mCctDiffThresh, 150.0f);
    EXPECT_EQ(info.mCtLowLuma, 3500.0f);
    EXPECT_EQ(info.mLuminanceThresh, 40.0f);
}

TEST_F(ExportTest, WhileTheCalibratorMergesItsFlagDecidesOverTheStoredSwitch) {
    WriteIni("[WHITEPOINT]\r\nIsEnableWhitePointAdjust=1\r\nWhitePointR=0.5\r\n");
    auto& calibration = WhitePointCalibration::Instance();
    calibration.SetOverride(true, false);
    EXPECT_EQ(Merge()[0], 1.0);

    WriteIni("[WHITEPOINT]\r\nIsEnableWhitePointAdjust=0\r\nWhitePointR=0.5\r\n");
    calibration.SetOverride(true, true);
    EXPECT_EQ(Merge()[0], 0.5);

    calibration.SetOverride(false, true);
    EXPECT_EQ(Merge()[0], 1.0);
}

}  // namespace tw_test
