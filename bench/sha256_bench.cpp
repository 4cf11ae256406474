// The digest of a 1 MiB ICC file through Sha256Interface (canonicalise, open,
// size, read into one buffer, hash) against OpenSSL's one-shot hash of the
// same bytes already in memory: only the file read may cost more.
#include <benchmark/benchmark.h>

#include <openssl/sha.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>

#include "colorfield/sha256_interface.h"
#include "scratch_machine.h"

namespace {

constexpr std::size_t kFileSize = 1 << 20;
constexpr const char* kIccPath = "C:\\ProgramData\\Vozaz\\OrvLumivex\\bench.icc";

const std::string& Content() {
    static const std::string content = [] {
        std::string bytes(kFileSize, '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = static_cast<char>((i * 131) ^ (i >> 9));
        }
        return bytes;
    }();
    return content;
}

void WriteIccFile() {
    UseScratchMachine();
    const auto root = std::filesystem::path(std::getenv("TINTWELL_ROOT"));
    std::ofstream(root / "C/ProgramData/Vozaz/OrvLumivex/bench.icc", std::ios::binary)
        .write(Content().data(), static_cast<std::streamsize>(Content().size()));
}

void BM_GetSha256ValueOfFile(benchmark::State& state) {
    WriteIccFile();
    std::array<unsigned char, SHA256_DIGEST_LENGTH> digest{};
    for (auto _ : state) {
        if (Sha256Interface::GetSha256Value(kIccPath, digest.data(), digest.size()) != 0) {
            state.SkipWithError("GetSha256Value failed");
            break;
        }
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileSize));
}
BENCHMARK(BM_GetSha256ValueOfFile);

void BM_OpenSslSha256InMemory(benchmark::State& state) {
    const std::string& content = Content();
    std::array<unsigned char, SHA256_DIGEST_LENGTH> digest{};
    for (auto _ : state) {
        SHA256(reinterpret_cast<const unsigned char*>(content.data()), content.size(),
               digest.data());
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileSize));
}
BENCHMARK(BM_OpenSslSha256InMemory);

}  // namespace
