#include "sim/icc_profile_reader.h"

#include <lcms2.h>

#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "sim/lcms_handles.h"
#include "sim/open_files.h"

namespace sim {

namespace {

constexpr cmsUInt32Number kBytesPerChannel = 2;

struct TransformDeleter {
    void operator()(void* transform) const { cmsDeleteTransform(transform); }
};
using TransformHandle = std::unique_ptr<void, TransformDeleter>;

// Building the transform reads every tag a device-to-sRGB conversion needs,
// which opening (the header and tag table only) does not.
bool TransformsToSrgb(cmsHPROFILE profile) {
    const LcmsProfile srgb(cmsCreate_sRGBProfile());
    if (!srgb) {
        return false;
    }
    const cmsUInt32Number input = cmsFormatterForColorspaceOfProfile(profile, kBytesPerChannel, 0);
    const TransformHandle transform(cmsCreateTransform(profile, input, srgb.get(), TYPE_RGB_16,
                                                       INTENT_PERCEPTUAL, cmsFLAGS_NOCACHE));
    return transform != nullptr;
}

ProfileCheck Judge(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) {
        return ProfileCheck::Unreadable;
    }
    const LcmsProfile profile(
        cmsOpenProfileFromMem(bytes.data(), static_cast<cmsUInt32Number>(bytes.size())));
    if (!profile) {
        return ProfileCheck::Unreadable;
    }
    return TransformsToSrgb(profile.get()) ? ProfileCheck::Valid : ProfileCheck::Damaged;
}

}  // namespace

// A switch opens, validates and installs the same few profiles many times;
// building a transform for each costs milliseconds, so verdicts are kept by
// content.
ProfileCheck CheckProfile(std::span<const std::uint8_t> bytes) {
    constexpr std::size_t kRemembered = 16;
    static std::mutex mutex;
    static std::map<std::vector<std::uint8_t>, ProfileCheck> verdicts;
    std::vector<std::uint8_t> key(bytes.begin(), bytes.end());
    {
        const std::lock_guard lock(mutex);
        if (const auto known = verdicts.find(key); known != verdicts.end()) {
            return known->second;
        }
    }
    const ProfileCheck verdict = Judge(bytes);
    const std::lock_guard lock(mutex);
    if (verdicts.size() >= kRemembered) {
        verdicts.clear();
    }
    verdicts.emplace(std::move(key), verdict);
    return verdict;
}

std::optional<std::vector<std::uint8_t>> ReadProfileFile(const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        return std::nullopt;
    }
    // Colour management opens profiles for reading and lets others read only.
    const auto claim = OpenFiles::Instance().Open(file, kFileRead, kFileRead);
    if (!claim) {
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>());
}

}  // namespace sim
