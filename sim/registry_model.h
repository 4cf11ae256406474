#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace sim {

// Bytes written as hexadecimal text, as the registry shows REG_BINARY data:
// pairs of digits, blanks, ':' and ',' between them ignored. Throws
// std::invalid_argument naming `where` for anything else.
std::vector<BYTE> ParseHexText(const std::string& text, const std::string& where);

// One registry value as Windows stores it: string types as UTF-16LE bytes.
struct RegistryValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;

    bool operator==(const RegistryValue&) const = default;
};

// The part of the machine that holds the registry (advapi32): keys under the
// roots HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER, each with named values, and
// the handles of opened keys. Key and value names compare case-blind, as on
// Windows. Prefixes of the tree can refuse writes, as HKEY_LOCAL_MACHINE does
// to a process without administrator rights.
//
// Key paths given to the reading and preparing functions start with their
// root: "HKEY_LOCAL_MACHINE\\SOFTWARE\\..." (also "HKLM\\...",
// "HKEY_CURRENT_USER\\...", "HKCU\\..."); empty components are skipped.
class RegistryModel {
  public:
    RegistryModel();

    // Reads this part of a machine description; absent keys keep defaults.
    // Throws std::invalid_argument for a malformed entry.
    void Load(const nlohmann::json& description);

    // Reading and preparing the registry (tests, the command-line tool).
    bool KeyExists(std::wstring_view keyPath) const;
    std::optional<RegistryValue> Value(std::wstring_view keyPath, std::wstring_view name) const;
    // The text of a REG_SZ or REG_EXPAND_SZ value up to its first zero.
    std::optional<std::wstring> StringValue(std::wstring_view keyPath,
                                            std::wstring_view name) const;
    // A REG_DWORD value of exactly 4 bytes.
    std::optional<DWORD> DwordValue(std::wstring_view keyPath, std::wstring_view name) const;
    // Stores a value, creating the key and its parents; ignores denied writes.
    void Preload(std::wstring_view keyPath, std::wstring_view name, RegistryValue value);
    // Every key at or below `keyPath` refuses to be created, opened for
    // writing or written, with ERROR_ACCESS_DENIED. Whole components match:
    // "HKLM\\SOFTWARE\\Orv" does not cover "HKLM\\SOFTWARE\\Orvane".
    void DenyWrites(std::wstring_view keyPath);
    // Handles opened and not yet closed (the predefined roots are not counted).
    std::size_t OpenKeyCount() const;

    // UTF-16LE bytes of wide text, without a terminator added; and back.
    static std::vector<BYTE> ToUtf16Le(std::wstring_view text);
    static std::wstring FromUtf16Le(const BYTE* bytes, std::size_t size);

    // The registry functions of sim/advapi32.cpp; each returns a Windows
    // error code. A null `subKey` is taken as empty (a new handle to `parent`).
    LSTATUS CreateKey(HKEY parent, std::wstring_view subKey, REGSAM desired, HKEY& result,
                      DWORD& disposition);
    LSTATUS OpenKey(HKEY parent, std::wstring_view subKey, REGSAM desired, HKEY& result);
    LSTATUS CloseKey(HKEY key);
    LSTATUS SetKeyValue(HKEY key, std::wstring_view name, RegistryValue value);
    LSTATUS QueryKeyValue(HKEY key, std::wstring_view name, RegistryValue& value) const;

  private:
    struct NamedValue {
        std::wstring name;  // as first written
        RegistryValue value;
    };
    struct KeyData {
        std::map<std::wstring, NamedValue> values;  // by folded name
    };
    struct OpenedKey {
        std::wstring path;  // folded, root first
        REGSAM access = 0;
    };

    // The folded path and the rights of a handle; nothing for an invalid one.
    std::optional<OpenedKey> Resolve(HKEY key) const;
    bool WriteDenied(const std::wstring& path) const;
    void CreatePath(const std::wstring& path);
    HKEY NewHandle(std::wstring path, REGSAM access);
    const NamedValue* Find(std::wstring_view keyPath, std::wstring_view name) const;

    mutable std::mutex mutex_;
    std::map<std::wstring, KeyData> keys_;  // by folded path, root first
    std::map<std::uintptr_t, OpenedKey> handles_;
    std::uintptr_t nextHandle_ = 0x1000;
    std::vector<std::wstring> denied_;  // folded paths
};

}  // namespace sim
