// MinGW-w64 has no OpenSSL. The library calls only its one-shot SHA-256, so
// this stand-in declares that function and sha256_win32.cpp answers it with
// the system's CNG; business code includes <openssl/sha.h> on both platforms.
#pragma once

#include <cstddef>

#define SHA256_DIGEST_LENGTH 32

// Writes the 32-byte digest of d[0..n) to md and returns md; with a null md
// a shared static buffer receives it, as OpenSSL does. Null on failure.
extern "C" unsigned char* SHA256(const unsigned char* d, std::size_t n, unsigned char* md);
