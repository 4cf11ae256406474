// The system identity: the device code name copied for the caller, the
// desktop test, and the SMBIOS structures the Windows build reads them from.
#include <cstring>
#include <string>
#include <vector>

#include "../shared/test_platform.h"
#include "discovery/display_detection.h"
#include "display_test_machines.h"
#include "services/smbios_table.h"

namespace tw_test {

namespace {

constexpr std::size_t kCallerBuffer = 1024;

std::string CopiedDeviceType(const std::string& codeName) {
    InstallMachine(std::vector<nlohmann::json>{}, {{"deviceCodeName", codeName}});
    std::vector<char> buffer(kCallerBuffer, '#');
    discovery::CopyDeviceType(buffer.data());
    return std::string(buffer.data(), strnlen(buffer.data(), kCallerBuffer));
}

// Raw SMBIOS data as the firmware table provider hands it out.
class RawSmbios {
  public:
    RawSmbios& Structure(std::vector<std::uint8_t> formatted, std::vector<std::string> strings) {
        table_.insert(table_.end(), formatted.begin(), formatted.end());
        for (const auto& text : strings) {
            table_.insert(table_.end(), text.begin(), text.end());
            table_.push_back(0);
        }
        table_.push_back(0);
        if (strings.empty()) {
            table_.push_back(0);
        }
        return *this;
    }

    services::SmbiosTable Table(std::size_t cut = 0) const {
        std::vector<std::uint8_t> raw = {0, 3, 4, 0};
        const auto length = static_cast<std::uint32_t>(table_.size() - cut);
        for (int shift = 0; shift < 32; shift += 8) {
            raw.push_back(static_cast<std::uint8_t>(length >> shift));
        }
        raw.insert(raw.end(), table_.begin(), table_.end() - static_cast<std::ptrdiff_t>(cut));
        return services::SmbiosTable(raw);
    }

  private:
    std::vector<std::uint8_t> table_;
};

// System information with the family string number at 0x1A of `length` bytes.
std::vector<std::uint8_t> SystemInformation(std::uint8_t length, std::uint8_t family) {
    std::vector<std::uint8_t> formatted(length, 0);
    formatted[0] = 1;
    formatted[1] = length;
    if (length > 0x1A) {
        formatted[0x1A] = family;
    }
    return formatted;
}

std::vector<std::uint8_t> Enclosure(std::uint8_t chassisType) {
    return {3, 0x16, 0x00, 0x03, 0x01, chassisType, 0x02, 0x03, 0x03, 0x03, 0x02,
            0, 0,    0,    0,    0,    0,           0,    0,    0,    0,    0};
}

}  // namespace

TEST_F(ExportTest, DeviceTypeIsCopiedOnlyWhenItFitsTheCallersBuffer) {
    EXPECT_EQ(CopiedDeviceType(std::string(1022, 'A')), std::string(1022, 'A'));
    EXPECT_EQ(CopiedDeviceType(std::string(1023, 'A')), std::string(1024, '#'));
    EXPECT_EQ(CopiedDeviceType(""), std::string(1024, '#'));
    discovery::CopyDeviceType(nullptr);
}

TEST_F(ExportTest, DeviceTypeIsTracedWithItsLength) {
    CopiedDeviceType("Morven");
    EXPECT_EQ(sim::Machine::Current().DebugOutput(),
              std::vector<std::wstring>{
                  L"device type is Morven device.size()6(OperateColor::GetDeviceType)\n"});
}

TEST_F(ExportTest, DesktopIsChassisTypeThree) {
    EXPECT_FALSE(discovery::IsDesktopComputer());
    InstallMachine(std::vector<nlohmann::json>{}, {{"chassisType", 3}});
    EXPECT_TRUE(discovery::IsDesktopComputer());
}

TEST(SmbiosTable, ChassisTypeLosesTheLockBit) {
    RawSmbios raw;
    raw.Structure(SystemInformation(0x1B, 1), {"Vendor"}).Structure(Enclosure(0x83), {});
    EXPECT_EQ(raw.Table().ChassisType(), 3);
}

TEST(SmbiosTable, FamilyIsTheNumberedStringOfSystemInformation) {
    RawSmbios raw;
    raw.Structure(Enclosure(10), {"Maker"})
        .Structure(SystemInformation(0x1B, 3), {"Maker", "Model 14", "MORVEN", "SKU"});
    EXPECT_EQ(raw.Table().SystemFamily(), "MORVEN");
    EXPECT_EQ(raw.Table().ChassisType(), 10);
}

TEST(SmbiosTable, AbsentOrDamagedDataGivesNothing) {
    EXPECT_EQ(RawSmbios().Table().ChassisType(), std::nullopt);
    EXPECT_EQ(services::SmbiosTable({}).SystemFamily(), "");
    RawSmbios noFamilyField;
    noFamilyField.Structure(SystemInformation(0x19, 0), {"Maker"});
    EXPECT_EQ(noFamilyField.Table().SystemFamily(), "");
    RawSmbios noFamilyString;
    noFamilyString.Structure(SystemInformation(0x1B, 0), {"Maker"});
    EXPECT_EQ(noFamilyString.Table().SystemFamily(), "");
    RawSmbios cut;
    cut.Structure(SystemInformation(0x1B, 1), {"Maker"}).Structure(Enclosure(3), {});
    EXPECT_EQ(cut.Table(10).ChassisType(), std::nullopt);
    RawSmbios badLength;
    badLength.Structure({1, 2, 0, 0}, {}).Structure(Enclosure(3), {});
    EXPECT_EQ(badLength.Table().ChassisType(), std::nullopt);
}

}  // namespace tw_test
