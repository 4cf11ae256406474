#include "platform/files.h"

#include <windows.h>

#include <cstdio>
#include <share.h>
#include <memory>
#include <vector>

namespace platform {

namespace {

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<FILE, FileCloser>;

void CreateParentFolders(const std::wstring& path) {
    for (auto slash = path.find_first_of(L"\\/", 3); slash != std::wstring::npos;
         slash = path.find_first_of(L"\\/", slash + 1)) {
        CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
    }
}

}  // namespace

bool AppendToFile(const std::wstring& path, std::string_view bytes) {
    CreateParentFolders(path);
    UniqueFile file(_wfsopen(path.c_str(), L"ab", _SH_DENYNO));
    return file && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
}

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
    UniqueFile file(_wfsopen(path.c_str(), L"rb", _SH_DENYNO));
    if (!file) {
        return std::nullopt;
    }
    std::string bytes;
    char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0;) {
        bytes.append(chunk, n);
    }
    return bytes;
}

// The value may change between the size query and the read (another thread
// of the host may set it), so the read is repeated until the value fits.
std::optional<std::wstring> EnvironmentValue(const wchar_t* name) {
    std::vector<wchar_t> value(GetEnvironmentVariableW(name, nullptr, 0));
    while (!value.empty()) {
        const DWORD length =
            GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
        if (length == 0) {
            break;
        }
        if (length < value.size()) {
            return std::wstring(value.data(), length);
        }
        value.resize(length);
    }
    return std::nullopt;
}

std::wstring ProgramDataFolder() {
    return EnvironmentValue(L"ProgramData").value_or(L"C:\\ProgramData");
}

}  // namespace platform
