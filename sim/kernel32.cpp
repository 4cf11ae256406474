// kernel32: last error, debug output, ANSI code page conversions and the
// private-profile functions.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <mutex>
#include <sstream>
#include <sys/stat.h>

#include "platform/utf8.h"
#include "sim/codepage.h"
#include "sim/ini_document.h"
#include "sim/machine.h"
#include "sim/machine_clock.h"

namespace {

// Windows promises only a nonzero result for a write; one that is not 1
// holds a caller to that promise.
constexpr BOOL kProfileWritten = 2;

thread_local DWORD t_lastError = ERROR_SUCCESS;

// Windows serialises private-profile access per process; so does the model.
std::mutex g_profileMutex;

bool IsAnsiCodePage(UINT codePage) {
    return codePage == CP_ACP || codePage == CP_THREAD_ACP;
}

bool EchoDebugOutput() {
    const char* echo = std::getenv("TINTWELL_DEBUG_OUTPUT");
    return echo != nullptr && std::strcmp(echo, "1") == 0;
}

// Copies text into a caller buffer the way the profile functions do: at most
// size - 1 characters and a terminating zero; returns the characters copied.
DWORD CopyTruncated(std::wstring_view text, LPWSTR buffer, DWORD size) {
    const std::size_t count = std::min<std::size_t>(text.size(), size - 1);
    std::copy_n(text.begin(), count, buffer);
    buffer[count] = L'\0';
    return static_cast<DWORD>(count);
}

bool IsQuote(wchar_t c) {
    return c == L'"' || c == L'\'';
}

// A value between matching quotes loses the opening one; when the rest is no
// longer than the buffer the last character copied goes as well, which is the
// closing quote only if it fitted. So 259 quoted characters come back as 258
// from a 260-character buffer, 260 as 259.
DWORD CopyEntry(std::wstring_view text, LPWSTR buffer, DWORD size) {
    if (text.size() < 2 || !IsQuote(text.front()) || text.back() != text.front()) {
        return CopyTruncated(text, buffer, size);
    }
    text.remove_prefix(1);
    const DWORD copied = CopyTruncated(text, buffer, size);
    if (size < text.size() || copied == 0) {
        return copied;
    }
    buffer[copied - 1] = L'\0';
    return copied - 1;
}

// A list of names, each zero-terminated, the whole ended by a second zero;
// a list that does not fit is cut and still doubly terminated (size - 2).
DWORD CopyNameList(const std::vector<std::wstring>& names, LPWSTR buffer, DWORD size) {
    std::wstring list;
    for (const auto& name : names) {
        list += name;
        list += L'\0';
    }
    if (size < 2) {
        buffer[0] = L'\0';
        return 0;
    }
    if (list.size() + 1 > size) {
        std::copy_n(list.begin(), size - 2, buffer);
        buffer[size - 2] = L'\0';
        buffer[size - 1] = L'\0';
        return size - 2;
    }
    std::copy(list.begin(), list.end(), buffer);
    buffer[list.size()] = L'\0';
    return static_cast<DWORD>(list.size());
}

std::optional<sim::IniDocument> LoadDocument(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return sim::IniDocument::Parse(bytes);
}

bool IsReadOnly(const std::filesystem::path& file) {
    struct stat status {};
    return ::stat(file.c_str(), &status) == 0 && (status.st_mode & S_IWUSR) == 0;
}

// Why a write to `file` cannot happen, as Windows would report it.
std::optional<DWORD> WriteRefusal(const std::filesystem::path& file) {
    std::error_code ignored;
    if (!std::filesystem::is_directory(file.parent_path(), ignored)) {
        return ERROR_PATH_NOT_FOUND;
    }
    if (std::filesystem::is_directory(file, ignored) || IsReadOnly(file)) {
        return ERROR_ACCESS_DENIED;
    }
    return std::nullopt;
}

std::wstring TrimTrailingBlanks(LPCWSTR text) {
    std::wstring trimmed = text != nullptr ? text : L"";
    trimmed.erase(trimmed.find_last_not_of(L' ') + 1);
    return trimmed;
}

// Whether the write changed the document: a file is written back only then.
bool Apply(sim::IniDocument& document, LPCWSTR appName, LPCWSTR keyName, LPCWSTR value) {
    if (keyName == nullptr) {
        return document.RemoveSection(appName);
    }
    if (value == nullptr) {
        return document.RemoveKey(appName, keyName);
    }
    return document.Set(appName, keyName, value);
}

}  // namespace

DWORD WINAPI GetLastError() {
    return t_lastError;
}

void WINAPI SetLastError(DWORD error) {
    t_lastError = error;
}

