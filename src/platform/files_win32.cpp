#include "platform/files.h"

#include <windows.h>

#include <io.h>
#include <share.h>

#include <algorithm>
#include <cstdio>
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

bool FileExists(const std::wstring& path) {
    return _waccess(path.c_str(), 0) == 0;
}

// The close is checked too: a write the runtime still buffers fails there.
bool WriteWholeFile(const std::wstring& path, std::string_view bytes) {
    FILE* file = _wfsopen(path.c_str(), L"wb", _SH_DENYNO);
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

struct SharedFileReader::Stream {
    explicit Stream(HANDLE file) : handle(file) {}
    ~Stream() { CloseHandle(handle); }
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;
    HANDLE handle;
};

SharedFileReader::SharedFileReader(const std::wstring& path, Sharing sharing) {
    const DWORD share = sharing == Sharing::ReadOnly
                            ? FILE_SHARE_READ
                            : FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        stream_ = std::make_unique<Stream>(file);
    }
}

SharedFileReader::~SharedFileReader() = default;

bool SharedFileReader::IsOpen() const {
    return stream_ != nullptr;
}

std::uint64_t SharedFileReader::Size() {
    if (!stream_) {
        return 0;
    }
    LARGE_INTEGER end{};
    const bool sized = SetFilePointerEx(stream_->handle, LARGE_INTEGER{}, &end, FILE_END);
    SetFilePointerEx(stream_->handle, LARGE_INTEGER{}, nullptr, FILE_BEGIN);
    return sized ? static_cast<std::uint64_t>(end.QuadPart) : 0;
}

// ReadFile counts in 32 bits, so a larger request is read in parts.
std::size_t SharedFileReader::Read(void* buffer, std::size_t size) {
    if (!stream_) {
        return 0;
    }
    constexpr std::size_t kLargestPart = 1u << 30;
    auto* bytes = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const auto part = static_cast<DWORD>(std::min(size - done, kLargestPart));
        DWORD read = 0;
        if (!ReadFile(stream_->handle, bytes + done, part, &read, nullptr) || read == 0) {
            break;
        }
        done += read;
    }
    return done;
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
