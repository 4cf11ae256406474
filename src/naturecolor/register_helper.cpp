#include "naturecolor/register_helper.h"

#include "log/log_line.h"
#include "util/fixed_decimals.h"

namespace {

constexpr const char* kRegWriteSource = "RegisterHelper::RegWriteValue";

// Opens (creating as needed) the key for writing, stores one value and closes
// the key again. `shown` is the value as the failure line prints it.
int WriteValue(HKEY root, const std::wstring& subkey, const std::wstring& name, DWORD type,
               const BYTE* data, DWORD size, const std::wstring& shown) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                        nullptr, &key, &disposition) != ERROR_SUCCESS) {
        Log(log_level::kError, kRegWriteSource) << L"RegCreateKeyEx:" << subkey << L" failed!";
        return 1;
    }
    const LSTATUS status = RegSetValueExW(key, name.c_str(), 0, type, data, size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        Log(log_level::kError, kRegWriteSource) << L"Write key:" << subkey << L", itemName:" << name
                                                << L", value:" << shown << L" failed!";
        return 1;
    }
    return 0;
}

}  // namespace

int RegisterHelper::RegWriteValue(HKEY root, const std::wstring& subkey, const std::wstring& name,
                                  DWORD value) {
    return WriteValue(root, subkey, name, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                      sizeof value, std::to_wstring(value));
}

// REG_SZ with the terminating zero: (characters + 1) * sizeof(WCHAR) bytes,
// which is (characters + 1) * 2 on Windows; on Linux the registry stores the
// same UTF-16LE bytes (see winreg.h).
int RegisterHelper::RegWriteValue(HKEY root, const std::wstring& subkey, const std::wstring& name,
                                  const std::wstring& value) {
    const auto size = static_cast<DWORD>((value.size() + 1) * sizeof(WCHAR));
    return WriteValue(root, subkey, name, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                      size, value);
}

int RegisterHelper::RegWriteValue(HKEY root, const std::wstring& subkey, const std::wstring& name,
                                  double value) {
    return RegWriteValue(root, subkey, name, FixedDecimals(value));
}
