// The printer colour record: PrinterReg and RegisterHelper against
// the simulated registry.
#include <windows.h>

#include <array>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "../shared/test_platform.h"
#include "naturecolor/printer_reg.h"
#include "naturecolor/register_helper.h"
#include "sim/machine.h"
#include "sim/registry_model.h"

namespace tw_test {

namespace {

constexpr const wchar_t* kPrinterKey = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane\\Lumivex\\Printer";
constexpr const char* kCreateFailed =
    "RegCreateKeyEx:SOFTWARE\\Orvane\\Lumivex\\Printer failed!(RegisterHelper::RegWriteValue)";

sim::RegistryModel& Registry() {
    return sim::Machine::Current().Registry();
}

std::vector<BYTE> Utf16(const std::u16string& text) {
    std::vector<BYTE> bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<BYTE>(unit & 0xFF));
        bytes.push_back(static_cast<BYTE>(unit >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

std::vector<std::string> Texts(const std::vector<LogRecord>& records) {
    std::vector<std::string> texts;
    for (const auto& record : records) {
        texts.push_back("[" + std::to_string(record.level) + "] " + record.text);
    }
    return texts;
}

}  // namespace

TEST_F(ExportTest, PrinterCctIsTruncatedTowardZero) {
    EXPECT_EQ(PrinterReg::Instance().SetPrinterCcts(5499.9f), 0);
    EXPECT_EQ(Registry().DwordValue(kPrinterKey, L"SensorCCT"), 5499u);
    EXPECT_EQ(Registry().Value(kPrinterKey, L"SensorCCT")->data,
              (std::vector<BYTE>{0x7B, 0x15, 0x00, 0x00}));
    EXPECT_EQ(Texts(LogRecords()),
              (std::vector<std::string>{
                  "[1] Save SetPrinterCcts = 5499.9 OK(PrinterReg::SetPrinterCcts)"}));
    EXPECT_EQ(Registry().OpenKeyCount(), 0u);
}

// The record holds a DWORD: a CCT is cut toward zero and held within its range.
TEST_F(ExportTest, PrinterCctIsBroughtIntoADword) {
    const std::pair<float, DWORD> cases[] = {
        {-0.5f, 0u},          {-7000.0f, 0u},      {std::numeric_limits<float>::quiet_NaN(), 0u},
        {1e20f, 0xFFFFFFFFu}, {65000.75f, 65000u},
    };
    for (const auto& [cct, stored] : cases) {
        SCOPED_TRACE(cct);
        EXPECT_EQ(PrinterReg::Instance().SetPrinterCcts(cct), 0);
        EXPECT_EQ(Registry().DwordValue(kPrinterKey, L"SensorCCT"), stored);
        EXPECT_EQ(Registry().OpenKeyCount(), 0u);
    }
}

TEST_F(ExportTest, PrinterGainsAreSixDecimalTexts) {
    EXPECT_EQ(PrinterReg::Instance().SetRGB(1.0, 0.5, 0.25), 0);
    EXPECT_EQ(Registry().StringValue(kPrinterKey, L"r"), L"1.000000");
    EXPECT_EQ(Registry().StringValue(kPrinterKey, L"g"), L"0.500000");
    EXPECT_EQ(Registry().StringValue(kPrinterKey, L"b"), L"0.250000");
    // As Windows stores them: UTF-16LE with the terminating zero, 18 bytes.
    const auto r = Registry().Value(kPrinterKey, L"r");
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->type, REG_SZ);
    EXPECT_EQ(r->data, Utf16(u"1.000000"));
    EXPECT_TRUE(LogRecords().empty());
    EXPECT_EQ(Registry().OpenKeyCount(), 0u);
}

// Any finite gain is written with all its digits, as printf's "%f" writes
// it: the largest doubles have 309 before the point.
TEST_F(ExportTest, PrinterGainsAtTheExtremesAreWrittenInFull) {
    const std::vector<double> extremes = {DBL_MAX,      -DBL_MAX,      FLT_MAX, -FLT_MAX,
                                          DBL_TRUE_MIN, -DBL_TRUE_MIN, 1e30,    -0.0};
    for (double value : extremes) {
        std::array<char, 400> expected{};
        std::snprintf(expected.data(), expected.size(), "%f", value);
        SCOPED_TRACE(expected.data());
        ASSERT_EQ(PrinterReg::Instance().SetRGB(value, value, value), 0);
        const std::string text(expected.data());
        EXPECT_EQ(Registry().StringValue(kPrinterKey, L"b"),
                  std::wstring(text.begin(), text.end()));
    }
}

TEST_F(ExportTest, PrinterGainsReadBackThroughTheRegistryFunctions) {
    ASSERT_EQ(PrinterReg::Instance().SetRGB(0.123456789, 2.0, 0.0), 0);
    HKEY key = nullptr;
    ASSERT_EQ(
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Orvane\\Lumivex\\Printer", 0, KEY_READ, &key),
        static_cast<LSTATUS>(ERROR_SUCCESS));
    wchar_t text[32] = {};
    DWORD size = sizeof text;
    DWORD type = 0;
    ASSERT_EQ(RegQueryValueExW(key, L"r", nullptr, &type, reinterpret_cast<BYTE*>(text), &size),
              static_cast<LSTATUS>(ERROR_SUCCESS));
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 9 * sizeof(wchar_t));
    EXPECT_STREQ(text, L"0.123457");
    size = sizeof text;
    ASSERT_EQ(RegQueryValueExW(key, L"G", nullptr, &type, reinterpret_cast<BYTE*>(text), &size),
              static_cast<LSTATUS>(ERROR_SUCCESS));
    EXPECT_STREQ(text, L"2.000000");
    size = sizeof text;
    ASSERT_EQ(RegQueryValueExW(key, L"b", nullptr, &type, reinterpret_cast<BYTE*>(text), &size),
              static_cast<LSTATUS>(ERROR_SUCCESS));
    EXPECT_STREQ(text, L"0.000000");
    RegCloseKey(key);
}

TEST_F(ExportTest, PrinterRecordWithoutAdministratorRightsLogsEveryFailure) {
    Registry().DenyWrites(L"HKEY_LOCAL_MACHINE");
    EXPECT_EQ(PrinterReg::Instance().SetPrinterCcts(5000.0f), 1);
    EXPECT_EQ(PrinterReg::Instance().SetRGB(1.0, 0.5, 0.25), 1);
    EXPECT_EQ(Texts(LogRecords()),
              (std::vector<std::string>{
                  std::string("[3] ") + kCreateFailed,
                  "[3] Save Printer SensorCCT fail(PrinterReg::SetPrinterCcts)",
                  std::string("[3] ") + kCreateFailed,
              }));
    EXPECT_FALSE(Registry().KeyExists(kPrinterKey));
    EXPECT_EQ(Registry().OpenKeyCount(), 0u);
}

TEST_F(ExportTest, PrinterGainsStopAtTheFirstFailingWrite) {
    sim::Machine::Current().FailCall("RegSetValueExW", ERROR_ACCESS_DENIED);
    EXPECT_EQ(PrinterReg::Instance().SetRGB(1.0, 0.5, 0.25), 1);
    EXPECT_FALSE(Registry().Value(kPrinterKey, L"r"));
    EXPECT_FALSE(Registry().Value(kPrinterKey, L"g"));
    EXPECT_FALSE(Registry().Value(kPrinterKey, L"b"));
    EXPECT_EQ(Texts(LogRecords()),
              (std::vector<std::string>{
                  "[3] Write key:SOFTWARE\\Orvane\\Lumivex\\Printer, itemName:r, value:1.000000 "
                  "failed!(RegisterHelper::RegWriteValue)"}));
    // The key was opened and is closed again.
    EXPECT_TRUE(Registry().KeyExists(kPrinterKey));
    EXPECT_EQ(Registry().OpenKeyCount(), 0u);
}

TEST_F(ExportTest, PrinterCctFailingValueWriteLogsBothLines) {
    sim::Machine::Current().FailCall("RegSetValueExW", ERROR_ACCESS_DENIED);
    EXPECT_EQ(PrinterReg::Instance().SetPrinterCcts(4200.5f), 1);
    EXPECT_EQ(Texts(LogRecords()),
              (std::vector<std::string>{
                  "[3] Write key:SOFTWARE\\Orvane\\Lumivex\\Printer, itemName:SensorCCT, "
                  "value:4200 failed!(RegisterHelper::RegWriteValue)",
                  "[3] Save Printer SensorCCT fail(PrinterReg::SetPrinterCcts)"}));
    EXPECT_EQ(Registry().OpenKeyCount(), 0u);
}

TEST_F(ExportTest, RegisterHelperWritesEachForm) {
    const std::wstring key = L"Software\\Tintwell\\Forms";
    EXPECT_EQ(RegisterHelper::RegWriteValue(HKEY_CURRENT_USER, key, L"n", DWORD{4294967295u}), 0);
    EXPECT_EQ(RegisterHelper::RegWriteValue(HKEY_CURRENT_USER, key, L"s",
                                            std::wstring(L"caf\u00e9 \u4e2d")),
              0);
    EXPECT_EQ(RegisterHelper::RegWriteValue(HKEY_CURRENT_USER, key, L"empty", std::wstring()), 0);
    EXPECT_EQ(RegisterHelper::RegWriteValue(HKEY_CURRENT_USER, key, L"d", -2.5), 0);
    EXPECT_EQ(RegisterHelper::RegWriteValue(HKEY_CURRENT_USER, key, L"big", 1e20), 0);

    const std::wstring path = L"HKCU\\" + key;
    EXPECT_EQ(Registry().DwordValue(path, L"n"), 4294967295u);
    EXPECT_EQ(Registry().StringValue(path, L"s"), L"caf\u00e9 \u4e2d");
    EXPECT_EQ(Registry().Value(path, L"s")->data, Utf16(u"caf\u00e9 \u4e2d"));
    EXPECT_EQ(Registry().Value(path, L"empty")->data, (std::vector<BYTE>{0, 0}));
    EXPECT_EQ(Registry().StringValue(path, L"d"), L"-2.500000");
    EXPECT_EQ(Registry().StringValue(path, L"big"), L"100000000000000000000.000000");
    EXPECT_TRUE(LogRecords().empty());
    EXPECT_EQ(Registry().OpenKeyCount(), 0u);
}

TEST_F(ExportTest, RegisterHelperFailureLinesShowTheValue) {
    const std::wstring key = L"Software\\Tintwell";
    sim::Machine::Current().FailCall("RegSetValueExW", ERROR_ACCESS_DENIED, true);
    EXPECT_EQ(RegisterHelper::RegWriteValue(HKEY_CURRENT_USER, key, L"n", DWORD{42}), 1);
    EXPECT_EQ(RegisterHelper::RegWriteValue(HKEY_CURRENT_USER, key, L"s", std::wstring(L"t x")), 1);
    EXPECT_EQ(RegisterHelper::RegWriteValue(HKEY_CURRENT_USER, key, L"d", 0.5), 1);
    sim::Machine::Current().ClearFailures();
    sim::Machine::Current().FailCall("RegCreateKeyExW", ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegisterHelper::RegWriteValue(HKEY_CURRENT_USER, L"Software\\Other", L"n", DWORD{1}),
              1);
    EXPECT_EQ(Texts(LogRecords()),
              (std::vector<std::string>{
                  "[3] Write key:Software\\Tintwell, itemName:n, value:42 "
                  "failed!(RegisterHelper::RegWriteValue)",
                  "[3] Write key:Software\\Tintwell, itemName:s, value:t x "
                  "failed!(RegisterHelper::RegWriteValue)",
                  "[3] Write key:Software\\Tintwell, itemName:d, value:0.500000 "
                  "failed!(RegisterHelper::RegWriteValue)",
                  "[3] RegCreateKeyEx:Software\\Other failed!(RegisterHelper::RegWriteValue)"}));
    EXPECT_FALSE(Registry().KeyExists(L"HKCU\\Software\\Other"));
    EXPECT_EQ(Registry().OpenKeyCount(), 0u);
}

TEST_F(ExportTest, PrinterRecordOverwritesEarlierValues) {
    Registry().Preload(kPrinterKey, L"r", sim::RegistryValue{REG_SZ, Utf16(u"0.100000")});
    EXPECT_EQ(PrinterReg::Instance().SetRGB(0.75, 0.75, 0.75), 0);
    EXPECT_EQ(Registry().StringValue(kPrinterKey, L"r"), L"0.750000");
}

}  // namespace tw_test
