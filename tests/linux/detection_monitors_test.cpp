// Counting physical monitors, the active monitor records, the maker's monitor
// and the main adapter, on machines with chosen adapters and monitors.
#include <string>
#include <vector>

#include "../shared/test_platform.h"
#include "discovery/display_detection.h"
#include "display_test_machines.h"

namespace tw_test {

namespace {

constexpr const char* kVirtualDriver = "root\\VirtualDisplayDriver";

std::vector<DisplayDeviceRecord> BuiltList() {
    std::vector<DisplayDeviceRecord> list;
    discovery::BuildDisplayDeviceList(list);
    return list;
}

std::wstring Code(const wchar_t* characters) {
    std::wstring code(characters);
    code.resize(8, L'\0');
    return code;
}

}  // namespace

TEST_F(ExportTest, CountSkipsVirtualDriversAndTheMakersMonitorButNoStateFlags) {
    InstallMachine(
        {Adapter("Indirect", 0, {Monitor(kPanelId)}, "IndirectDSP\\VirtualDisplayDriver"),
         Adapter("Virtual", 0, {Monitor(kPanelId)}, kVirtualDriver),
         Adapter("Other case", 0, {Monitor(kPanelId)}, "ROOT\\VirtualDisplayDriver"),
         Adapter("Intel", kPrimary,
                 {Monitor(kPanelId, 0), Monitor(kMakerMonitorId), Monitor("x")})});
    EXPECT_EQ(TW(GetPhyMonitorCount)(), 3);
}

TEST_F(ExportTest, RecordsAreTakenFromActiveAttachedMonitorsOfEveryAdapter) {
    InstallMachine({Adapter("Virtual", 0, {Monitor(kMakerMonitorId)}, kVirtualDriver),
                    Adapter("Intel", kPrimary,
                            {Monitor(kPanelId, DISPLAY_DEVICE_ACTIVE),
                             Monitor(kPanelId, DISPLAY_DEVICE_ATTACHED), Monitor(kPanelId)})});
    const auto list = BuiltList();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].deviceName, L"\\\\.\\DISPLAY1\\Monitor0");
    EXPECT_EQ(list[0].monitorCode, Code(L"ORV2016"));
    EXPECT_EQ(list[1].deviceName, L"\\\\.\\DISPLAY2\\Monitor2");
    EXPECT_EQ(list[1].monitorCode, Code(L"BOE0867"));
    const auto trace = sim::Machine::Current().DebugOutput();
    ASSERT_EQ(trace.size(), 4u);
    EXPECT_EQ(trace[0], L"[LCD DisplayDevices DeviceName] \\\\.\\DISPLAY1\\Monitor0\n");
    EXPECT_EQ(trace[1], L"[LCD DisplayDevices monitor name] ORV2016");
}

TEST_F(ExportTest, MonitorCodeIsCutToSevenPaddedToEightOrAbsent) {
    InstallMachine({Adapter("Intel", kPrimary,
                            {Monitor("MONITOR\\ABCDEFGHI\\{guid}\\0001"), Monitor("MONITOR\\AB\\0"),
                             Monitor("MONITOR\\\\x"), Monitor("MONITOR\\NOSECOND")})});
    const auto list = BuiltList();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].monitorCode, Code(L"ABCDEFG"));
    EXPECT_EQ(list[1].monitorCode, Code(L"AB"));
    EXPECT_EQ(list[2].monitorCode, Code(L""));
}

TEST_F(ExportTest, ListIsAppendedToNotReplaced) {
    std::vector<DisplayDeviceRecord> list{{L"kept", Code(L"KEEP")}};
    discovery::BuildDisplayDeviceList(list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].deviceName, L"kept");
}

TEST_F(ExportTest, MakersMonitorIsFoundByItsCodeInOrder) {
    const std::vector<DisplayDeviceRecord> list{
        {L"a", Code(L"BOE0867")}, {L"b", Code(L"XORV123")}, {L"c", Code(L"ORV2016")}};
    EXPECT_TRUE(discovery::HaveOrvMonitor(list));
    EXPECT_EQ(sim::Machine::Current().DebugOutput(),
              std::vector<std::wstring>(2, L"[LCD HaveOrvMonitor begin] \n"));
    EXPECT_FALSE(discovery::HaveOrvMonitor({{L"a", Code(L"BOE0867")}}));
    EXPECT_FALSE(discovery::HaveOrvMonitor({}));
}

TEST_F(ExportTest, MainAdapterIsTheFirstPrimaryOnTheDesktop) {
    InstallMachine({Adapter("Attached", kOnDesktop),
                    Adapter("Primary but detached", DISPLAY_DEVICE_PRIMARY_DEVICE),
                    Adapter("Main", kPrimary), Adapter("Second main", kPrimary)});
    EXPECT_EQ(discovery::GetMainActiveDeviceName("OperateColor::GetMainActiveDeviceName"),
              L"\\\\.\\DISPLAY3");
    InstallMachine({Adapter("Attached", kOnDesktop)});
    EXPECT_EQ(discovery::GetMainActiveDeviceName("OperateColor::GetMainActiveDeviceName"), L"");
    EXPECT_TRUE(LogRecords().empty());
}

TEST_F(ExportTest, UnreadableSettingsAreLoggedAndTheAdapterStillExamined) {
    InstallDescription(nlohmann::json::parse(R"({"displays": {"adapters": [
        {"stateFlags": 1}, {"stateFlags": 5, "registrySettings": null}, {"stateFlags": 5}]}})"));
    sim::Machine::Current().FailCall("EnumDisplaySettingsW", ERROR_INVALID_PARAMETER);
    EXPECT_EQ(discovery::GetMainActiveDeviceName("IntelDriverManager::GetMainActiveDeviceName"),
              L"\\\\.\\DISPLAY2");
    const auto records = LogRecords();
    ASSERT_EQ(records.size(), 2u);
    for (const auto& record : records) {
        EXPECT_EQ(record.level, 3);
        EXPECT_EQ(record.text,
                  "EnumDisplaySettings failed.(IntelDriverManager::GetMainActiveDeviceName)");
    }
}

TEST_F(ExportTest, FirstAdapterCountsOnlyWithItsCurrentSettings) {
    EXPECT_EQ(discovery::FirstAdapterName(), L"\\\\.\\DISPLAY1");
    InstallMachine({Adapter("Detached", 0), Adapter("Main", kPrimary)});
    EXPECT_EQ(discovery::FirstAdapterName(), L"");
    InstallMachine(std::vector<nlohmann::json>{});
    EXPECT_EQ(discovery::FirstAdapterName(), L"");
}

}  // namespace tw_test