void WINAPI OutputDebugStringW(LPCWSTR text) {
    const std::wstring line = text != nullptr ? text : L"";
    if (EchoDebugOutput()) {
        std::cerr << platform::ToUtf8(line) << std::flush;
    }
    sim::Machine::Current().RecordDebugOutput(line);
}

int WINAPI MultiByteToWideChar(UINT codePage, DWORD, LPCSTR multiByte, int multiByteCount,
                               LPWSTR wideChar, int wideCharCount) {
    if (!IsAnsiCodePage(codePage) || multiByte == nullptr || multiByteCount == 0 ||
        multiByteCount < -1 || wideCharCount < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::size_t length = multiByteCount == -1 ? std::strlen(multiByte) + 1
                                                    : static_cast<std::size_t>(multiByteCount);
    if (wideCharCount == 0) {
        return static_cast<int>(length);
    }
    if (wideChar == nullptr || length > static_cast<std::size_t>(wideCharCount)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    for (std::size_t i = 0; i < length; ++i) {
        wideChar[i] = sim::Cp1252ToWide(static_cast<unsigned char>(multiByte[i]));
    }
    return static_cast<int>(length);
}

int WINAPI WideCharToMultiByte(UINT codePage, DWORD, LPCWSTR wideChar, int wideCharCount,
                               LPSTR multiByte, int multiByteCount, LPCSTR defaultChar,
                               LPBOOL usedDefaultChar) {
    if (!IsAnsiCodePage(codePage) || wideChar == nullptr || wideCharCount == 0 ||
        wideCharCount < -1 || multiByteCount < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::size_t length =
        wideCharCount == -1 ? std::wcslen(wideChar) + 1 : static_cast<std::size_t>(wideCharCount);
    if (usedDefaultChar != nullptr) {
        *usedDefaultChar = FALSE;
    }
    if (multiByteCount == 0) {
        return static_cast<int>(length);
    }
    if (multiByte == nullptr || length > static_cast<std::size_t>(multiByteCount)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const char fallback = defaultChar != nullptr ? *defaultChar : sim::kCp1252DefaultChar;
    for (std::size_t i = 0; i < length; ++i) {
        const auto mapped = sim::WideToCp1252(wideChar[i]);
        if (!mapped && usedDefaultChar != nullptr) {
            *usedDefaultChar = TRUE;
        }
        multiByte[i] = mapped ? static_cast<char>(*mapped) : fallback;
    }
    return static_cast<int>(length);
}

DWORD WINAPI GetPrivateProfileStringW(LPCWSTR appName, LPCWSTR keyName, LPCWSTR defaultValue,
                                      LPWSTR returnedString, DWORD size, LPCWSTR fileName) {
    if (returnedString == nullptr || fileName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (size == 0) {
        return 0;
    }
    auto& machine = sim::Machine::Current();
    if (const auto error = machine.TakeFailure("GetPrivateProfileStringW")) {
        SetLastError(*error);
        return CopyEntry(TrimTrailingBlanks(defaultValue), returnedString, size);
    }
    std::lock_guard lock(g_profileMutex);
    const auto document = LoadDocument(machine.HostPath(fileName));
    if (appName == nullptr || keyName == nullptr) {
        std::vector<std::wstring> names;
        if (document) {
            names = appName == nullptr ? document->SectionNames() : document->KeyNames(appName);
        }
        return CopyNameList(names, returnedString, size);
    }
    const auto value = document ? document->Find(appName, keyName) : std::nullopt;
    if (!value) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return CopyEntry(TrimTrailingBlanks(defaultValue), returnedString, size);
    }
    SetLastError(ERROR_SUCCESS);
    return CopyEntry(*value, returnedString, size);
}

BOOL WINAPI WritePrivateProfileStringW(LPCWSTR appName, LPCWSTR keyName, LPCWSTR value,
                                       LPCWSTR fileName) {
    if (appName == nullptr || fileName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto& machine = sim::Machine::Current();
    if (const auto error = machine.TakeFailure("WritePrivateProfileStringW")) {
        SetLastError(*error);
        return FALSE;
    }
    std::lock_guard lock(g_profileMutex);
    const auto file = machine.HostPath(fileName);
    if (const auto refusal = WriteRefusal(file)) {
        SetLastError(*refusal);
        return FALSE;
    }
    sim::IniDocument document = LoadDocument(file).value_or(sim::IniDocument{});
    if (Apply(document, appName, keyName, value)) {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        const std::string bytes = document.Serialize();
        if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
    }
    if (keyName != nullptr && value != nullptr) {
        machine.RecordProfileWrite({machine.Clock().Now(), fileName, appName, keyName, value});
    }
    SetLastError(ERROR_SUCCESS);
    return kProfileWritten;
}
