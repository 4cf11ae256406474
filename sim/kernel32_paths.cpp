// kernel32: the process's current directory, full path names and ordinal
// string comparison. Full path names follow Windows' path normalisation:
// either slash separates, "." and ".." are resolved without touching the
// disk, runs of separators collapse, and the last component loses trailing
// dots and spaces. A path that starts with "/" is a host path of the
// simulated machine and keeps forward slashes.
#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/machine.h"

namespace {

constexpr std::size_t kLongestPath = 32767;
constexpr std::wstring_view kVerbatimPrefix = L"\\\\?\\";

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool HasDrive(std::wstring_view path) {
    return path.size() >= 2 && std::iswalpha(path[0]) && path[1] == L':';
}

bool IsPosix(std::wstring_view path) {
    return !path.empty() && path.front() == L'/' && (path.size() == 1 || path[1] != L'/');
}

bool IsUnc(std::wstring_view path) {
    return path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
}

// A root and the components below it.
struct SplitPath {
    std::wstring root;  // "C:\", "\\server\share\" or "/"
    std::vector<std::wstring> components;
    wchar_t separator = L'\\';
};

void AppendComponents(SplitPath& split, std::wstring_view rest) {
    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t end = start;
        while (end < rest.size() && !IsSeparator(rest[end])) {
            ++end;
        }
        const std::wstring_view component = rest.substr(start, end - start);
        if (component == L"..") {
            if (!split.components.empty()) {
                split.components.pop_back();
            }
        } else if (!component.empty() && component != L".") {
            split.components.emplace_back(component);
        }
        start = end + 1;
    }
}

// "\\server\share\rest": the first two components belong to the root.
SplitPath SplitUnc(std::wstring_view path) {
    SplitPath split;
    AppendComponents(split, path.substr(2));
    split.root = L"\\\\";
    for (int part = 0; part < 2 && !split.components.empty(); ++part) {
        split.root += split.components.front() + L"\\";
        split.components.erase(split.components.begin());
    }
    return split;
}

SplitPath SplitAbsolute(std::wstring_view path) {
    if (IsUnc(path)) {
        return SplitUnc(path);
    }
    SplitPath split;
    if (IsPosix(path)) {
        split.root = L"/";
        split.separator = L'/';
        AppendComponents(split, path);
        return split;
    }
    split.root = std::wstring(path.substr(0, 2)) + L"\\";
    split.root[0] = static_cast<wchar_t>(std::towupper(split.root[0]));
    AppendComponents(split, path.substr(2));
    return split;
}

// The path as the current directory completes it.
SplitPath Resolve(std::wstring_view path, std::wstring_view current) {
    if (IsUnc(path) || IsPosix(path) ||
        (HasDrive(path) && path.size() > 2 && IsSeparator(path[2]))) {
        return SplitAbsolute(path);
    }
    SplitPath split = SplitAbsolute(current);
    if (HasDrive(path)) {
        const bool sameDrive =
            HasDrive(current) && std::towupper(current[0]) == std::towupper(path[0]);
        if (!sameDrive) {
            split = SplitAbsolute(std::wstring(path.substr(0, 2)) + L"\\");
        }
        path.remove_prefix(2);
    } else if (!path.empty() && IsSeparator(path.front())) {
        split.components.clear();
    }
    AppendComponents(split, path);
    return split;
}

void TrimTrailingDotsAndSpaces(std::wstring& component) {
    while (!component.empty() && (component.back() == L'.' || component.back() == L' ')) {
        component.pop_back();
    }
}

std::wstring Join(SplitPath split, bool trailingSeparator) {
    if (!trailingSeparator && !split.components.empty()) {
        TrimTrailingDotsAndSpaces(split.components.back());
        if (split.components.back().empty()) {
            split.components.pop_back();
        }
    }
    if (split.separator == L'/') {
        std::replace(split.root.begin(), split.root.end(), L'\\', L'/');
    }
    std::wstring full = split.root;
    for (std::size_t i = 0; i < split.components.size(); ++i) {
        full += split.components[i];
        if (i + 1 < split.components.size() || trailingSeparator) {
            full += split.separator;
        }
    }
    return full;
}

