// advapi32: the registry functions, answered from the machine's RegistryModel.
// Every function honours an injected failure under its own name (for example
// "RegCreateKeyExW") by returning the injected error code without effect.
//
// String data: the model stores REG_SZ, REG_EXPAND_SZ and REG_MULTI_SZ as
// UTF-16LE, as Windows does. The W functions take and give the caller's
// 4-byte wchar_t units (sizes in the caller's bytes); the A functions take
// and give ANSI (code page 1252) bytes.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "sim/codepage.h"
#include "sim/machine.h"
#include "sim/registry_model.h"

namespace {

// winerror.h: a buffer the caller promised is not there.
constexpr LSTATUS kErrorNoAccess = 998;

bool IsStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

std::wstring_view View(LPCWSTR text) {
    return text != nullptr ? std::wstring_view(text) : std::wstring_view();
}

std::wstring FromAnsi(LPCSTR text) {
    std::wstring wide;
    for (const char* p = text; p != nullptr && *p != '\0'; ++p) {
        wide += sim::Cp1252ToWide(static_cast<unsigned char>(*p));
    }
    return wide;
}

std::optional<LSTATUS> Injected(const char* call) {
    if (const auto error = sim::Machine::Current().TakeFailure(call)) {
        return static_cast<LSTATUS>(*error);
    }
    return std::nullopt;
}

sim::RegistryModel& Registry() {
    return sim::Machine::Current().Registry();
}

// The caller's bytes of a stored value, for the W functions.
std::vector<BYTE> WideCallerBytes(const sim::RegistryValue& value) {
    if (!IsStringType(value.type)) {
        return value.data;
    }
    const std::wstring text = sim::RegistryModel::FromUtf16Le(value.data.data(), value.data.size());
    std::vector<BYTE> bytes(text.size() * sizeof(wchar_t));
    std::memcpy(bytes.data(), text.data(), bytes.size());
    return bytes;
}

// The caller's bytes of a stored value, for the A functions.
std::vector<BYTE> AnsiCallerBytes(const sim::RegistryValue& value) {
    if (!IsStringType(value.type)) {
        return value.data;
    }
    std::vector<BYTE> bytes;
    for (wchar_t c : sim::RegistryModel::FromUtf16Le(value.data.data(), value.data.size())) {
        bytes.push_back(sim::WideToCp1252(c).value_or(sim::kCp1252DefaultChar));
    }
    return bytes;
}

// RegQueryValueEx's buffer contract: no buffer asks for the size; a buffer
// that is too small gets nothing, ERROR_MORE_DATA and the size needed.
LSTATUS Query(HKEY key, const std::wstring& name, LPDWORD reserved, LPDWORD type, LPBYTE data,
              LPDWORD size, std::vector<BYTE> (*callerBytes)(const sim::RegistryValue&)) {
    if (reserved != nullptr || (data != nullptr && size == nullptr)) {
        return ERROR_INVALID_PARAMETER;
    }
    sim::RegistryValue value;
    if (const LSTATUS status = Registry().QueryKeyValue(key, name, value);
        status != ERROR_SUCCESS) {
        return status;
    }
    const std::vector<BYTE> bytes = callerBytes(value);
    const auto needed = static_cast<DWORD>(bytes.size());
    if (type != nullptr) {
        *type = value.type;
    }
    if (data == nullptr) {
        if (size != nullptr) {
            *size = needed;
        }
        return ERROR_SUCCESS;
    }
    if (*size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    std::memcpy(data, bytes.data(), bytes.size());
    *size = needed;
    return ERROR_SUCCESS;
}

}  // namespace

LSTATUS WINAPI RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM desired,
                               const LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition) {
    if (const auto error = Injected("RegCreateKeyExW")) {
        return *error;
    }
    if (result == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    DWORD how = 0;
    const LSTATUS status = Registry().CreateKey(key, View(subKey), desired, *result, how);
    if (status == ERROR_SUCCESS && disposition != nullptr) {
        *disposition = how;
    }
    return status;
}

LSTATUS WINAPI RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM desired, PHKEY result) {
    if (const auto error = Injected("RegOpenKeyExW")) {
        return *error;
    }
    if (result == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    return Registry().OpenKey(key, View(subKey), desired, *result);
}

LSTATUS WINAPI RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM desired, PHKEY result) {
    if (const auto error = Injected("RegOpenKeyExA")) {
        return *error;
    }
    if (result == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    return Registry().OpenKey(key, FromAnsi(subKey), desired, *result);
}

LSTATUS WINAPI RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD, DWORD type, const BYTE* data,
                              DWORD size) {
    if (const auto error = Injected("RegSetValueExW")) {
        return *error;
    }
    if (data == nullptr && size != 0) {
        return kErrorNoAccess;
    }
    sim::RegistryValue value{type, {}};
    if (IsStringType(type)) {
        // The caller's wchar_t units, whole ones only, become UTF-16LE.
        std::wstring text(size / sizeof(wchar_t), L'\0');
        if (!text.empty()) {
            std::memcpy(text.data(), data, text.size() * sizeof(wchar_t));
        }
        value.data = sim::RegistryModel::ToUtf16Le(text);
    } else if (size != 0) {
        value.data.assign(data, data + size);
    }
    return Registry().SetKeyValue(key, View(valueName), std::move(value));
}

LSTATUS WINAPI RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD reserved, LPDWORD type,
                                LPBYTE data, LPDWORD size) {
    if (const auto error = Injected("RegQueryValueExW")) {
        return *error;
    }
    return Query(key, std::wstring(View(valueName)), reserved, type, data, size, WideCallerBytes);
}

LSTATUS WINAPI RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type,
                                LPBYTE data, LPDWORD size) {
    if (const auto error = Injected("RegQueryValueExA")) {
        return *error;
    }
    return Query(key, FromAnsi(valueName), reserved, type, data, size, AnsiCallerBytes);
}

LSTATUS WINAPI RegCloseKey(HKEY key) {
    if (const auto error = Injected("RegCloseKey")) {
        return *error;
    }
    return Registry().CloseKey(key);
}
