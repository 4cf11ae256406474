// OpenSSL's one-shot SHA256() for the Windows build, computed by CNG.
#include <openssl/sha.h>

#include <windows.h>

#include <bcrypt.h>

#include <algorithm>
#include <limits>

namespace {

// A provider per call: opening one is cheap next to hashing a file, and
// nothing then outlives the call into the library's unload.
class Sha256Provider {
  public:
    Sha256Provider() {
        if (!BCRYPT_SUCCESS(
                BCryptOpenAlgorithmProvider(&handle_, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
            handle_ = nullptr;
        }
    }
    ~Sha256Provider() {
        if (handle_ != nullptr) {
            BCryptCloseAlgorithmProvider(handle_, 0);
        }
    }
    Sha256Provider(const Sha256Provider&) = delete;
    Sha256Provider& operator=(const Sha256Provider&) = delete;

    BCRYPT_ALG_HANDLE Get() const { return handle_; }

  private:
    BCRYPT_ALG_HANDLE handle_ = nullptr;
};

// The system allocates the hash object itself (no object buffer).
class HashObject {
  public:
    explicit HashObject(BCRYPT_ALG_HANDLE algorithm) {
        if (!BCRYPT_SUCCESS(BCryptCreateHash(algorithm, &handle_, nullptr, 0, nullptr, 0, 0))) {
            handle_ = nullptr;
        }
    }
    ~HashObject() {
        if (handle_ != nullptr) {
            BCryptDestroyHash(handle_);
        }
    }
    HashObject(const HashObject&) = delete;
    HashObject& operator=(const HashObject&) = delete;

    BCRYPT_HASH_HANDLE Get() const { return handle_; }

  private:
    BCRYPT_HASH_HANDLE handle_ = nullptr;
};

// BCryptHashData counts in 32 bits, so larger inputs are fed in parts.
bool Digest(const unsigned char* data, std::size_t size, unsigned char* md) {
    const Sha256Provider provider;
    if (provider.Get() == nullptr) {
        return false;
    }
    const HashObject hash(provider.Get());
    if (hash.Get() == nullptr) {
        return false;
    }
    constexpr std::size_t kLargestPart = std::numeric_limits<ULONG>::max();
    while (size > 0) {
        const auto part = static_cast<ULONG>(std::min(size, kLargestPart));
        if (!BCRYPT_SUCCESS(BCryptHashData(hash.Get(), const_cast<PUCHAR>(data), part, 0))) {
            return false;
        }
        data += part;
        size -= part;
    }
    return BCRYPT_SUCCESS(BCryptFinishHash(hash.Get(), md, SHA256_DIGEST_LENGTH, 0));
}

}  // namespace

extern "C" unsigned char* SHA256(const unsigned char* d, std::size_t n, unsigned char* md) {
    static unsigned char shared[SHA256_DIGEST_LENGTH];
    unsigned char* out = md != nullptr ? md : shared;
    return Digest(d, n, out) ? out : nullptr;
}
