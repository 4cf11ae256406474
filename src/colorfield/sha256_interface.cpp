#include "colorfield/sha256_interface.h"

#include <windows.h>

#include <openssl/sha.h>
#include <pathcch.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <string_view>

#include "log/log_line.h"
#include "platform/files.h"
#include "util/text_conversion.h"

namespace {

static_assert(SHA256_DIGEST_LENGTH == Sha256Interface::kDigestLength);

constexpr std::size_t kCanonicalPathCapacity = 260;
constexpr std::uint64_t kLargestIccFile = std::numeric_limits<std::uint32_t>::max();

// One record of the digest file.
constexpr std::size_t kRecordLength = 102;
constexpr std::size_t kNameFieldLength = 63;
// The field's last byte ends the name, whatever it holds.
constexpr std::size_t kNameLimit = kNameFieldLength - 1;
constexpr std::size_t kDigestOffset = 67;
static_assert(kDigestOffset + Sha256Interface::kDigestLength <= kRecordLength);

// The record's name as a C string would read it: up to the first NUL within
// the first 62 bytes.
std::string_view RecordName(const std::array<char, kRecordLength>& record) {
    const char* name = record.data();
    const void* end = std::memchr(name, '\0', kNameLimit);
    return {name, end != nullptr ? static_cast<const char*>(end) - name : kNameLimit};
}

struct FileContent {
    std::unique_ptr<unsigned char[]> data;
    std::size_t size = 0;
};

// The whole of a non-empty file of at most 4294967295 bytes, in one buffer.
std::optional<FileContent> ReadIccFile(platform::SharedFileReader& file, const std::wstring& path) {
    if (!file.IsOpen()) {
        Log(log_level::kError, "Sha256Interface::GetSha256Value")
            << L"Open iccFile failed!fileName:" << path;
        return std::nullopt;
    }
    const std::uint64_t length = file.Size();
    if (length == 0 || length > kLargestIccFile) {
        return std::nullopt;
    }
    FileContent content;
    content.size = static_cast<std::size_t>(length);
    content.data.reset(new (std::nothrow) unsigned char[content.size]);
    if (!content.data) {
        Log(log_level::kError, "Sha256Interface::GetSha256Value") << "pData is nullptr!";
        return std::nullopt;
    }
    // A file that shrank since its size was taken hashes with zeros in place
    // of what is missing, as a zero-filled buffer would; zeroing only that
    // tail keeps the whole buffer from being written twice.
    const std::size_t read = file.Read(content.data.get(), content.size);
    std::memset(content.data.get() + read, 0, content.size - read);
    return content;
}

// The digest of the first record whose name holds `wanted`; out is left as
// it is when none does.
void FindDigestRecord(platform::SharedFileReader& file, std::string_view wanted,
                      unsigned char* out) {
    std::array<char, kRecordLength> record{};
    while (file.Read(record.data(), record.size()) == record.size()) {
        if (RecordName(record).find(wanted) != std::string_view::npos) {
            std::memcpy(out, record.data() + kDigestOffset, Sha256Interface::kDigestLength);
            return;
        }
    }
}

}  // namespace

int Sha256Interface::GetSha256Value(const std::string& path, unsigned char* out, std::size_t size) {
    const std::string canonical = CanonicalizePath(path);
    if (out == nullptr || size < kDigestLength || canonical.empty()) {
        Log(log_level::kError, "Sha256Interface::GetSha256Value") << "input param error";
        return -1;
    }
    const std::wstring widePath = AnsiToWide(canonical);
    platform::SharedFileReader file(widePath);
    return GetSha256Value(file, widePath, out, size);
}

int Sha256Interface::GetSha256Value(platform::SharedFileReader& icc, const std::wstring& iccPath,
                                    unsigned char* out, std::size_t size) {
    if (out == nullptr || size < kDigestLength) {
        Log(log_level::kError, "Sha256Interface::GetSha256Value") << "input param error";
        return -1;
    }
    const auto content = ReadIccFile(icc, iccPath);
    if (!content || SHA256(content->data.get(), content->size, out) == nullptr) {
        return -1;
    }
    return 0;
}

int Sha256Interface::GetSha256DataFromDigestFile(unsigned char* out, std::size_t size,
                                                 const std::string& digestPath,
                                                 const std::string& iccPath) {
    const std::string canonical = CanonicalizePath(digestPath);
    if (out == nullptr || size < kDigestLength || canonical.empty() || iccPath.empty()) {
        return -1;
    }
    std::string wanted;
    if (GetFileNameFromPath(iccPath, wanted) != 0) {
        return -1;
    }
    platform::SharedFileReader file(AnsiToWide(canonical));
    if (!file.IsOpen()) {
        Log(log_level::kError, "Sha256Interface::GetSha256DataFromDigestFile")
            << L"Open digestFile Failed!digestFileName:" << AnsiToWide(digestPath);
        return -1;
    }
    // The name is looked for as a C string, so it ends at a NUL.
    FindDigestRecord(file, wanted.c_str(), out);
    return 0;
}

int Sha256Interface::GetSha256DataFromDigestFile(unsigned char* out, std::size_t size,
                                                 const std::wstring& digestPath,
                                                 const std::wstring& iccPath) {
    if (out == nullptr || size < kDigestLength || digestPath.empty() || iccPath.empty()) {
        return -1;
    }
    platform::SharedFileReader file(digestPath);
    if (!file.IsOpen()) {
        Log(log_level::kError, "Sha256Interface::GetSha256DataFromDigestFile")
            << L"Open digestFile Failed!digestFileName:" << digestPath;
        return -1;
    }
    const std::string wanted = WideToAnsi(iccPath.substr(iccPath.find_last_of(L"\\/") + 1));
    FindDigestRecord(file, wanted.c_str(), out);
    return 0;
}

bool Sha256Interface::IsIccDigestMatch(const std::string& iccPath, const std::string& digestPath) {
    if (iccPath.empty() || digestPath.empty()) {
        return false;
    }
    std::array<unsigned char, kDigestLength> computed{};
    if (GetSha256Value(iccPath, computed.data(), computed.size()) != 0) {
        return false;
    }
    // A digest file without a record for the ICC file leaves the stored
    // digest zero, which no content hashes to in practice.
    std::array<unsigned char, kDigestLength> stored{};
    GetSha256DataFromDigestFile(stored.data(), stored.size(), digestPath, iccPath);
    return computed == stored;
}

bool Sha256Interface::IsIccDigestMatch(platform::SharedFileReader& icc, const std::wstring& iccPath,
                                       const std::wstring& digestPath) {
    std::array<unsigned char, kDigestLength> computed{};
    if (GetSha256Value(icc, iccPath, computed.data(), computed.size()) != 0) {
        return false;
    }
    std::array<unsigned char, kDigestLength> stored{};
    GetSha256DataFromDigestFile(stored.data(), stored.size(), digestPath, iccPath);
    return computed == stored;
}

std::string Sha256Interface::CanonicalizePath(const std::string& path) {
    const std::wstring wide = AnsiToWide(path);
    std::array<wchar_t, kCanonicalPathCapacity> canonical{};
    if (FAILED(PathCchCanonicalize(canonical.data(), canonical.size(), wide.c_str()))) {
        return {};
    }
    return WideToAnsi(canonical.data());
}

int Sha256Interface::GetFileNameFromPath(const std::string& path, std::string& name) {
    if (path.empty()) {
        return -1;
    }
    auto separator = path.rfind('\\');
    if (separator == std::string::npos) {
        separator = path.rfind('/');
    }
    name = separator == std::string::npos ? path : path.substr(separator + 1);
    return 0;
}
