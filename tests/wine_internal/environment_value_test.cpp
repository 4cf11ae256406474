// Environment values read against Wine's real process environment, which a
// host thread may change between the library's size query and its read.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "platform/files.h"

namespace {

constexpr const wchar_t* kVariable = L"TINTWELL_TEST_VARIABLE";

}  // namespace

TEST(EnvironmentValue, UnsetAndEmptyAreAbsentAndAValueIsReadWhole) {
    SetEnvironmentVariableW(kVariable, nullptr);
    EXPECT_FALSE(platform::EnvironmentValue(kVariable).has_value());
    SetEnvironmentVariableW(kVariable, L"");
    EXPECT_FALSE(platform::EnvironmentValue(kVariable).has_value());
    const std::wstring longValue(5000, L'x');
    SetEnvironmentVariableW(kVariable, longValue.c_str());
    EXPECT_EQ(platform::EnvironmentValue(kVariable), longValue);
}

// The value grows between the two calls often enough that a read which
// trusted the first size would take a length beyond its buffer.
TEST(EnvironmentValue, AValueChangingUnderTheReadIsAlwaysOneOfItsValues) {
    const std::wstring shortValue = L"C:\\short.log";
    const std::wstring longValue = L"C:\\" + std::wstring(600, L'l') + L".log";
    SetEnvironmentVariableW(kVariable, shortValue.c_str());
    std::atomic<bool> done{false};
    std::thread host([&] {
        for (bool toLong = true; !done; toLong = !toLong) {
            SetEnvironmentVariableW(kVariable, (toLong ? longValue : shortValue).c_str());
        }
    });
    int wrong = 0;
    for (int read = 0; read < 20000; ++read) {
        const auto value = platform::EnvironmentValue(kVariable);
        if (!value || (*value != shortValue && *value != longValue)) {
            ++wrong;
        }
    }
    done = true;
    host.join();
    EXPECT_EQ(wrong, 0);
}
