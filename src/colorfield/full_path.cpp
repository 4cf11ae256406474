#include "colorfield/full_path.h"

#include <windows.h>

#include <pathcch.h>

#include <array>

namespace {

constexpr std::size_t kLongestUsablePath = MAX_PATH;

// A full name that does not fit in MAX_PATH characters is refused, as the
// colour management and firmware file calls would refuse it.
std::optional<std::wstring> FullPathName(const std::wstring& path) {
    std::array<wchar_t, kLongestUsablePath> buffer{};
    const DWORD length =
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0 || length >= buffer.size()) {
        return std::nullopt;
    }
    return std::wstring(buffer.data(), length);
}

}  // namespace

std::optional<std::wstring> FullPath(std::wstring_view path) {
    if (path.empty()) {
        return std::nullopt;
    }
    const auto full = FullPathName(std::wstring(path));
    if (!full) {
        return std::nullopt;
    }
    std::array<wchar_t, kLongestUsablePath> canonical{};
    if (FAILED(PathCchCanonicalize(canonical.data(), canonical.size(), full->c_str()))) {
        return std::nullopt;
    }
    return std::wstring(canonical.data());
}
