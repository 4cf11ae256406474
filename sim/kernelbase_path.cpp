// kernelbase: PathCchCanonicalize as Windows answers it (Wine's behaviour is
// the reference the tests compare with). Only backslashes separate
// components; a forward slash is an ordinary character.
#include <pathcch.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <string_view>

namespace {

constexpr std::size_t kMaxPath = 260;
// Longest input accepted unless it starts with "X:\".
constexpr std::size_t kLongestUnrootedInput = kMaxPath - 4;
constexpr std::wstring_view kExtendedPrefix = L"\\\\?\\";
constexpr std::wstring_view kExtendedUncPrefix = L"\\\\?\\UNC\\";

bool IsAsciiLetter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

bool StartsWithDrive(std::wstring_view path) {
    return path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == L':';
}

bool StartsWithDriveRoot(std::wstring_view path) {
    return StartsWithDrive(path) && path.size() >= 3 && path[2] == L'\\';
}

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](wchar_t a, wchar_t b) { return std::towupper(a) == std::towupper(b); });
}

// The result as it grows, and how much of its start is root: a "." or ".."
// takes away the separator before it only at or after protectedLength.
struct Canonical {
    std::wstring text;
    std::size_t protectedLength = 0;
};

// Copies the root into the result; the number of input characters it spans.
// The extended forms "\\?\X:" and "\\?\UNC\" lose their prefix.
std::size_t TakeRoot(std::wstring_view path, Canonical& result) {
    if (path.starts_with(kExtendedPrefix) && StartsWithDrive(path.substr(kExtendedPrefix.size()))) {
        result.text = path.substr(kExtendedPrefix.size(), 2);
        result.text += L'\\';
        result.protectedLength = result.text.size() + 1;
        return StartsWithDriveRoot(path.substr(kExtendedPrefix.size())) ? 7 : 6;
    }
    if (StartsWithNoCase(path, kExtendedUncPrefix)) {
        result.text = L"\\\\";
        result.protectedLength = result.text.size() + 1;
        return kExtendedUncPrefix.size();
    }
    std::size_t length = 0;
    if (path.starts_with(L"\\\\")) {
        length = 2;
    } else if (path.starts_with(L"\\")) {
        length = 1;
    } else if (StartsWithDrive(path)) {
        length = StartsWithDriveRoot(path) ? 3 : 2;
    }
    result.text = path.substr(0, length);
    result.protectedLength = length;
    return length;
}

bool EndsWith(const std::wstring& text, wchar_t c) {
    return !text.empty() && text.back() == c;
}

bool EndsWithFreeSeparator(const Canonical& result) {
    return EndsWith(result.text, L'\\') && result.text.size() - 1 >= result.protectedLength;
}

// "..": the component before it goes with the separator that opened it.
// Like Windows this may reach into a "\\" or "\" root.
void DropLastComponent(std::wstring& text) {
    const auto separator = text.find_last_of(L'\\');
    text.erase(separator == std::wstring::npos ? 0 : separator);
}

// "X:" followed by anything but a backslash becomes the root "X:\" once a
// dot component has been dealt with; a backslash next in the input is the
// one used.
void CompleteDriveRoot(Canonical& result, std::wstring_view path, std::size_t& next) {
    if (!StartsWithDrive(result.text) || StartsWithDriveRoot(result.text)) {
        return;
    }
    result.text.resize(3);
    result.text[2] = L'\\';
    result.protectedLength = 3;
    if (next < path.size() && path[next] == L'\\') {
        ++next;
    }
}

// Trailing dots go, except one after "*"; "X:." ends as "X:\".
void StripTrailingDots(std::wstring& text) {
    while (EndsWith(text, L'.')) {
        if (text.size() >= 2 && text[text.size() - 2] == L'*') {
            return;
        }
        if (text.size() == 3 && text[1] == L':') {
            text[2] = L'\\';
            return;
        }
        text.pop_back();
    }
}

std::wstring Canonicalize(std::wstring_view path) {
    Canonical result;
    std::size_t i = TakeRoot(path, result);
    const auto at = [path](std::size_t k) { return k < path.size() ? path[k] : L'\0'; };
    while (i < path.size()) {
        if (path[i] != L'.') {
            result.text += path[i++];
            continue;
        }
        const bool twoDots = at(i + 1) == L'.';
        if (twoDots && EndsWith(result.text, L'*')) {
            result.text += path[i++];
            continue;
        }
        const std::size_t dots = twoDots ? 2 : 1;
        const wchar_t after = at(i + dots);
        const bool wholeComponent = (after == L'\\' || after == L'\0') &&
                                    (result.text.empty() || EndsWith(result.text, L'\\'));
        if (!wholeComponent) {
            result.text.append(dots, L'.');
            i += dots;
            continue;
        }
        if (EndsWithFreeSeparator(result)) {
            result.text.pop_back();
            if (twoDots) {
                DropLastComponent(result.text);
            }
        } else if (after == L'\\') {
            ++i;
        }
        i += dots;
        CompleteDriveRoot(result, path, i);
    }
    StripTrailingDots(result.text);
    return result.text.empty() ? L"\\" : result.text;
}

}  // namespace

HRESULT WINAPI PathCchCanonicalize(PWSTR pathOut, std::size_t pathOutSize, PCWSTR pathIn) {
    const std::wstring_view path(pathIn);
    if (path.size() > kLongestUnrootedInput && !StartsWithDriveRoot(path)) {
        return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    }
    if (pathOutSize == 0) {
        return E_INVALIDARG;
    }
    if (path.size() + 1 > kMaxPath) {
        return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
    }
    std::wstring canonical = Canonicalize(path);
    // A bare "X:" gains its backslash when there is room for it.
    if (canonical.size() == 2 && StartsWithDrive(canonical) && pathOutSize > 3) {
        canonical += L'\\';
    }
    if (canonical.size() + 1 > pathOutSize) {
        return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    }
    std::copy(canonical.begin(), canonical.end(), pathOut);
    pathOut[canonical.size()] = L'\0';
    return S_OK;
}
