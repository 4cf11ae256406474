#include "sim/registry_model.h"

#include <algorithm>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "platform/utf8.h"
#include "sim/whole_number.h"

namespace sim {

namespace {

constexpr const wchar_t* kLocalMachine = L"HKEY_LOCAL_MACHINE";
constexpr const wchar_t* kCurrentUser = L"HKEY_CURRENT_USER";

// Rights that change a key: KEY_SET_VALUE, KEY_CREATE_SUB_KEY, KEY_CREATE_LINK,
// DELETE, WRITE_DAC, WRITE_OWNER.
constexpr REGSAM kWriteRights = 0x0002 | 0x0004 | 0x0020 | 0x10000 | 0x40000 | 0x80000;
// The predefined keys grant whatever the tree does not deny.
constexpr REGSAM kAllRights = 0xF003F;

// Case-blind as the registry is for the names the library uses: ASCII and
// the Latin-1 letters.
wchar_t Fold(wchar_t c) {
    if ((c >= L'a' && c <= L'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
        return static_cast<wchar_t>(c - 0x20);
    }
    return c;
}

std::wstring Fold(std::wstring_view text) {
    std::wstring folded(text);
    for (wchar_t& c : folded) {
        c = Fold(c);
    }
    return folded;
}

std::vector<std::wstring> Components(std::wstring_view path) {
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find(L'\\', start), path.size());
        if (end > start) {
            parts.emplace_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return parts;
}

// A folded path below `base`; `base` itself for an empty relative path.
std::wstring Join(std::wstring base, std::wstring_view relative) {
    for (const auto& part : Components(relative)) {
        base += L'\\';
        base += Fold(part);
    }
    return base;
}

std::optional<std::wstring> RootName(std::wstring_view spelled) {
    const std::wstring root = Fold(spelled);
    if (root == kLocalMachine || root == L"HKLM") {
        return kLocalMachine;
    }
    if (root == kCurrentUser || root == L"HKCU") {
        return kCurrentUser;
    }
    return std::nullopt;
}

// The folded path of a key path that names its root; nothing for another root.
std::optional<std::wstring> CanonicalPath(std::wstring_view keyPath) {
    const std::size_t slash = keyPath.find(L'\\');
    const auto root = RootName(keyPath.substr(0, slash));
    if (!root) {
        return std::nullopt;
    }
    return Join(*root, slash == std::wstring_view::npos ? L"" : keyPath.substr(slash + 1));
}

std::wstring RequireCanonicalPath(std::wstring_view keyPath) {
    auto path = CanonicalPath(keyPath);
    if (!path) {
        throw std::invalid_argument("registry: the key path " + platform::ToUtf8(keyPath) +
                                    " does not start with HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER");
    }
    return *path;
}

bool Below(const std::wstring& path, const std::wstring& prefix) {
    return path.size() >= prefix.size() && path.compare(0, prefix.size(), prefix) == 0 &&
           (path.size() == prefix.size() || path[prefix.size()] == L'\\');
}

std::wstring Widen(const std::string& utf8) {
    // JSON text is UTF-8; decode it to code points.
    std::wstring wide;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        int extra = 0;
        char32_t cp = byte;
        if (byte >= 0xF0) {
            extra = 3;
            cp = byte & 0x07;
        } else if (byte >= 0xE0) {
            extra = 2;
            cp = byte & 0x0F;
        } else if (byte >= 0xC0) {
            extra = 1;
            cp = byte & 0x1F;
        }
        ++i;
        for (int k = 0; k < extra && i < utf8.size(); ++k, ++i) {
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
        }
        wide += static_cast<wchar_t>(cp);
    }
    return wide;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

std::vector<BYTE> ParseHexText(const std::string& text, const std::string& where) {
    std::vector<BYTE> bytes;
    int high = -1;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ':' || c == ',') {
            continue;
        }
        const int digit = HexDigit(c);
        if (digit < 0) {
            throw std::invalid_argument(where + ": not a hexadecimal string");
        }
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(static_cast<BYTE>(high * 16 + digit));
            high = -1;
        }
    }
    if (high >= 0) {
        throw std::invalid_argument(where + ": odd number of hexadecimal digits");
    }
    return bytes;
}

namespace {

RegistryValue ParseValue(const nlohmann::json& entry, const std::string& where) {
    if (!entry.is_object() || !entry.contains("type") || !entry.contains("data")) {
        throw std::invalid_argument("registry: " + where + ": needs \"type\" and \"data\"");
    }
    const std::string type = entry.at("type").get<std::string>();
    const auto& data = entry.at("data");
    RegistryValue value;
    if (type == "REG_SZ") {
        value.type = REG_SZ;
        value.data = RegistryModel::ToUtf16Le(Widen(data.get<std::string>()));
        value.data.push_back(0);
        value.data.push_back(0);
    } else if (type == "REG_DWORD") {
        const auto number = WholeNumber<std::int64_t>(data, "registry: " + where);
        if (number < 0 || number > 0xFFFFFFFF) {
            throw std::invalid_argument("registry: " + where + ": REG_DWORD out of range");
        }
        const auto dword = static_cast<DWORD>(number);
        for (int i = 0; i < 4; ++i) {
            value.data.push_back(static_cast<BYTE>(dword >> (8 * i)));
        }
        value.type = REG_DWORD;
    } else if (type == "REG_BINARY") {
        value.type = REG_BINARY;
        value.data = ParseHexText(data.get<std::string>(), "registry: " + where);
    } else {
        throw std::invalid_argument("registry: " + where + ": unknown type " + type);
    }
    return value;
}

}  // namespace

