#include "settings/config_ini.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <sstream>

#include "log/finite_arguments.h"
#include "log/log_line.h"

namespace {

constexpr DWORD kValueBufferChars = 260;
constexpr std::streamsize kWritePrecision = 20;

// `long` is 32-bit on Windows; on Linux it is wider, so an out-of-range text
// saturates here the way the 32-bit extraction saturates there.
long SaturateToLong32(long value) {
    constexpr long kMax = std::numeric_limits<std::int32_t>::max();
    constexpr long kMin = std::numeric_limits<std::int32_t>::min();
    return std::clamp(value, kMin, kMax);
}

}  // namespace

std::optional<std::wstring> ConfigIni::ReadText(const std::wstring& section,
                                                const std::wstring& key) const {
    std::array<wchar_t, kValueBufferChars> buffer{};
    const DWORD length = GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", buffer.data(),
                                                  kValueBufferChars, path_.c_str());
    if (length == 0) {
        return std::nullopt;
    }
    return std::wstring(buffer.data(), length);
}

template <typename T>
T ConfigIni::ReadNumber(const std::wstring& section, const std::wstring& key, T defaultValue,
                        const char* source, bool decimalComma) const {
    std::optional<std::wstring> text = ReadText(section, key);
    if (!text) {
        Log(1, source) << L"get key:" << key << L" from section:" << section << L" failed in file:"
                       << path_;
        return defaultValue;
    }
    if (decimalComma) {
        std::replace(text->begin(), text->end(), L',', L'.');
    }
    std::wistringstream stream(*text);
    T value{};
    stream >> value;
    return value;
}

int ConfigIni::GetValue(const std::wstring& section, const std::wstring& key,
                        int defaultValue) const {
    return ReadNumber(section, key, defaultValue, "ConfigIni::GetValue");
}

long ConfigIni::GetValue(const std::wstring& section, const std::wstring& key,
                         long defaultValue) const {
    return SaturateToLong32(ReadNumber(section, key, defaultValue, "ConfigIni::GetValue"));
}

float ConfigIni::GetValue(const std::wstring& section, const std::wstring& key,
                          float defaultValue) const {
    return ReadNumber(section, key, defaultValue, "ConfigIni::GetValue");
}

double ConfigIni::GetValue(const std::wstring& section, const std::wstring& key,
                           double defaultValue) const {
    return ReadNumber(section, key, defaultValue, "ConfigIni::GetValue");
}

double ConfigIni::GetDoubleValue(const std::wstring& section, const std::wstring& key,
                                 double defaultValue) const {
    return ReadNumber(section, key, defaultValue, "ConfigIni::GetDoubleValue", true);
}

bool ConfigIni::GetValue(const std::wstring& section, const std::wstring& key, char* buffer,
                         int size) const {
    if (buffer == nullptr) {
        return false;
    }
    const std::optional<std::wstring> text = ReadText(section, key);
    if (!text) {
        return false;
    }
    std::string narrow;
    narrow.reserve(text->size());
    for (wchar_t c : *text) {
        narrow += static_cast<char>(c);
    }
    if (narrow.empty() || static_cast<long long>(narrow.size()) >= size) {
        return false;
    }
    std::memcpy(buffer, narrow.c_str(), narrow.size() + 1);
    return true;
}

template <typename T>
bool ConfigIni::WriteNumber(const std::wstring& section, const std::wstring& key, T value) const {
    std::wostringstream stream;
    stream.precision(kWritePrecision);
    stream << value;
    if (WritePrivateProfileStringW(section.c_str(), key.c_str(), stream.str().c_str(),
                                   path_.c_str()) != FALSE) {
        return true;
    }
    Log(3, "ConfigIni::SetValue") << L"set key:" << key << L" in section:" << section
                                  << L" failed in file:" << path_;
    return false;
}

bool ConfigIni::SetValue(const std::wstring& section, const std::wstring& key, int value) const {
    return WriteNumber(section, key, value);
}

bool ConfigIni::SetValue(const std::wstring& section, const std::wstring& key, long value) const {
    return WriteNumber(section, key, value);
}

bool ConfigIni::SetValue(const std::wstring& section, const std::wstring& key, float value) const {
    return SetValue(section, key, static_cast<double>(value));
}

// "nan" and "inf" would read back as 0.
bool ConfigIni::SetValue(const std::wstring& section, const std::wstring& key, double value) const {
    if (RefusedAsNotFinite("ConfigIni::SetValue", {{key.c_str(), value}})) {
        return false;
    }
    return WriteNumber(section, key, value);
}
