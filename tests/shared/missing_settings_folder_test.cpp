// The settings store finds its folder or fails; nothing the library does on
// the way, its own log lines included, may create that folder behind it.
#include <functional>
#include <string>
#include <vector>

#include "test_platform.h"

namespace tw_test {

namespace {

struct Setter {
    const char* name;
    std::function<int()> call;
};

std::vector<Setter> EverySetter() {
    return {
        {"SetTemperatureConfig", [] { return TW(SetTemperatureConfig)(6500); }},
        {"SetTemperatureSliderConfig", [] { return TW(SetTemperatureSliderConfig)(50); }},
        {"SetCircleAngle", [] { return TW(SetCircleAngle)(90.0); }},
        {"SetCircleRadiusScale", [] { return TW(SetCircleRadiusScale)(0.5); }},
        {"SetCircleR", [] { return TW(SetCircleR)(0.9); }},
        {"SetCircleG", [] { return TW(SetCircleG)(0.8); }},
        {"SetCircleB", [] { return TW(SetCircleB)(0.7); }},
        {"SetCircleIsDefault", [] { return TW(SetCircleIsDefault)(1); }},
        {"SetCircleIsCold", [] { return TW(SetCircleIsCold)(1); }},
        {"SetCircleIsWarm", [] { return TW(SetCircleIsWarm)(1); }},
        {"SetIsEnableEyeProtect", [] { return TW(SetIsEnableEyeProtect)(1); }},
        {"SetEyeProtect", [] { return TW(SetEyeProtect)(40); }},
        {"SetBlueProtect", [] { return TW(SetBlueProtect)(350); }},
        {"SetBlueProtectSlider", [] { return TW(SetBlueProtectSlider)(35); }},
        {"SetIsEnableWhitePoint", [] { return TW(SetIsEnableWhitePoint)(1); }},
        {"SetIsFirstAdjust", [] { return TW(SetIsFirstAdjust)(1); }},
        {"SetWhitePointR", [] { return TW(SetWhitePointR)(0.9f); }},
        {"SetWhitePointG", [] { return TW(SetWhitePointG)(0.8f); }},
        {"SetWhitePointB", [] { return TW(SetWhitePointB)(0.7f); }},
        {"SetCurrentDpInOutMode", [] { return TW(SetCurrentDpInOutMode)(1); }},
        {"SetGetCurrentColorFieldMode", [] { return TW(SetGetCurrentColorFieldMode)(2); }},
        {"SetIsColorFieldFirstDefaultAdjust",
         [] { return TW(SetIsColorFieldFirstDefaultAdjust)(1); }},
        {"SetResetColorFieldMode", [] { return TW(SetResetColorFieldMode)(1); }},
        {"SetColorFieldSetType", [] { return TW(SetColorFieldSetType)(1); }},
        {"SetIsNatureColor", [] { return TW(SetIsNatureColor)(1); }},
        {"SetSensorColor", [] { return TW(SetSensorColor)(5000.0f); }},
        {"SetSensorLight", [] { return TW(SetSensorLight)(300.0f); }},
        {"SetMonitorId", [] { return TW(SetMonitorId)(7); }},
        {"SetSensorR", [] { return TW(SetSensorR)(0.9f); }},
        {"SetSensorG", [] { return TW(SetSensorG)(0.8f); }},
        {"SetSensorB", [] { return TW(SetSensorB)(0.7f); }},
        {"SetIsInitAmbientCct", [] { return TW(SetIsInitAmbientCct)(1); }},
    };
}

}  // namespace

TEST_F(ExportTest, WithoutItsFolderEverySettingsWriteFailsAndTheFolderStaysMissing) {
    UseDefaultLogFile();
    RemoveIniFolder();
    ASSERT_FALSE(IniFolderExists());

    const std::vector<Setter> setters = EverySetter();
    // Twice: a first failure that created the folder would let the second pass.
    for (int round = 0; round < 2; ++round) {
        for (const Setter& setter : setters) {
            EXPECT_EQ(setter.call(), -1) << setter.name << " in round " << round;
        }
    }
    EXPECT_EQ(TW(GetTemperatureConfig)(-7), -7);
    EXPECT_EQ(TW(LcdLogMessage)(1, L"front-end line"), 0);

    EXPECT_FALSE(IniFolderExists());
    const auto records = LogRecords();
    ASSERT_FALSE(records.empty()) << "nothing reached the default log file";
    int errorLines = 0;
    for (const LogRecord& record : records) {
        errorLines += record.level == 3 ? 1 : 0;
    }
    EXPECT_EQ(errorLines, static_cast<int>(2 * setters.size()));
    EXPECT_EQ(records.back().text, "front-end line");
}

}  // namespace tw_test
