// Where the Sensor API's manager class is not registered (Wine has none),
// both monitor types fail at the manager with their line, and there is
// nothing to uninstall.
#include <string>

#include "test_platform.h"

namespace tw_test {

TEST_F(ExportTest, WithoutTheSensorManagerClassBothMonitorTypesFailAtTheManager) {
    UnregisterSensorManager();
    TW(SetNatureColorStatus)(1);
    EXPECT_EQ(TW(StartMonitorNatureColor)(0), -1);
    EXPECT_EQ(TW(StartMonitorNatureColor)(1), -1);

    int lines = 0;
    for (const auto& record : LogRecords()) {
        lines += record.level == 3 && record.text ==
                                          "::CoCreateInstance NatureColor SensorManager "
                                          "Faild(StartMonitorNatureColorSensorEventImpl)"
                     ? 1
                     : 0;
    }
    EXPECT_EQ(lines, 2);
    EXPECT_EQ(TW(UninstallNatureColorObject)(0), 0);
    EXPECT_EQ(TW(UninstallNatureColorObject)(1), 0);
    TW(SetNatureColorStatus)(0);
}

}  // namespace tw_test
