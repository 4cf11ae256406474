// Any bytes as the ICC digest file: the scan never reads outside its record
// buffer, and the check's answer is the one an independent reading of the
// records gives. The first input byte steers the harness: now and then it
// plants the profile's name and real digest into one record, so that the
// matching path is reached; the rest is the digest file.
#include <openssl/sha.h>

#include <stdlib.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "colorfield/color_field.h"
#include "sim/machine.h"

namespace {

constexpr const char* kIccPath = "C:\\Icc\\sRGB.icc";
constexpr const char* kDigestPath = "C:\\Icc\\digest.bin";
constexpr std::string_view kIccName = "sRGB.icc";
constexpr std::string_view kProfile = "acsp: the profile whose digest the file must hold";
constexpr std::size_t kRecordLength = 102;
constexpr std::size_t kNameLimit = 62;
constexpr std::size_t kDigestOffset = 67;
constexpr std::uint8_t kPlantName = 0x01;
constexpr std::uint8_t kPlantDigest = 0x02;

using Digest = std::array<unsigned char, SHA256_DIGEST_LENGTH>;

Digest ProfileDigest() {
    Digest digest{};
    SHA256(reinterpret_cast<const unsigned char*>(kProfile.data()), kProfile.size(), digest.data());
    return digest;
}

// A machine of its own in a fresh folder under TMPDIR (a memory file
// system keeps the digest file's rewrite per input off the disk), its log
// thrown away; the folder goes when the process ends.
class Scratch {
  public:
    Scratch() {
        std::string pattern = std::filesystem::temp_directory_path() / "tintwell-digest-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        root_ = pattern;
        setenv("TINTWELL_LOG_FILE", "/dev/null", 1);
        auto machine = sim::Machine::BuiltInDefault();
        machine->SetRoot(root_);
        const auto icc = machine->HostPath(L"C:\\Icc\\sRGB.icc");
        digestFile_ = machine->HostPath(L"C:\\Icc\\digest.bin");
        sim::Machine::Install(std::move(machine));
        std::filesystem::create_directories(icc.parent_path());
        std::ofstream(icc, std::ios::binary).write(kProfile.data(), kProfile.size());
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    const std::filesystem::path& DigestFile() const { return digestFile_; }

  private:
    std::filesystem::path root_;
    std::filesystem::path digestFile_;
};

// The record to plant into, chosen by the steering byte among the full ones.
void Plant(std::string& file, std::uint8_t steering) {
    const std::size_t records = file.size() / kRecordLength;
    if (records == 0) {
        return;
    }
    const std::size_t at = (steering >> 2) % records * kRecordLength;
    if (steering & kPlantName) {
        file.replace(at + (steering >> 4) % (kNameLimit - kIccName.size() + 1), kIccName.size(),
                     kIccName);
    }
    if (steering & kPlantDigest) {
        const Digest digest = ProfileDigest();
        file.replace(at + kDigestOffset, digest.size(), std::string(digest.begin(), digest.end()));
    }
}

// The answer read off the file record by record, independently of the library.
bool FileDescribesProfile(const std::string& file) {
    for (std::size_t at = 0; at + kRecordLength <= file.size(); at += kRecordLength) {
        const std::string_view field(file.data() + at, kNameLimit);
        const std::string_view name = field.substr(0, field.find('\0'));
        if (name.find(kIccName) != std::string_view::npos) {
            const Digest digest = ProfileDigest();
            return std::memcmp(file.data() + at + kDigestOffset, digest.data(), digest.size()) == 0;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Scratch scratch;
    if (size == 0) {
        return 0;
    }
    std::string file(reinterpret_cast<const char*>(data) + 1, size - 1);
    Plant(file, data[0]);
    std::ofstream(scratch.DigestFile(), std::ios::binary | std::ios::trunc)
        .write(file.data(), static_cast<std::streamsize>(file.size()));

    const int result = ColorField::Instance().CheckIsIccFileNormal(kIccPath, kDigestPath);
    if (result != (FileDescribesProfile(file) ? 0 : 2)) {
        std::abort();
    }
    return 0;
}