std::optional<std::wstring> FullPathName(std::wstring_view path, std::wstring_view current) {
    if (path.starts_with(kVerbatimPrefix)) {
        return std::wstring(path);
    }
    const bool trailingSeparator = !path.empty() && IsSeparator(path.back());
    return Join(Resolve(path, current), trailingSeparator);
}

// The length copied, or the size needed with the terminator when the buffer
// is too small, as the directory and path functions answer.
DWORD CopyOrNeed(const std::wstring& text, DWORD size, LPWSTR buffer) {
    if (buffer == nullptr || size <= text.size()) {
        return static_cast<DWORD>(text.size() + 1);
    }
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = L'\0';
    return static_cast<DWORD>(text.size());
}

DWORD FailWith(DWORD error) {
    SetLastError(error);
    return 0;
}

}  // namespace

DWORD WINAPI GetFullPathNameW(LPCWSTR fileName, DWORD size, LPWSTR buffer, LPWSTR* filePart) {
    if (fileName == nullptr || *fileName == L'\0') {
        return FailWith(ERROR_INVALID_NAME);
    }
    const std::wstring_view name(fileName);
    if (name.size() > kLongestPath) {
        return FailWith(ERROR_FILENAME_EXCED_RANGE);
    }
    const auto full = FullPathName(name, sim::Machine::Current().CurrentDirectory());
    if (!full || full->size() > kLongestPath) {
        return FailWith(ERROR_FILENAME_EXCED_RANGE);
    }
    const DWORD result = CopyOrNeed(*full, size, buffer);
    if (filePart != nullptr && result == full->size()) {
        const auto last = full->find_last_of(L"\\/");
        *filePart = last == full->size() - 1 ? nullptr : buffer + last + 1;
    }
    return result;
}

DWORD WINAPI GetCurrentDirectoryW(DWORD size, LPWSTR buffer) {
    return CopyOrNeed(sim::Machine::Current().CurrentDirectory(), size, buffer);
}

BOOL WINAPI SetCurrentDirectoryW(LPCWSTR path) {
    if (path == nullptr || *path == L'\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto& machine = sim::Machine::Current();
    auto full = FullPathName(path, machine.CurrentDirectory());
    std::error_code error;
    if (!full || !std::filesystem::is_directory(machine.HostPath(*full), error)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    if (full->size() > 3 && IsSeparator(full->back())) {
        full->pop_back();
    }
    machine.SetCurrentDirectory(std::move(*full));
    return TRUE;
}

// Windows compares file names this way: code unit by code unit, after
// upper-casing each when asked to ignore case.
int WINAPI CompareStringOrdinal(LPCWSTR first, int firstLength, LPCWSTR second, int secondLength,
                                BOOL ignoreCase) {
    if (first == nullptr || second == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::wstring_view a =
        firstLength < 0 ? std::wstring_view(first) : std::wstring_view(first, firstLength);
    const std::wstring_view b =
        secondLength < 0 ? std::wstring_view(second) : std::wstring_view(second, secondLength);
    const auto fold = [ignoreCase](wchar_t c) {
        return ignoreCase ? static_cast<wchar_t>(std::towupper(c)) : c;
    };
    const auto [ai, bi] = std::mismatch(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](wchar_t x, wchar_t y) { return fold(x) == fold(y); });
    if (ai == a.end() && bi == b.end()) {
        return CSTR_EQUAL;
    }
    if (ai == a.end()) {
        return CSTR_LESS_THAN;
    }
    if (bi == b.end()) {
        return CSTR_GREATER_THAN;
    }
    return fold(*ai) < fold(*bi) ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
}
