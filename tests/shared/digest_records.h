// Test-side writer of ICC digest files, the SHA-256 reference vectors and the
// path canonicalisation cases: shared by the Linux tests (simulated machine)
// and the Wine tests (Wine's own PathCchCanonicalize and CNG), so that both
// hold the library to the same answers.
#pragma once

#include <openssl/sha.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace tw_test {

using Digest = std::array<unsigned char, SHA256_DIGEST_LENGTH>;

inline Digest Sha256Of(std::string_view bytes) {
    Digest digest{};
    SHA256(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), digest.data());
    return digest;
}

inline std::string HexOf(const Digest& digest) {
    constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : digest) {
        hex += kHex[byte >> 4];
        hex += kHex[byte & 0x0F];
    }
    return hex;
}

// One 102-byte record: the name NUL-padded in 63 bytes (a longer name is cut
// to 63, so its byte 62 is a character, not the NUL), the digest at 67. The
// bytes the library must not examine hold a filler instead of zeros.
inline std::string DigestRecord(std::string_view name, const Digest& digest) {
    constexpr std::size_t kRecordLength = 102;
    constexpr std::size_t kNameField = 63;
    constexpr std::size_t kDigestOffset = 67;
    constexpr char kFiller = '\x5A';
    std::string record(kRecordLength, kFiller);
    std::fill_n(record.begin(), kNameField, '\0');
    std::copy_n(name.begin(), std::min(name.size(), kNameField), record.begin());
    std::copy(digest.begin(), digest.end(), record.begin() + kDigestOffset);
    return record;
}

struct Sha256Vector {
    std::string message;
    const char* digestHex;
};

// FIPS 180-4 examples and the long message of the NIST test set.
inline std::array<Sha256Vector, 4> Sha256Vectors() {
    return {{
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    }};
}

struct CanonicalCase {
    const wchar_t* path;
    const wchar_t* canonical;
};

// What PathCchCanonicalize makes of paths, as Windows answers: dot
// components, roots that ".." cannot climb above, trailing dots, the
// extended-length prefixes, and forward slashes that it leaves alone.
inline constexpr CanonicalCase kCanonicalCases[] = {
    {L"C:\\Vozaz\\Icc\\sRGB.icc", L"C:\\Vozaz\\Icc\\sRGB.icc"},
    {L"C:\\Vozaz\\.\\Icc\\..\\Icc\\sRGB.icc", L"C:\\Vozaz\\Icc\\sRGB.icc"},
    {L"C:\\a\\.\\b\\..\\", L"C:\\a\\"},
    {L"C:\\..\\..\\sRGB.icc", L"C:\\sRGB.icc"},
    {L"C:\\a\\..", L"C:\\"},
    {L"C:\\a\\\\..", L"C:\\a"},
    {L"C:\\a\\..\\\\b", L"C:\\\\b"},
    {L"C:\\a.", L"C:\\a"},
    {L"C:\\a.\\", L"C:\\a.\\"},
    {L"C:\\...\\", L"C:\\...\\"},
    {L"C:\\..a", L"C:\\..a"},
    {L"C:\\a\\b..", L"C:\\a\\b"},
    {L"C:", L"C:\\"},
    {L"C:.", L"C:\\"},
    {L"C:..", L"C:\\"},
    {L"C:..\\", L"C:..\\"},
    {L"C:a", L"C:a"},
    {L"", L"\\"},
    {L".", L"\\"},
    {L"..\\", L"\\"},
    {L"a\\..\\b", L"\\b"},
    {L"a\\.\\b", L"a\\b"},
    {L"\\a\\b\\..", L"\\a"},
    {L"\\\\server\\share\\..\\x", L"\\\\server\\x"},
    {L"\\\\.\\a\\.\\b\\..\\", L"\\\\a\\"},
    {L"\\\\..", L"\\\\"},
    {L"\\\\\\..", L"\\"},
    {L"\\\\?\\C:\\a\\..\\b", L"C:\\b"},
    {L"\\\\?\\C:..", L"C:\\"},
    {L"\\\\?\\UNC\\server\\share\\..", L"\\\\server"},
    {L"*..", L"*."},
    {L"::.", L"::\\"},
    {L"C:/Vozaz/./Icc/../sRGB.icc", L"C:/Vozaz/./Icc/../sRGB.icc"},
    {L"C:\\Vozaz/..\\sRGB.icc", L"C:\\Vozaz/..\\sRGB.icc"},
    {L"C:\\Vozaz\\./sRGB.icc", L"C:\\Vozaz\\./sRGB.icc"},
};

}  // namespace tw_test
