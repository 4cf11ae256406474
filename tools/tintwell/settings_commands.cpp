#include "settings_commands.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <type_traits>

#include "settings_keys.h"

namespace tintwell_cli {

namespace {

constexpr std::string_view kMissing = "(missing)";
constexpr std::string_view kErrorPrefix = "tintwell: ";
constexpr int kExportSuccess = 0;

template <typename T>
constexpr std::string_view kTypeDescription = "a decimal number";
template <>
constexpr std::string_view kTypeDescription<int> = "a 32-bit integer";

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Section and key names are ASCII and case-blind, as in the INI file.
bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, {}, LowerAscii, LowerAscii);
}

const SettingKey* FindKey(std::string_view section, std::string_view key) {
    const auto found = std::ranges::find_if(kSettingKeys, [&](const SettingKey& setting) {
        return EqualsIgnoringCase(setting.section, section) && EqualsIgnoringCase(setting.key, key);
    });
    return found != kSettingKeys.end() ? &*found : nullptr;
}

std::string Name(const SettingKey& setting) {
    return std::string(setting.section) + ' ' + std::string(setting.key);
}

int ReportUnknownKey(std::string_view section, std::string_view key, std::ostream& err) {
    err << kErrorPrefix << "the library keeps no setting " << section << ' ' << key
        << " (see `tintwell settings list`)\n";
    return kExitUsage;
}

// A getter answers the default it is given when the key is missing, and any
// value could be stored, so the key counts as missing only when two calls with
// different defaults each answer their own.
template <typename T>
std::optional<T> Read(const Accessors<T>& access) {
    using Limits = std::numeric_limits<T>;
    const T low = access.get(Limits::lowest());
    const T high = access.get(Limits::max());
    if (low == Limits::lowest() && high == Limits::max()) {
        return std::nullopt;
    }
    return low;
}

// Enough digits that the printed text reads back as the same value.
template <typename T>
std::string Format(T value) {
    std::ostringstream text;
    text.precision(std::numeric_limits<T>::max_digits10);
    text << value;
    return text.str();
}

// A missing key is JSON's null; every stored value is finite.
std::string JsonValue(const SettingKey& setting) {
    return std::visit(
        [](const auto& access) {
            const auto value = Read(access);
            return value && std::isfinite(static_cast<double>(*value)) ? Format(*value)
                                                                       : std::string("null");
        },
        setting.access);
}

std::string JsonSetting(const SettingKey& setting) {
    return R"({"section": ")" + std::string(setting.section) + R"(", "key": ")" +
           std::string(setting.key) + R"(", "value": )" + JsonValue(setting) + "}";
}

std::string ValueText(const SettingKey& setting) {
    return std::visit(
        [](const auto& access) {
            const auto value = Read(access);
            return value ? Format(*value) : std::string(kMissing);
        },
        setting.access);
}

// The whole text must be one finite number of the key's type.
template <typename T>
std::optional<T> Parse(std::string_view text) {
    T value{};
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc{} || stop != end) {
        return std::nullopt;
    }
    if constexpr (std::is_floating_point_v<T>) {
        if (!std::isfinite(value)) {
            return std::nullopt;
        }
    }
    return value;
}

template <typename T>
int Write(const SettingKey& setting, const Accessors<T>& access, std::string_view text,
          std::ostream& err) {
    if (access.set == nullptr) {
        err << kErrorPrefix << Name(setting) << " is read-only: the library has no setter for it\n";
        return kExitUsage;
    }
    const std::optional<T> value = Parse<T>(text);
    if (!value) {
        err << kErrorPrefix << Name(setting) << " takes " << kTypeDescription<T> << ", not \""
            << text << "\"\n";
        return kExitUsage;
    }
    if (access.set(*value) != kExportSuccess) {
        err << kErrorPrefix << "the library could not write " << Name(setting)
            << " to its INI file\n";
        return kExitLibraryFailure;
    }
    return kExitSuccess;
}

}  // namespace

int ListSettings(bool json, std::ostream& out) {
    if (json) {
        out << R"({"settings": [)";
        for (std::size_t n = 0; n < kSettingKeys.size(); ++n) {
            out << (n == 0 ? "" : ", ") << JsonSetting(kSettingKeys[n]);
        }
        out << "]}\n";
        return kExitSuccess;
    }
    for (const SettingKey& setting : kSettingKeys) {
        out << Name(setting) << " = " << ValueText(setting) << '\n';
    }
    return kExitSuccess;
}

int GetSetting(std::string_view section, std::string_view key, bool json, std::ostream& out,
               std::ostream& err) {
    const SettingKey* setting = FindKey(section, key);
    if (setting == nullptr) {
        return ReportUnknownKey(section, key, err);
    }
    out << (json ? JsonSetting(*setting) : ValueText(*setting)) << '\n';
    return kExitSuccess;
}

int SetSetting(std::string_view section, std::string_view key, std::string_view value,
               std::ostream& err) {
    const SettingKey* setting = FindKey(section, key);
    if (setting == nullptr) {
        return ReportUnknownKey(section, key, err);
    }
    return std::visit([&](const auto& access) { return Write(*setting, access, value, err); },
                      setting->access);
}

}  // namespace tintwell_cli
