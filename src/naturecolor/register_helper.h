// Registry value writes that open and close their own key every time.
#pragma once

#include <windows.h>

#include <string>

class RegisterHelper {
  public:
    // 0 written, 1 failed (logged).
    static int RegWriteValue(HKEY root, const std::wstring& subkey, const std::wstring& name,
                             DWORD value);
    static int RegWriteValue(HKEY root, const std::wstring& subkey, const std::wstring& name,
                             const std::wstring& value);
    // Stored as REG_SZ text in "%f" form.
    static int RegWriteValue(HKEY root, const std::wstring& subkey, const std::wstring& name,
                             double value);
};
