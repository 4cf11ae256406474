#include <new>
#include <stdexcept>

#include "../shared/test_platform.h"
#include "frame/guard.h"

namespace tw_test {

TEST_F(ExportTest, GuardTurnsAnyExceptionIntoFailureAndOneLine) {
    const int result = Guarded("MergeCircleCtAndSensorCt", L"MergeCircleCtAndSensorCt Exception.",
                               -1, []() -> int { throw 42; });
    EXPECT_EQ(result, -1);
    const auto records = LogRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].level, 3);
    EXPECT_EQ(records[0].text, "MergeCircleCtAndSensorCt Exception.(MergeCircleCtAndSensorCt)");
}

TEST_F(ExportTest, GuardPassesResultsThroughWithoutLogging) {
    EXPECT_EQ(
        Guarded("SetDefaultNatureColor", L"SetDefaultNatureColor Exception.", -1, [] { return 7; }),
        7);
    int calls = 0;
    Guarded("ClearMappingInfo", L"ClearMappingInfo Exception.", [&] { ++calls; });
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(LogRecords().empty());
}

TEST_F(ExportTest, VoidGuardSwallowsAndLogs) {
    Guarded("InitMonitorId", L"InitMonitorId Exception.", [] { throw std::bad_alloc(); });
    const auto records = LogRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].text, "InitMonitorId Exception.(InitMonitorId)");
}

TEST_F(ExportTest, TextGuardAppendsTheExceptionTextFromTheAnsiCodePage) {
    const int result =
        GuardedWithText("StartMonitorNatureColor", L"StartMonitorNatureColor Exception.msg:", -1,
                        []() -> int { throw std::runtime_error("caf\xe9 down"); });
    EXPECT_EQ(result, -1);
    const auto records = LogRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].text,
              "StartMonitorNatureColor Exception.msg:caf\xc3\xa9 down(StartMonitorNatureColor)");
}

TEST_F(ExportTest, TextGuardLetsNonStandardExceptionsThrough) {
    EXPECT_THROW(GuardedWithText("StartMonitorNatureColor", L"x", -1, []() -> int { throw 1; }),
                 int);
}

}  // namespace tw_test
