// OpenSSL's one-shot SHA256() for the Windows build, computed by CNG.
#include <openssl/sha.h>

#include <windows.h>

#include <bcrypt.h>

#include <algorithm>
#include <limits>
#include <optional>

#include "platform/system_module.h"

namespace {

constexpr const wchar_t* kBcrypt = L"bcrypt.dll";

// CNG's bcrypt from the system directory, held for one digest. Not a
// library the system always maps, so the search order would start in the
// application's folder.
struct BcryptEntryPoints {
    decltype(&::BCryptOpenAlgorithmProvider) OpenAlgorithmProvider = nullptr;
    decltype(&::BCryptCloseAlgorithmProvider) CloseAlgorithmProvider = nullptr;
    decltype(&::BCryptCreateHash) CreateHash = nullptr;
    decltype(&::BCryptDestroyHash) DestroyHash = nullptr;
    decltype(&::BCryptHashData) HashData = nullptr;
    decltype(&::BCryptFinishHash) FinishHash = nullptr;
};

bool ResolveAll(HMODULE module, BcryptEntryPoints& e) {
    return ResolveEntryPoint(module, "BCryptOpenAlgorithmProvider", e.OpenAlgorithmProvider) &&
           ResolveEntryPoint(module, "BCryptCloseAlgorithmProvider", e.CloseAlgorithmProvider) &&
           ResolveEntryPoint(module, "BCryptCreateHash", e.CreateHash) &&
           ResolveEntryPoint(module, "BCryptDestroyHash", e.DestroyHash) &&
           ResolveEntryPoint(module, "BCryptHashData", e.HashData) &&
           ResolveEntryPoint(module, "BCryptFinishHash", e.FinishHash);
}

// The digest's callers report a failed digest in their own words; this
// line says that the system's library was the reason.
std::optional<BcryptEntryPoints> Resolved(HMODULE module) {
    BcryptEntryPoints entryPoints;
    if (module == nullptr || !ResolveAll(module, entryPoints)) {
        OutputDebugStringW(L"[SHA256 bcrypt not loaded from the system directory]\n");
        return std::nullopt;
    }
    return entryPoints;
}

// A provider per call: opening one is cheap next to hashing a file, and
// nothing then outlives the call into the library's unload.
class Sha256Provider {
  public:
    explicit Sha256Provider(const BcryptEntryPoints& bcrypt) : bcrypt_(bcrypt) {
        if (!BCRYPT_SUCCESS(
                bcrypt_.OpenAlgorithmProvider(&handle_, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
            handle_ = nullptr;
        }
    }
    ~Sha256Provider() {
        if (handle_ != nullptr) {
            bcrypt_.CloseAlgorithmProvider(handle_, 0);
        }
    }
    Sha256Provider(const Sha256Provider&) = delete;
    Sha256Provider& operator=(const Sha256Provider&) = delete;

    BCRYPT_ALG_HANDLE Get() const { return handle_; }

  private:
    const BcryptEntryPoints& bcrypt_;
    BCRYPT_ALG_HANDLE handle_ = nullptr;
};

// The system allocates the hash object itself (no object buffer).
class HashObject {
  public:
    HashObject(const BcryptEntryPoints& bcrypt, BCRYPT_ALG_HANDLE algorithm) : bcrypt_(bcrypt) {
        if (!BCRYPT_SUCCESS(bcrypt_.CreateHash(algorithm, &handle_, nullptr, 0, nullptr, 0, 0))) {
            handle_ = nullptr;
        }
    }
    ~HashObject() {
        if (handle_ != nullptr) {
            bcrypt_.DestroyHash(handle_);
        }
    }
    HashObject(const HashObject&) = delete;
    HashObject& operator=(const HashObject&) = delete;

    BCRYPT_HASH_HANDLE Get() const { return handle_; }

  private:
    const BcryptEntryPoints& bcrypt_;
    BCRYPT_HASH_HANDLE handle_ = nullptr;
};

// BCryptHashData counts in 32 bits, so larger inputs are fed in parts.
bool Digest(const unsigned char* data, std::size_t size, unsigned char* md) {
    const UniqueModule module = LoadSystemLibrary(kBcrypt);
    const auto bcrypt = Resolved(module.get());
    if (!bcrypt) {
        return false;
    }
    const Sha256Provider provider(*bcrypt);
    if (provider.Get() == nullptr) {
        return false;
    }
    const HashObject hash(*bcrypt, provider.Get());
    if (hash.Get() == nullptr) {
        return false;
    }
    constexpr std::size_t kLargestPart = std::numeric_limits<ULONG>::max();
    while (size > 0) {
        const auto part = static_cast<ULONG>(std::min(size, kLargestPart));
        if (!BCRYPT_SUCCESS(bcrypt->HashData(hash.Get(), const_cast<PUCHAR>(data), part, 0))) {
            return false;
        }
        data += part;
        size -= part;
    }
    return BCRYPT_SUCCESS(bcrypt->FinishHash(hash.Get(), md, SHA256_DIGEST_LENGTH, 0));
}

}  // namespace

extern "C" unsigned char* SHA256(const unsigned char* d, std::size_t n, unsigned char* md) {
    static unsigned char shared[SHA256_DIGEST_LENGTH];
    unsigned char* out = md != nullptr ? md : shared;
    return Digest(d, n, out) ? out : nullptr;
}
