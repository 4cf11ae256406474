// The WMI query object against the machine's WMI: objects derived from the
// display hardware or listed by the description, the WQL the library uses,
// and the failures it must survive.
#include <optional>
#include <string>
#include <vector>

#include "../shared/test_platform.h"
#include "display_test_machines.h"
#include "services/wmi_util.h"
#include "sim/system_model.h"
#include "sim/wmi.h"

namespace tw_test {

namespace {

constexpr const wchar_t* kMonitorIds =
    L"SELECT PNPDeviceID FROM Win32_DesktopMonitor WHERE PNPDeviceID IS NOT NULL";

struct Answer {
    int status;
    std::vector<std::wstring> values;
};

Answer Query(const std::wstring& query, const std::wstring& property, bool flag = false,
             const std::wstring& wmiNamespace = kWmiNamespaceCimV2) {
    OrvSDK::WmiQuery wmi(wmiNamespace);
    Answer answer;
    answer.status = wmi.ExcuteQuery(query, property, answer.values, flag);
    return answer;
}

}  // namespace

TEST_F(ExportTest, DefaultLaptopAnswersTheDisplayQueries) {
    const Answer controllers = Query(L"SELECT Name FROM Win32_VideoController", L"Name");
    EXPECT_EQ(controllers.status, 0);
    EXPECT_EQ(controllers.values, std::vector<std::wstring>{L"Intel(R) UHD Graphics 620"});
    const Answer monitors = Query(kMonitorIds, L"PNPDeviceID", true);
    EXPECT_EQ(monitors.values,
              std::vector<std::wstring>{L"DISPLAY\\BOE0C8B\\4&1a2b3c4d&0&UID265988"});
    const Answer captions = Query(L"select caption from win32_desktopmonitor", L"Caption");
    EXPECT_EQ(captions.values, std::vector<std::wstring>{L"Generic PnP Monitor"});
}

TEST_F(ExportTest, MonitorWithoutHardwareIdIsLeftOutByTheNullCondition) {
    InstallMachine({Adapter("Intel", kPrimary, {Monitor("Default_Monitor"), Monitor(kPanelId)})});
    EXPECT_EQ(Query(L"SELECT Caption FROM Win32_DesktopMonitor", L"Caption").values.size(), 2u);
    const Answer ids = Query(kMonitorIds, L"PNPDeviceID");
    ASSERT_EQ(ids.values.size(), 1u);
    EXPECT_EQ(ids.values[0].substr(0, 16), L"DISPLAY\\BOE0867\\");
}

TEST_F(ExportTest, FlagAsksForTheFirstValueOnly) {
    InstallMachine({Adapter("Intel", kPrimary, {Monitor(kPanelId), Monitor(kMakerMonitorId)})});
    EXPECT_EQ(Query(kMonitorIds, L"PNPDeviceID", false).values.size(), 2u);
    EXPECT_EQ(Query(kMonitorIds, L"PNPDeviceID", true).values.size(), 1u);
}

TEST_F(ExportTest, DescribedObjectsReplaceTheDerivedOnes) {
    InstallDescription(nlohmann::json::parse(R"({
        "displays": {"adapters": [{"deviceString": "Intel(R) Iris(R) Xe Graphics"}]},
        "system": {"wmi": {"Win32_VideoController": [
            {"Name": "AMD Radeon(TM) Graphics"}, {"Name": null}, {"Name": "Intel(R) Arc"}]}}
    })"));
    const Answer names = Query(L"SELECT Name FROM Win32_VideoController", L"Name");
    EXPECT_EQ(names.values,
              (std::vector<std::wstring>{L"AMD Radeon(TM) Graphics", L"Intel(R) Arc"}));
}

TEST_F(ExportTest, QueriesThatFindNothingOrCannotRunFail) {
    EXPECT_EQ(Query(L"SELECT Name FROM Win32_SoundDevice", L"Name").status,
              OrvSDK::WmiQuery::kNoResult);
    EXPECT_EQ(Query(L"SELECT Name FROM Win32_VideoController", L"Caption").status,
              sim::kWbemNotFound);
    EXPECT_EQ(Query(L"SELECT Name Win32_VideoController", L"Name").status, sim::kWbemInvalidQuery);
    EXPECT_EQ(
        Query(L"SELECT Name FROM Win32_VideoController", L"Name", false, L"ROOT\\SecurityCenter2")
            .status,
        sim::kWbemInvalidNamespace);
    EXPECT_EQ(
        Query(L"SELECT Name FROM Win32_VideoController", L"Name", false, kWmiNamespaceWmi).status,
        OrvSDK::WmiQuery::kNoResult);
    sim::Machine::Current().FailCall("ExecQuery", static_cast<DWORD>(sim::kWbemFailed));
    const Answer failed = Query(L"SELECT Name FROM Win32_VideoController", L"Name");
    EXPECT_EQ(failed.status, sim::kWbemFailed);
    EXPECT_TRUE(failed.values.empty());
}

// ROOT\WMI names each connected monitor by its device node and instance
// index; a connection arrives as VT_I4 and reads as its unsigned value.
TEST_F(ExportTest, ConnectionParamsNameTheMonitorsThatDescribeTheirConnection) {
    auto panel = Monitor(kPanelId);
    panel["connection"] = "internal";
    panel["instance"] = "4&1a2b3c4d&0&UID265988";
    auto external = Monitor(kMakerMonitorId);
    external["connection"] = "hdmi";
    InstallMachine(
        {Adapter("Intel", kPrimary, {panel, Monitor("MONITOR\\AUO21ED\\{x}\\3"), external})});
    OrvSDK::WmiQuery wmi(kWmiNamespaceWmi);
    std::vector<OrvSDK::WmiQuery::Row> rows;
    ASSERT_EQ(wmi.ExcuteQueryRows(
                  L"SELECT InstanceName, VideoOutputTechnology FROM WmiMonitorConnectionParams",
                  {L"VideoOutputTechnology", L"InstanceName"}, rows),
              0);
    EXPECT_EQ(rows, (std::vector<OrvSDK::WmiQuery::Row>{
                        {L"2147483648", L"DISPLAY\\BOE0867\\4&1a2b3c4d&0&UID265988_0"},
                        {L"5", L"DISPLAY\\ORV2016\\1&0&0&UID2_0"}}));
    EXPECT_EQ(wmi.ExcuteQueryRows(L"SELECT InstanceName FROM WmiMonitorConnectionParams",
                                  {L"InstanceName", L"VideoOutputTechnology"}, rows),
              sim::kWbemNotFound);
}

TEST_F(ExportTest, EveryQueryIsRecordedWithItsNamespace) {
    Query(L"SELECT Name FROM Win32_VideoController", L"Name");
    sim::Machine::Current().FailCall("ExecQuery", static_cast<DWORD>(sim::kWbemFailed));
    Query(kMonitorIds, L"PNPDeviceID", true);
    const auto queries = sim::Machine::Current().System().WmiQueries();
    ASSERT_EQ(queries.size(), 2u);
    EXPECT_EQ(queries[0].wmiNamespace, L"ROOT\\CIMV2");
    EXPECT_EQ(queries[1].query, kMonitorIds);
}

}  // namespace tw_test