RegistryModel::RegistryModel() {
    keys_[kLocalMachine];
    keys_[kCurrentUser];
}

void RegistryModel::Load(const nlohmann::json& description) {
    const nlohmann::json keys = description.value("keys", nlohmann::json::object());
    for (const auto& [keyPath, values] : keys.items()) {
        const std::wstring path = RequireCanonicalPath(Widen(keyPath));
        std::lock_guard lock(mutex_);
        CreatePath(path);
        for (const auto& [name, entry] : values.items()) {
            const std::wstring wideName = Widen(name);
            keys_[path].values[Fold(wideName)] =
                NamedValue{wideName, ParseValue(entry, keyPath + " " + name)};
        }
    }
    const nlohmann::json denied = description.value("denyWrite", nlohmann::json::array());
    for (const auto& prefix : denied) {
        DenyWrites(Widen(prefix.get<std::string>()));
    }
}

std::vector<BYTE> RegistryModel::ToUtf16Le(std::wstring_view text) {
    std::vector<BYTE> bytes;
    bytes.reserve(text.size() * 2);
    const auto put = [&bytes](char32_t unit) {
        bytes.push_back(static_cast<BYTE>(unit & 0xFF));
        bytes.push_back(static_cast<BYTE>((unit >> 8) & 0xFF));
    };
    for (wchar_t c : text) {
        const auto cp = static_cast<char32_t>(c);
        if (cp > 0xFFFF && cp <= 0x10FFFF) {
            put(0xD800 + ((cp - 0x10000) >> 10));
            put(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            put(cp > 0x10FFFF ? 0xFFFD : cp);
        }
    }
    return bytes;
}

std::wstring RegistryModel::FromUtf16Le(const BYTE* bytes, std::size_t size) {
    std::vector<char32_t> units;
    for (std::size_t i = 0; i < size; i += 2) {
        const char32_t high = i + 1 < size ? bytes[i + 1] : 0;
        units.push_back(bytes[i] | (high << 8));
    }
    std::wstring text;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char32_t unit = units[i];
        if constexpr (sizeof(wchar_t) == 4) {
            if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() &&
                units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
                text += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) +
                                             (units[i + 1] - 0xDC00));
                ++i;
                continue;
            }
        }
        text += static_cast<wchar_t>(unit);
    }
    return text;
}

bool RegistryModel::KeyExists(std::wstring_view keyPath) const {
    const auto path = CanonicalPath(keyPath);
    std::lock_guard lock(mutex_);
    return path && keys_.contains(*path);
}

const RegistryModel::NamedValue* RegistryModel::Find(std::wstring_view keyPath,
                                                     std::wstring_view name) const {
    const auto path = CanonicalPath(keyPath);
    if (!path) {
        return nullptr;
    }
    const auto key = keys_.find(*path);
    if (key == keys_.end()) {
        return nullptr;
    }
    const auto value = key->second.values.find(Fold(name));
    return value == key->second.values.end() ? nullptr : &value->second;
}

std::optional<RegistryValue> RegistryModel::Value(std::wstring_view keyPath,
                                                  std::wstring_view name) const {
    std::lock_guard lock(mutex_);
    const NamedValue* found = Find(keyPath, name);
    return found != nullptr ? std::optional(found->value) : std::nullopt;
}

std::optional<std::wstring> RegistryModel::StringValue(std::wstring_view keyPath,
                                                       std::wstring_view name) const {
    const auto value = Value(keyPath, name);
    if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ)) {
        return std::nullopt;
    }
    std::wstring text = FromUtf16Le(value->data.data(), value->data.size());
    text.erase(std::min(text.find(L'\0'), text.size()));
    return text;
}

std::optional<DWORD> RegistryModel::DwordValue(std::wstring_view keyPath,
                                               std::wstring_view name) const {
    const auto value = Value(keyPath, name);
    if (!value || value->type != REG_DWORD || value->data.size() != 4) {
        return std::nullopt;
    }
    DWORD number = 0;
    for (int i = 3; i >= 0; --i) {
        number = (number << 8) | value->data[static_cast<std::size_t>(i)];
    }
    return number;
}

void RegistryModel::Preload(std::wstring_view keyPath, std::wstring_view name,
                            RegistryValue value) {
    const std::wstring path = RequireCanonicalPath(keyPath);
    std::lock_guard lock(mutex_);
    CreatePath(path);
    keys_[path].values[Fold(name)] = NamedValue{std::wstring(name), std::move(value)};
}

void RegistryModel::DenyWrites(std::wstring_view keyPath) {
    const std::wstring path = RequireCanonicalPath(keyPath);
    std::lock_guard lock(mutex_);
    denied_.push_back(path);
}

