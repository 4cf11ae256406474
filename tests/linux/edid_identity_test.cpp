// The panel identity: the EDID byte rules of both owners, and the read from
// the registry key below the monitor's PNP device id on the simulated machine.
#include <string>
#include <vector>

#include "../shared/test_platform.h"
#include "discovery/edid_fields.h"
#include "discovery/edid_registry.h"
#include "discovery/lcd_edid_parse.h"
#include "display_test_machines.h"
#include "sim/registry_model.h"
#include "temperature/operate_color.h"

namespace tw_test {

namespace {

using discovery::EdidOwner;

constexpr const wchar_t* kPanelKey =
    L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\BOE0C8B\\4&1a2b3c4d&0&"
    L"UID265988\\Device Parameters";
constexpr const char* kPanelPath =
    "SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\BOE0C8B\\4&1a2b3c4d&0&UID265988\\Device "
    "Parameters\\";
constexpr const char* kCaptionPath =
    "SYSTEM\\CurrentControlSet\\Enum\\Generic PnP Monitor\\Device Parameters\\";
constexpr const char* kLutSource = "(LutHandle3D::GetLcdEdidData)";
constexpr const char* kOperateSource = "(OperateColor::GetLcdEdidData)";
constexpr std::size_t kEdidBlock = 128;

// An EDID base block with the identity bytes given and the rest zero.
std::vector<unsigned char> Edid(unsigned char idHigh, unsigned char idLow,
                                std::vector<unsigned char> serial, unsigned char week,
                                unsigned char year, std::size_t size = kEdidBlock) {
    std::vector<unsigned char> edid(size);
    edid[8] = idHigh;
    edid[9] = idLow;
    std::copy(serial.begin(), serial.end(), edid.begin() + 12);
    edid[16] = week;
    edid[17] = year;
    return edid;
}

std::vector<unsigned char> AbcEdid() {
    return Edid(0x04, 0x43, {0x01, 0x02, 0x0A, 0xFF}, 12, 29);
}

std::vector<std::string> LogTexts() {
    std::vector<std::string> texts;
    for (const auto& record : ExportTest::LogRecords()) {
        texts.push_back("[" + std::to_string(record.level) + "] " + record.text);
    }
    return texts;
}

void StorePanelEdid(const std::vector<unsigned char>& bytes) {
    sim::Machine::Current().Registry().Preload(kPanelKey, L"EDID",
                                               {REG_BINARY, {bytes.begin(), bytes.end()}});
}

struct Identity {
    bool read = false;
    std::string vendor;
    std::string serial;
    std::uint32_t week = 0;
    std::uint32_t year = 0;
};

// What LutHandle3D's read gives: the value, then LcdEdidParse.
Identity ReadAsLutHandle() {
    Identity identity;
    const auto value = discovery::ReadEdidValue(EdidOwner::LutHandle3D);
    LcdEdidParse parse;
    identity.read = value && parse.ParseEdid(value->data(), static_cast<unsigned>(value->size()));
    identity.vendor = parse.GetVendor();
    identity.serial = parse.GetSerialNumber();
    identity.week = parse.GetWeek();
    identity.year = parse.GetYear();
    return identity;
}

std::size_t OpenKeys() {
    return sim::Machine::Current().Registry().OpenKeyCount();
}

void InstallDesktopMonitors(nlohmann::json monitors) {
    InstallDescription(
        {{"displays", {{"adapters", {Adapter("Intel", kPrimary, {Monitor(kPanelId)})}}}},
         {"system", {{"wmi", {{"Win32_DesktopMonitor", monitors}}}}}});
}

}  // namespace

// ---- the byte rules ----

TEST_F(ExportTest, IdentityBytesFollowTheirRulesForBothOwners) {
    LcdEdidParse parse;
    EXPECT_EQ(parse.GetWeek(), LcdEdidParse::kUnknown);
    auto edid = Edid(0x84, 0x43, {0x01, 0x02, 0x0A, 0xFF}, 54, 30);  // bit 15 set
    ASSERT_TRUE(parse.ParseEdid(edid.data(), 18));
    EXPECT_EQ(parse.GetVendor(), "ABC#");
    EXPECT_EQ(parse.GetSerialNumber(), "01020AFF");
    EXPECT_EQ(parse.GetWeek(), 0u);
    EXPECT_EQ(parse.GetYear(), 2020u);

    discovery::EdidTextIdentity text;
    ASSERT_TRUE(discovery::ParseEdidText(edid.data(), 18, text));
    EXPECT_EQ(text.vendor, "ABC#");
    EXPECT_EQ(text.serialNumber, "01020AFF");
    EXPECT_EQ(text.week, "00");
    EXPECT_EQ(text.year, "2020");

    for (const auto& [week, number, digits] :
         {std::tuple{7, 7u, "07"}, {10, 10u, "10"}, {53, 53u, "53"}, {255, 0u, "00"}}) {
        edid[16] = static_cast<unsigned char>(week);
        ASSERT_TRUE(parse.ParseEdid(edid.data(), 18));
        ASSERT_TRUE(discovery::ParseEdidText(edid.data(), 18, text));
        EXPECT_EQ(parse.GetWeek(), number) << week;
        EXPECT_EQ(text.week, digits) << week;
    }
    EXPECT_EQ(LogTexts(), std::vector<std::string>{});
}

TEST_F(ExportTest, RefusedLetterCodesAreLoggedByLcdEdidParseOnly) {
    LcdEdidParse parse;
    discovery::EdidTextIdentity text;
    const auto good = AbcEdid();
    ASSERT_TRUE(parse.ParseEdid(good.data(), kEdidBlock));
    ASSERT_TRUE(discovery::ParseEdidText(good.data(), kEdidBlock, text));

    // Letter codes 27 (third), 0 (second) and 27 (first, 0x6C43 >> 10).
    for (const auto& id : {std::vector<unsigned char>{0x04, 0x5B}, {0x00, 0x03}, {0x6C, 0x43}}) {
        const auto bad = Edid(id[0], id[1], {9, 9, 9, 9}, 1, 1);
        EXPECT_FALSE(parse.ParseEdid(bad.data(), kEdidBlock));
        EXPECT_FALSE(discovery::ParseEdidText(bad.data(), kEdidBlock, text));
    }
    // The parse resets before the id is read; OperateColor's texts stay.
    EXPECT_EQ(parse.GetVendor(), "");
    EXPECT_EQ(parse.GetWeek(), LcdEdidParse::kUnknown);
    EXPECT_EQ(text.vendor, "ABC#");
    EXPECT_EQ(text.serialNumber, "01020AFF");

    // The code is written as a character, escaped: a zero code no longer cuts
    // the line before its source.
    EXPECT_EQ(LogTexts(),
              (std::vector<std::string>{
                  "[3] Vendor data out of boundary,data:\\x1b(LcdEdidParse::ParseEdidVendor)",
                  "[3] Vendor data out of boundary,data:\\x00(LcdEdidParse::ParseEdidVendor)",
                  "[3] Vendor data out of boundary,data:\\x1b(LcdEdidParse::ParseEdidVendor)"}));
}

TEST_F(ExportTest, VendorParseChecksItsLengthAndKeepsTheVendorOnRefusal) {
    LcdEdidParse parse;
    const auto good = AbcEdid();
    ASSERT_TRUE(parse.ParseEdid(good.data(), kEdidBlock));
    const unsigned char zero[3] = {0, 0, 0};
    EXPECT_FALSE(parse.ParseEdidVendor(zero, 2));
    EXPECT_FALSE(parse.ParseEdidVendor(good.data() + 8, 3));
    EXPECT_EQ(parse.GetVendor(), "ABC#");
    EXPECT_EQ(LogTexts().back(),
              "[3] Vendor data length error,dataLen:3(LcdEdidParse::ParseEdidVendor)");
}

TEST_F(ExportTest, FewerThan18BytesLeaveTheIdentityUntouched) {
    LcdEdidParse parse;
    discovery::EdidTextIdentity text;
    const auto good = AbcEdid();
    ASSERT_TRUE(parse.ParseEdid(good.data(), 18));
    ASSERT_TRUE(discovery::ParseEdidText(good.data(), 18, text));
    const auto other = Edid(0x10, 0x21, {0, 0, 0, 0}, 1, 1);
    EXPECT_FALSE(parse.ParseEdid(other.data(), 17));
    EXPECT_FALSE(discovery::ParseEdidText(other.data(), 17, text));
    EXPECT_FALSE(discovery::ParseEdidText(nullptr, kEdidBlock, text));
    EXPECT_EQ(parse.GetVendor(), "ABC#");
    EXPECT_EQ(parse.GetWeek(), 12u);
    EXPECT_EQ(text.year, "2019");
    EXPECT_EQ(LogTexts(), std::vector<std::string>{});
}

// ---- the registry read ----

TEST_F(ExportTest, DefaultLaptopPanelIsReadByBothOwners) {
    OperateColor& operate = OperateColor::Instance();
    EXPECT_EQ(operate.GetPnpDeviceID(), "DISPLAY\\BOE0C8B\\4&1a2b3c4d&0&UID265988");
    EXPECT_EQ(operate.GetEdidDataPath(), kPanelPath);
    ASSERT_TRUE(operate.GetLcdEdidData());
    EXPECT_EQ(operate.GetLcdVendor(), "BOE#");
    EXPECT_EQ(operate.GetLcdSerialNumber(), "68000000");
    EXPECT_EQ(operate.GetLcdWeek(), "36");
    EXPECT_EQ(operate.GetLcdYear(), "2023");

    const Identity lut = ReadAsLutHandle();
    EXPECT_TRUE(lut.read);
    EXPECT_EQ(lut.vendor, "BOE#");
    EXPECT_EQ(lut.serial, "68000000");
    EXPECT_EQ(lut.week, 36u);
    EXPECT_EQ(lut.year, 2023u);
    EXPECT_EQ(discovery::ReadEdidValue(EdidOwner::OperateColor)->size(), kEdidBlock);
    EXPECT_EQ(OpenKeys(), 0u);
    EXPECT_EQ(LogTexts(), std::vector<std::string>{});
}

TEST_F(ExportTest, EdidValueMustHoldFrom1To2559Bytes) {
    auto longest = AbcEdid();
    longest.resize(2559);
    StorePanelEdid(longest);
    EXPECT_TRUE(ReadAsLutHandle().read);
    EXPECT_TRUE(OperateColor::Instance().GetLcdEdidData());
    EXPECT_EQ(OperateColor::Instance().GetLcdVendor(), "ABC#");

    longest.push_back(0);
    StorePanelEdid(longest);
    EXPECT_FALSE(ReadAsLutHandle().read);
    EXPECT_FALSE(OperateColor::Instance().GetLcdEdidData());
    StorePanelEdid({});
    EXPECT_FALSE(ReadAsLutHandle().read);
    EXPECT_FALSE(OperateColor::Instance().GetLcdEdidData());
    // A value too short to parse is read, then refused without a message.
    StorePanelEdid(std::vector<unsigned char>(17));
    EXPECT_FALSE(ReadAsLutHandle().read);
    EXPECT_FALSE(OperateColor::Instance().GetLcdEdidData());
    EXPECT_EQ(OperateColor::Instance().GetLcdVendor(), "ABC#");

    EXPECT_EQ(LogTexts(),
              (std::vector<std::string>{
                  std::string("[3] RegQuery max Edid value length Failed!") + kLutSource,
                  std::string("[3] RegQueryValueExA Failed!maxValueLength:2560") + kOperateSource,
                  std::string("[3] RegQuery max Edid value length Failed!") + kLutSource,
                  std::string("[3] RegQueryValueExA Failed!maxValueLength:0") + kOperateSource}));
    EXPECT_EQ(OpenKeys(), 0u);
}

TEST_F(ExportTest, MissingKeyOrValueIsLoggedWithTheOwnersTexts) {
    // The default laptop's panel without its EDID: the key does not exist.
    nlohmann::json panel =
        Monitor("MONITOR\\BOE0C8B\\{4d36e96e-e325-11ce-bfc1-08002be10318}\\0001");
    panel["instance"] = "4&1a2b3c4d&0&UID265988";
    InstallMachine({Adapter("Intel", kPrimary, {panel})});
    EXPECT_FALSE(ReadAsLutHandle().read);
    EXPECT_FALSE(OperateColor::Instance().GetLcdEdidData());
    // The key exists, the value does not.
    sim::Machine::Current().Registry().Preload(kPanelKey, L"BAD_EDID", {REG_BINARY, {1}});
    EXPECT_FALSE(ReadAsLutHandle().read);
    EXPECT_FALSE(OperateColor::Instance().GetLcdEdidData());
    EXPECT_EQ(
        LogTexts(),
        (std::vector<std::string>{
            std::string("[3] RegOpenKeyExA Failed! edidFullPath:") + kPanelPath + kLutSource,
            std::string("[3] RegOpenKeyExA Failed!displayPath:") + kPanelPath + kOperateSource,
            std::string("[3] RegQuery max Edid value length Failed!") + kLutSource,
            std::string("[3] RegQueryValueExA Failed!maxValueLength:0") + kOperateSource}));
    EXPECT_EQ(OpenKeys(), 0u);
}

// ---- the PNP device id ----

TEST_F(ExportTest, DeviceIdWithOneBackslashGivesNoPath) {
    InstallDesktopMonitors(
        {{{"PNPDeviceID", "DISPLAY\\BOE0C8B"}, {"Caption", "Generic PnP Monitor"}}});
    EXPECT_EQ(discovery::GetPnpDeviceID(), "");
    EXPECT_FALSE(ReadAsLutHandle().read);
    EXPECT_FALSE(OperateColor::Instance().GetLcdEdidData());
    EXPECT_EQ(LogTexts(), (std::vector<std::string>{
                              "[3] GetPnpDeviceID Failed! edidRegistryPath is empty.(LutHandle3D::"
                              "GetEdidDataPath)",
                              std::string("[3] Edid Path is empty!") + kLutSource,
                              std::string("[3] displayPath empty!") + kOperateSource}));
}

TEST_F(ExportTest, WithoutADeviceIdTheFirstCaptionIsTaken) {
    // The id query fails; the caption query that follows answers.
    OperateColor& operate = OperateColor::Instance();
    sim::Machine::Current().FailCall("ExecQuery", 0, false);
    EXPECT_EQ(discovery::GetPnpDeviceID(), "Generic PnP Monitor");
    sim::Machine::Current().FailCall("ExecQuery", 0, false);
    EXPECT_FALSE(operate.GetLcdEdidData());
    EXPECT_EQ(LogTexts(),
              (std::vector<std::string>{std::string("[3] RegOpenKeyExA Failed!displayPath:") +
                                        kCaptionPath + kOperateSource}));

    // A NULL id is left out by the query's condition, an empty one is taken
    // as none.
    for (const nlohmann::json& id : {nlohmann::json(nullptr), nlohmann::json("")}) {
        InstallDesktopMonitors({{{"PNPDeviceID", id}, {"Caption", "Panel"}},
                                {{"PNPDeviceID", nullptr}, {"Caption", "Second"}}});
        EXPECT_EQ(discovery::GetPnpDeviceID(), "Panel");
    }
    sim::Machine::Current().FailCall("ExecQuery", 0, true);
    EXPECT_EQ(discovery::GetPnpDeviceID(), "");
}

TEST_F(ExportTest, LutHandleTakesDeviceIdsShorterThan1024Characters) {
    const std::string prefix = "DISPLAY\\ABC0001\\";
    for (const std::size_t length : {std::size_t{1023}, std::size_t{1024}}) {
        InstallDesktopMonitors(
            {{{"PNPDeviceID", prefix + std::string(length - prefix.size(), '1')}}});
        EXPECT_FALSE(discovery::GetEdidDataPath(EdidOwner::OperateColor).empty());
        EXPECT_EQ(discovery::GetEdidDataPath(EdidOwner::LutHandle3D).empty(), length == 1024);
    }
}

}  // namespace tw_test
