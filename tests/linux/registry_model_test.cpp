// The simulated registry: advapi32's contracts as the library and its later
// readers (EDID under HKLM\SYSTEM\CurrentControlSet\Enum) rely on them.
#include <windows.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "../shared/test_platform.h"
#include "sim/machine.h"
#include "sim/registry_model.h"

namespace tw_test {

namespace {

constexpr const wchar_t* kKey = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Tintwell\\Test";

sim::RegistryModel& Registry() {
    return sim::Machine::Current().Registry();
}

void InstallMachine(const char* json) {
    const auto root = sim::Machine::Current().Root();
    auto machine = sim::Machine::FromJson(nlohmann::json::parse(json));
    machine->SetRoot(root);
    sim::Machine::Install(std::move(machine));
}

HKEY Create(HKEY root, const wchar_t* path, DWORD* disposition = nullptr,
            REGSAM access = KEY_WRITE) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                              &key, disposition),
              static_cast<LSTATUS>(ERROR_SUCCESS));
    return key;
}

HKEY Open(HKEY root, const wchar_t* path, REGSAM access = KEY_READ) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(root, path, 0, access, &key), static_cast<LSTATUS>(ERROR_SUCCESS));
    return key;
}

LSTATUS SetString(HKEY key, const wchar_t* name, const std::wstring& text) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR)));
}

std::vector<BYTE> Utf16(const std::u16string& text) {
    std::vector<BYTE> bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<BYTE>(unit & 0xFF));
        bytes.push_back(static_cast<BYTE>(unit >> 8));
    }
    return bytes;
}

}  // namespace

TEST_F(ExportTest, RegistryCreatesIntermediateKeysAndReportsTheDisposition) {
    DWORD disposition = 0;
    HKEY key = Create(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tintwell\\Test", &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    EXPECT_TRUE(Registry().KeyExists(L"HKLM\\SOFTWARE"));
    EXPECT_TRUE(Registry().KeyExists(L"HKLM\\software\\tintwell"));
    EXPECT_TRUE(Registry().KeyExists(kKey));
    EXPECT_FALSE(Registry().KeyExists(L"HKEY_CURRENT_USER\\SOFTWARE\\Tintwell"));
    EXPECT_EQ(RegCloseKey(key), static_cast<LSTATUS>(ERROR_SUCCESS));

    HKEY again = Create(HKEY_LOCAL_MACHINE, L"software\\TINTWELL\\test", &disposition);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    EXPECT_NE(again, key);
    RegCloseKey(again);
    EXPECT_EQ(Registry().OpenKeyCount(), 0u);
}

TEST_F(ExportTest, RegistryStoresStringsAsUtf16LittleEndian) {
    HKEY key = Create(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tintwell\\Test");
    ASSERT_EQ(SetString(key, L"r", L"1.000000"), static_cast<LSTATUS>(ERROR_SUCCESS));
    ASSERT_EQ(SetString(key, L"wide", L"caf\u00e9\u4e2d\U0001F600"),
              static_cast<LSTATUS>(ERROR_SUCCESS));
    RegCloseKey(key);

    const auto r = Registry().Value(kKey, L"R");
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->type, REG_SZ);
    EXPECT_EQ(r->data, Utf16(std::u16string(u"1.000000") + u'\0'));
    EXPECT_EQ(r->data.size(), 18u);  // (8 + 1) * 2, as on Windows

    const auto wide = Registry().Value(kKey, L"wide");
    ASSERT_TRUE(wide.has_value());
    EXPECT_EQ(wide->data, Utf16(std::u16string(u"caf\u00e9\u4e2d\U0001F600") + u'\0'));
    EXPECT_EQ(Registry().StringValue(kKey, L"wide"), L"caf\u00e9\u4e2d\U0001F600");
}

TEST_F(ExportTest, RegistryQueryGivesTheSizeThenTheData) {
    HKEY key = Create(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tintwell\\Test");
    ASSERT_EQ(SetString(key, L"text", L"abc\U0001F600"), static_cast<LSTATUS>(ERROR_SUCCESS));
    RegCloseKey(key);

    key = Open(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tintwell\\Test");
    DWORD type = 0;
    DWORD size = 0;
    ASSERT_EQ(RegQueryValueExW(key, L"TEXT", nullptr, &type, nullptr, &size),
              static_cast<LSTATUS>(ERROR_SUCCESS));
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 5 * sizeof(wchar_t));  // the caller's units: 4 characters and the zero

    std::wstring buffer(8, L'#');
    DWORD small = 2 * sizeof(wchar_t);
    type = 0;
    EXPECT_EQ(RegQueryValueExW(key, L"text", nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                               &small),
              static_cast<LSTATUS>(ERROR_MORE_DATA));
    EXPECT_EQ(small, size);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(buffer, std::wstring(8, L'#'));

    DWORD enough = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    ASSERT_EQ(RegQueryValueExW(key, L"text", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(buffer.data()), &enough),
              static_cast<LSTATUS>(ERROR_SUCCESS));
    EXPECT_EQ(enough, size);
    EXPECT_EQ(std::wstring(buffer.c_str()), L"abc\U0001F600");

    // Existence check: neither buffer nor size.
    EXPECT_EQ(RegQueryValueExW(key, L"text", nullptr, nullptr, nullptr, nullptr),
              static_cast<LSTATUS>(ERROR_SUCCESS));
    // A buffer without its size is a caller error.
    EXPECT_EQ(RegQueryValueExW(key, L"text", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(buffer.data()), nullptr),
              static_cast<LSTATUS>(ERROR_INVALID_PARAMETER));
    RegCloseKey(key);
}

TEST_F(ExportTest, RegistryAnsiQueryConvertsStringsToTheCodePage) {
    HKEY key = Create(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\ABC1234");
    ASSERT_EQ(SetString(key, L"Name", L"caf\u00e9\u4e2d"), static_cast<LSTATUS>(ERROR_SUCCESS));
    const BYTE edid[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x10};
    ASSERT_EQ(RegSetValueExW(key, L"EDID", 0, REG_BINARY, edid, sizeof edid),
              static_cast<LSTATUS>(ERROR_SUCCESS));
    RegCloseKey(key);

    HKEY read = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "system\\currentcontrolset\\enum\\display\\abc1234",
                            0, KEY_READ, &read),
              static_cast<LSTATUS>(ERROR_SUCCESS));
    DWORD size = 0;
    ASSERT_EQ(RegQueryValueExA(read, "name", nullptr, nullptr, nullptr, &size),
              static_cast<LSTATUS>(ERROR_SUCCESS));
    EXPECT_EQ(size, 6u);
    char text[16] = {};
    ASSERT_EQ(
        RegQueryValueExA(read, "name", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size),
        static_cast<LSTATUS>(ERROR_SUCCESS));
    EXPECT_STREQ(text, "caf\xe9?");

    DWORD type = 0;
    BYTE bytes[4] = {};
    size = sizeof bytes;
    EXPECT_EQ(RegQueryValueExA(read, "EDID", nullptr, &type, bytes, &size),
              static_cast<LSTATUS>(ERROR_MORE_DATA));
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(size, sizeof edid);
    BYTE all[16] = {};
    size = sizeof all;
    ASSERT_EQ(RegQueryValueExA(read, "EDID", nullptr, &type, all, &size),
              static_cast<LSTATUS>(ERROR_SUCCESS));
    EXPECT_EQ(size, sizeof edid);
    EXPECT_EQ(std::memcmp(all, edid, sizeof edid), 0);
    RegCloseKey(read);
}

TEST_F(ExportTest, RegistryMissingKeysAndValuesAreNotFound) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Nothing", 0, KEY_READ, &key),
              static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Nothing", 0, KEY_READ, &key),
              static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND));
    key = Create(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tintwell\\Test", nullptr, KEY_READ | KEY_WRITE);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(key, L"absent", nullptr, nullptr, nullptr, &size),
              static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(RegQueryValueExA(key, "absent", nullptr, nullptr, nullptr, &size),
              static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(RegQueryValueExW(key, nullptr, nullptr, nullptr, nullptr, &size),
              static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND));
    RegCloseKey(key);
}

