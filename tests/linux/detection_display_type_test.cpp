// GetDisplayType on machines with chosen adapters and device code names: the
// first adapter naming a vendor decides, and every way out leaves its line.
#include <string>

#include "../shared/test_platform.h"
#include "display_test_machines.h"
#include "sim/system_model.h"
#include "sim/wmi.h"

namespace tw_test {

namespace {

nlohmann::json Device(const std::string& codeName) {
    return {{"deviceCodeName", codeName}};
}

std::vector<std::string> LogTexts(int level) {
    std::vector<std::string> texts;
    for (const auto& record : ExportTest::LogRecords()) {
        if (record.level == level) {
            texts.push_back(record.text);
        }
    }
    return texts;
}

}  // namespace

TEST_F(ExportTest, FirstAdapterNamingAVendorDecides) {
    InstallMachine({Adapter("intel(r) uhd graphics", kPrimary), Adapter("AMD Radeon", 0)});
    EXPECT_EQ(TW(GetDisplayType)(), 0);
    InstallMachine({Adapter("AMD Radeon", 0), Adapter("Intel(R) UHD Graphics", kPrimary)});
    EXPECT_EQ(TW(GetDisplayType)(), 3);
}

TEST_F(ExportTest, AmdOnTalvikDevicesIsItsOwnType) {
    InstallMachine({Adapter("AMD Radeon(TM) Graphics", kPrimary)}, Device("Talvik"));
    EXPECT_EQ(TW(GetDisplayType)(), 1);
    InstallMachine({Adapter("AMD Radeon(TM) Graphics", kPrimary)}, Device("talvikr"));
    EXPECT_EQ(TW(GetDisplayType)(), 1);
    InstallMachine({Adapter("AMD Radeon(TM) Graphics", kPrimary)}, Device("TALVIKS"));
    EXPECT_EQ(TW(GetDisplayType)(), 3);
}

TEST_F(ExportTest, MorvenDeviceIsDecidedWithoutAskingWmi) {
    InstallMachine({Adapter("Intel(R) UHD Graphics", kPrimary)}, Device("morven"));
    EXPECT_EQ(TW(GetDisplayType)(), 2);
    EXPECT_TRUE(sim::Machine::Current().System().WmiQueries().empty());
    EXPECT_EQ(LogTexts(1), std::vector<std::string>{"device is MORVEN"});
}

TEST_F(ExportTest, AdapterNamesAreLoggedAndTracedUntilOneMatches) {
    InstallMachine({Adapter("NVIDIA GeForce RTX 3050", 0),
                    Adapter("Intel(R) UHD Graphics", kPrimary), Adapter("AMD Radeon", 0)});
    EXPECT_EQ(TW(GetDisplayType)(), 0);
    EXPECT_EQ(LogTexts(1),
              (std::vector<std::string>{"NVIDIA GeForce RTX 3050", "Intel(R) UHD Graphics"}));
    EXPECT_EQ(sim::Machine::Current().DebugOutput(),
              (std::vector<std::wstring>{L"display name:NVIDIA GeForce RTX 3050(GetDisplayType)\n",
                                         L"display name:Intel(R) UHD Graphics(GetDisplayType)\n"}));
}

TEST_F(ExportTest, NoVendorAdapterReportsHowManyNamesItSaw) {
    InstallMachine({Adapter("NVIDIA GeForce RTX 3050", kPrimary)});
    EXPECT_EQ(TW(GetDisplayType)(), -1);
    EXPECT_EQ(LogTexts(3),
              std::vector<std::string>{"display type is not find!find display card size:1"});
}

TEST_F(ExportTest, FailedOrEmptyWmiQueryGivesNoType) {
    sim::Machine::Current().FailCall("ExecQuery", static_cast<DWORD>(sim::kWbemFailed));
    EXPECT_EQ(TW(GetDisplayType)(), -1);
    InstallMachine(std::vector<nlohmann::json>{});
    EXPECT_EQ(TW(GetDisplayType)(), -1);
    EXPECT_EQ(LogTexts(3), (std::vector<std::string>{"excute wmi ExcuteQuery failed",
                                                     "excute wmi ExcuteQuery failed"}));
}

}  // namespace tw_test
