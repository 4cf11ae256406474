// SHA-256 digests of ICC profiles, and their lookup in a digest file: fixed
// 102-byte records, each a profile's file name and the digest of its content.
// Paths are narrow text in the ANSI code page.
#pragma once

#include <cstddef>
#include <string>

namespace platform {
class SharedFileReader;
}

class Sha256Interface {
  public:
    static constexpr std::size_t kDigestLength = 32;

    // 0 with the file's digest in out[0..32); -1 when the file cannot be
    // read, is empty or larger than 4294967295 bytes, or out is too small.
    static int GetSha256Value(const std::string& path, unsigned char* out, std::size_t size);
    // 0 once the digest file was read, whether or not a record named the ICC
    // file (out is then untouched); -1 on bad arguments or when it cannot be
    // opened.
    static int GetSha256DataFromDigestFile(unsigned char* out, std::size_t size,
                                           const std::string& digestPath,
                                           const std::string& iccPath);
    static bool IsIccDigestMatch(const std::string& iccPath, const std::string& digestPath);

    // The same steps for a profile already open and a digest file by its
    // full path, so that the bytes hashed are the bytes the caller goes on
    // to use. `iccPath` names the profile in log lines and in the lookup.
    static int GetSha256Value(platform::SharedFileReader& icc, const std::wstring& iccPath,
                              unsigned char* out, std::size_t size);
    static int GetSha256DataFromDigestFile(unsigned char* out, std::size_t size,
                                           const std::wstring& digestPath,
                                           const std::wstring& iccPath);
    static bool IsIccDigestMatch(platform::SharedFileReader& icc, const std::wstring& iccPath,
                                 const std::wstring& digestPath);
    // Empty when the path cannot be canonicalised.
    static std::string CanonicalizePath(const std::string& path);
    // The part after the last backslash, or after the last forward slash when
    // there is no backslash; -1 for an empty path.
    static int GetFileNameFromPath(const std::string& path, std::string& name);
};