TEST_F(ExportTest, RegistryHandlesAreDistinctAndDieWhenClosed) {
    HKEY first = Create(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tintwell\\Test");
    HKEY second = Create(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tintwell\\Test");
    EXPECT_NE(first, second);
    EXPECT_NE(first, HKEY_LOCAL_MACHINE);
    EXPECT_NE(HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER);
    EXPECT_EQ(Registry().OpenKeyCount(), 2u);
    EXPECT_EQ(RegCloseKey(first), static_cast<LSTATUS>(ERROR_SUCCESS));
    EXPECT_EQ(Registry().OpenKeyCount(), 1u);

    EXPECT_EQ(RegCloseKey(first), static_cast<LSTATUS>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(SetString(first, L"x", L"y"), static_cast<LSTATUS>(ERROR_INVALID_HANDLE));
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(first, L"x", nullptr, nullptr, nullptr, &size),
              static_cast<LSTATUS>(ERROR_INVALID_HANDLE));
    HKEY child = nullptr;
    EXPECT_EQ(RegCreateKeyExW(first, L"Child", 0, nullptr, 0, KEY_WRITE, nullptr, &child, nullptr),
              static_cast<LSTATUS>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(RegOpenKeyExW(nullptr, L"x", 0, KEY_READ, &child),
              static_cast<LSTATUS>(ERROR_INVALID_HANDLE));

    // A key below an opened key, and the predefined roots close harmlessly.
    child = Create(second, L"Child");
    EXPECT_TRUE(Registry().KeyExists(std::wstring(kKey) + L"\\child"));
    RegCloseKey(child);
    RegCloseKey(second);
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), static_cast<LSTATUS>(ERROR_SUCCESS));
    EXPECT_EQ(Registry().OpenKeyCount(), 0u);
}

TEST_F(ExportTest, RegistryInjectedFailuresReturnTheirCodeWithoutEffect) {
    sim::Machine::Current().FailCall("RegCreateKeyExW", ERROR_ACCESS_DENIED);
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tintwell\\Test", 0, nullptr, 0,
                              KEY_WRITE, nullptr, &key, nullptr),
              static_cast<LSTATUS>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(Registry().KeyExists(kKey));

    key = Create(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tintwell\\Test");  // once only
    sim::Machine::Current().FailCall("RegSetValueExW", 1009 /* ERROR_BADDB */, true);
    EXPECT_EQ(SetString(key, L"a", L"x"), 1009);
    EXPECT_EQ(SetString(key, L"b", L"x"), 1009);
    EXPECT_FALSE(Registry().Value(kKey, L"a"));
    sim::Machine::Current().ClearFailures();

    sim::Machine::Current().FailCall("RegCloseKey", ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(key), static_cast<LSTATUS>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(Registry().OpenKeyCount(), 1u);
    EXPECT_EQ(RegCloseKey(key), static_cast<LSTATUS>(ERROR_SUCCESS));

    for (const char* call :
         {"RegOpenKeyExW", "RegOpenKeyExA", "RegQueryValueExW", "RegQueryValueExA"}) {
        sim::Machine::Current().FailCall(call, 21);
    }
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE", 0, KEY_READ, &key), 21);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_READ, &key), 21);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(HKEY_LOCAL_MACHINE, L"x", nullptr, nullptr, nullptr, &size), 21);
    EXPECT_EQ(RegQueryValueExA(HKEY_LOCAL_MACHINE, "x", nullptr, nullptr, nullptr, &size), 21);
}

TEST_F(ExportTest, RegistryDeniedPrefixRefusesWritesAsWithoutAdministratorRights) {
    Registry().Preload(L"HKLM\\SOFTWARE\\Existing", L"v",
                       sim::RegistryValue{REG_DWORD, {1, 0, 0, 0}});
    Registry().DenyWrites(L"HKEY_LOCAL_MACHINE");

    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvane\\Lumivex\\Printer", 0, nullptr,
                              0, KEY_WRITE, nullptr, &key, nullptr),
              static_cast<LSTATUS>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(Registry().KeyExists(L"HKLM\\SOFTWARE\\Orvane"));
    EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Existing", 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr),
              static_cast<LSTATUS>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Existing", 0, KEY_WRITE, &key),
              static_cast<LSTATUS>(ERROR_ACCESS_DENIED));
    const DWORD one = 1;
    EXPECT_EQ(RegSetValueExW(HKEY_LOCAL_MACHINE, L"v", 0, REG_DWORD,
                             reinterpret_cast<const BYTE*>(&one), 4),
              static_cast<LSTATUS>(ERROR_ACCESS_DENIED));

    // Reading stays possible, and so does opening an existing key for reading.
    DWORD disposition = 0;
    key = Create(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Existing", &disposition, KEY_READ);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    DWORD value = 0;
    DWORD size = sizeof value;
    EXPECT_EQ(RegQueryValueExW(key, L"v", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
              static_cast<LSTATUS>(ERROR_SUCCESS));
    EXPECT_EQ(value, 1u);
    RegCloseKey(key);

    // Another root is not affected.
    RegCloseKey(Create(HKEY_CURRENT_USER, L"Software\\Tintwell"));
    EXPECT_EQ(Registry().OpenKeyCount(), 0u);
}

TEST_F(ExportTest, RegistryLoadsValuesAndDeniedPrefixesFromTheDescription) {
    InstallMachine(R"({
        "registry": {
            "keys": {
                "HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane\\Lumivex\\Printer": {
                    "SensorCCT": {"type": "REG_DWORD", "data": 6500},
                    "r": {"type": "REG_SZ", "data": "0.900000"}
                },
                "HKLM\\SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\X\\1\\Device Parameters": {
                    "EDID": {"type": "REG_BINARY", "data": "00 FF ff FF ff FF FF 00"}
                },
                "HKCU\\Software\\Empty": {}
            },
            "denyWrite": ["HKEY_LOCAL_MACHINE\\SOFTWARE"]
        }
    })");
    const wchar_t* printer = L"HKLM\\SOFTWARE\\Orvane\\Lumivex\\Printer";
    EXPECT_EQ(Registry().DwordValue(printer, L"SensorCCT"), 6500u);
    EXPECT_EQ(Registry().StringValue(printer, L"r"), L"0.900000");
    EXPECT_EQ(Registry().Value(printer, L"r")->data.size(), 18u);
    const auto edid = Registry().Value(
        L"HKLM\\SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\X\\1\\Device Parameters", L"edid");
    ASSERT_TRUE(edid.has_value());
    EXPECT_EQ(edid->type, REG_BINARY);
    EXPECT_EQ(edid->data, (std::vector<BYTE>{0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00}));
    EXPECT_TRUE(Registry().KeyExists(L"HKEY_CURRENT_USER\\Software\\Empty"));

    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvane\\Lumivex\\Printer", 0, nullptr,
                              0, KEY_WRITE, nullptr, &key, nullptr),
              static_cast<LSTATUS>(ERROR_ACCESS_DENIED));
    RegCloseKey(Create(HKEY_LOCAL_MACHINE, L"SYSTEM\\Other"));
}

}  // namespace tw_test