std::size_t RegistryModel::OpenKeyCount() const {
    std::lock_guard lock(mutex_);
    return handles_.size();
}

std::optional<RegistryModel::OpenedKey> RegistryModel::Resolve(HKEY key) const {
    if (key == HKEY_LOCAL_MACHINE) {
        return OpenedKey{kLocalMachine, kAllRights};
    }
    if (key == HKEY_CURRENT_USER) {
        return OpenedKey{kCurrentUser, kAllRights};
    }
    const auto found = handles_.find(reinterpret_cast<std::uintptr_t>(key));
    if (found == handles_.end()) {
        return std::nullopt;
    }
    return found->second;
}

bool RegistryModel::WriteDenied(const std::wstring& path) const {
    for (const auto& prefix : denied_) {
        if (Below(path, prefix)) {
            return true;
        }
    }
    return false;
}

void RegistryModel::CreatePath(const std::wstring& path) {
    for (std::size_t slash = path.find(L'\\'); slash != std::wstring::npos;
         slash = path.find(L'\\', slash + 1)) {
        keys_[path.substr(0, slash)];
    }
    keys_[path];
}

HKEY RegistryModel::NewHandle(std::wstring path, REGSAM access) {
    const std::uintptr_t handle = nextHandle_;
    nextHandle_ += 4;  // never reused, so a closed handle stays invalid
    handles_[handle] = OpenedKey{std::move(path), access};
    return reinterpret_cast<HKEY>(handle);
}

LSTATUS RegistryModel::CreateKey(HKEY parent, std::wstring_view subKey, REGSAM desired,
                                 HKEY& result, DWORD& disposition) {
    std::lock_guard lock(mutex_);
    const auto base = Resolve(parent);
    if (!base) {
        return ERROR_INVALID_HANDLE;
    }
    const std::wstring path = Join(base->path, subKey);
    const bool exists = keys_.contains(path);
    if (!exists && ((base->access & KEY_CREATE_SUB_KEY) == 0 || WriteDenied(path))) {
        return ERROR_ACCESS_DENIED;
    }
    if ((desired & kWriteRights) != 0 && WriteDenied(path)) {
        return ERROR_ACCESS_DENIED;
    }
    if (!exists) {
        CreatePath(path);
    }
    disposition = exists ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    result = NewHandle(path, desired);
    return ERROR_SUCCESS;
}

LSTATUS RegistryModel::OpenKey(HKEY parent, std::wstring_view subKey, REGSAM desired,
                               HKEY& result) {
    std::lock_guard lock(mutex_);
    const auto base = Resolve(parent);
    if (!base) {
        return ERROR_INVALID_HANDLE;
    }
    const std::wstring path = Join(base->path, subKey);
    if (!keys_.contains(path)) {
        return ERROR_FILE_NOT_FOUND;
    }
    if ((desired & kWriteRights) != 0 && WriteDenied(path)) {
        return ERROR_ACCESS_DENIED;
    }
    result = NewHandle(path, desired);
    return ERROR_SUCCESS;
}

LSTATUS RegistryModel::CloseKey(HKEY key) {
    std::lock_guard lock(mutex_);
    if (key == HKEY_LOCAL_MACHINE || key == HKEY_CURRENT_USER) {
        return ERROR_SUCCESS;
    }
    return handles_.erase(reinterpret_cast<std::uintptr_t>(key)) == 1 ? ERROR_SUCCESS
                                                                      : ERROR_INVALID_HANDLE;
}

LSTATUS RegistryModel::SetKeyValue(HKEY key, std::wstring_view name, RegistryValue value) {
    std::lock_guard lock(mutex_);
    const auto opened = Resolve(key);
    if (!opened) {
        return ERROR_INVALID_HANDLE;
    }
    if ((opened->access & KEY_SET_VALUE) == 0 || WriteDenied(opened->path)) {
        return ERROR_ACCESS_DENIED;
    }
    auto& values = keys_[opened->path].values;
    const std::wstring folded = Fold(name);
    const auto existing = values.find(folded);
    std::wstring spelled = existing != values.end() ? existing->second.name : std::wstring(name);
    values[folded] = NamedValue{std::move(spelled), std::move(value)};
    return ERROR_SUCCESS;
}

LSTATUS RegistryModel::QueryKeyValue(HKEY key, std::wstring_view name, RegistryValue& value) const {
    std::lock_guard lock(mutex_);
    const auto opened = Resolve(key);
    if (!opened) {
        return ERROR_INVALID_HANDLE;
    }
    if ((opened->access & KEY_QUERY_VALUE) == 0) {
        return ERROR_ACCESS_DENIED;
    }
    const auto found = keys_.find(opened->path);
    if (found == keys_.end()) {
        return ERROR_FILE_NOT_FOUND;
    }
    const auto entry = found->second.values.find(Fold(name));
    if (entry == found->second.values.end()) {
        return ERROR_FILE_NOT_FOUND;
    }
    value = entry->second.value;
    return ERROR_SUCCESS;
}

}  // namespace sim
