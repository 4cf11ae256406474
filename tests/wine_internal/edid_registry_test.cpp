// The EDID read linked directly against Wine's real registry and WMI.
//
// Wine 8's Win32_DesktopMonitor has one object with a Name ("Generic Non-PnP
// Monitor") and neither PNPDeviceID nor Caption: the device id query fails
// with WBEM_E_FAILED and the caption query with WBEM_E_NOT_FOUND, so the
// library finds no device id, no path and no EDID there. The registry part of
// the read is exercised on a key of the test's own instead.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "discovery/edid_registry.h"
#include "discovery/lcd_edid_parse.h"

namespace {

using discovery::EdidOwner;

constexpr const char* kDeviceKey = "SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\TWL0C8B";
constexpr const char* kEdidKey =
    "SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\TWL0C8B\\1&2345&0&UID1\\Device Parameters";
constexpr std::size_t kEdidBlock = 128;

// The default laptop's panel: its identity bytes, the rest of the block zero.
std::vector<unsigned char> PanelEdid(std::size_t size = kEdidBlock) {
    const unsigned char head[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x09,
                                  0xE5, 0x8B, 0x0C, 0x68, 0x00, 0x00, 0x00, 0x24, 0x21};
    std::vector<unsigned char> edid(size);
    std::copy(std::begin(head), std::end(head), edid.begin());
    return edid;
}

// A device node of the test's own in HKLM, removed with everything below it.
class ScratchDeviceNode {
  public:
    ScratchDeviceNode() {
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, kEdidKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE, nullptr, &key_, nullptr);
    }
    ~ScratchDeviceNode() {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kDeviceKey);
    }
    ScratchDeviceNode(const ScratchDeviceNode&) = delete;
    ScratchDeviceNode& operator=(const ScratchDeviceNode&) = delete;

    bool Created() const { return key_ != nullptr; }
    bool StoreEdid(const std::vector<unsigned char>& bytes) const {
        return RegSetValueExA(key_, "EDID", 0, REG_BINARY, bytes.data(),
                              static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
    }

  private:
    HKEY key_ = nullptr;
};

// The library's path form ends with a backslash.
std::optional<std::vector<unsigned char>> ReadAsLutHandle() {
    return discovery::ReadEdidValueAt(EdidOwner::LutHandle3D, std::string(kEdidKey) + "\\");
}

}  // namespace

TEST(WineEdidRegistry, ValueStoredInTheRegistryIsReadBackAndParsed) {
    const ScratchDeviceNode node;
    ASSERT_TRUE(node.Created());
    ASSERT_TRUE(node.StoreEdid(PanelEdid()));

    const auto value = ReadAsLutHandle();
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(*value, PanelEdid());
    LcdEdidParse parse;
    ASSERT_TRUE(parse.ParseEdid(value->data(), static_cast<unsigned int>(value->size())));
    EXPECT_EQ(parse.GetVendor(), "BOE#");
    EXPECT_EQ(parse.GetSerialNumber(), "68000000");
    EXPECT_EQ(parse.GetWeek(), 36u);
    EXPECT_EQ(parse.GetYear(), 2023u);
}

TEST(WineEdidRegistry, ValueMustHoldFrom1To2559Bytes) {
    const ScratchDeviceNode node;
    ASSERT_TRUE(node.Created());
    EXPECT_FALSE(ReadAsLutHandle().has_value());  // no value yet
    ASSERT_TRUE(node.StoreEdid(PanelEdid(2559)));
    EXPECT_EQ(ReadAsLutHandle().value_or(std::vector<unsigned char>{}).size(), 2559u);
    ASSERT_TRUE(node.StoreEdid(PanelEdid(2560)));
    EXPECT_FALSE(ReadAsLutHandle().has_value());
    ASSERT_TRUE(node.StoreEdid({}));
    EXPECT_FALSE(ReadAsLutHandle().has_value());
}

TEST(WineEdidRegistry, MissingKeyIsRefused) {
    EXPECT_FALSE(ReadAsLutHandle().has_value());
    EXPECT_FALSE(discovery::ReadEdidValueAt(EdidOwner::OperateColor, kEdidKey).has_value());
}

TEST(WineEdidRegistry, WineListsNoMonitorDeviceIdSoThereIsNoPath) {
    EXPECT_EQ(discovery::GetPnpDeviceID(), "");
    EXPECT_EQ(discovery::GetEdidDataPath(EdidOwner::LutHandle3D), "");
    EXPECT_FALSE(discovery::ReadEdidValue(EdidOwner::LutHandle3D).has_value());
    EXPECT_FALSE(discovery::ReadEdidValue(EdidOwner::OperateColor).has_value());
}
