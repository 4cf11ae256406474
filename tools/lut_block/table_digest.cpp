#include "table_digest.h"

#include <openssl/sha.h>

namespace lut_block {

Digest Sha256(std::span<const std::uint8_t> bytes) {
    Digest digest{};
    SHA256(bytes.data(), bytes.size(), digest.data());
    return digest;
}

}  // namespace lut_block
