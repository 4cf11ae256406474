#include "sim/icc_profile_writer.h"

#include <lcms2.h>

#include <algorithm>
#include <array>
#include <memory>
#include <stdexcept>

#include "sim/lcms_handles.h"

namespace sim {

namespace {

constexpr Chromaticity kD65{0.3127, 0.3290};

// IEC 61966-2-1 as Little CMS's parametric type 4:
// Y = (aX + b)^g for X >= d, Y = cX below.
constexpr int kSrgbCurveType = 4;
constexpr std::array<cmsFloat64Number, 5> kSrgbCurve{2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92,
                                                     0.04045};

struct CurveFreer {
    void operator()(cmsToneCurve* curve) const { cmsFreeToneCurve(curve); }
};
struct MluFreer {
    void operator()(cmsMLU* mlu) const { cmsMLUfree(mlu); }
};

// Little CMS stamps the header with the time of creation; a fixed stamp
// (2026-01-01 00:00:00) makes the same colour space the same bytes, so that
// digests of written profiles stay valid.
constexpr std::size_t kCreationDateOffset = 24;
constexpr std::array<std::uint8_t, 12> kCreationDate{0x07, 0xEA, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0};
using CurveHandle = std::unique_ptr<cmsToneCurve, CurveFreer>;
using MluHandle = std::unique_ptr<cmsMLU, MluFreer>;

template <typename Owner>
Owner Required(Owner owner, const char* what) {
    if (!owner) {
        throw std::runtime_error(std::string("ICC profile writer: cannot create ") + what);
    }
    return owner;
}

cmsCIExyY XyY(const Chromaticity& c) {
    return {c.x, c.y, 1.0};
}

CurveHandle TransferCurve(const RgbColorSpace& space) {
    return Required(CurveHandle(space.srgbCurve ? cmsBuildParametricToneCurve(
                                                      nullptr, kSrgbCurveType, kSrgbCurve.data())
                                                : cmsBuildGamma(nullptr, space.gamma)),
                    "the transfer curve");
}

void WriteDescription(cmsHPROFILE profile, const std::string& description) {
    const auto text = Required(MluHandle(cmsMLUalloc(nullptr, 1)), "the description");
    if (!cmsMLUsetASCII(text.get(), "en", "US", description.c_str()) ||
        !cmsWriteTag(profile, cmsSigProfileDescriptionTag, text.get())) {
        throw std::runtime_error("ICC profile writer: cannot write the description");
    }
}

}  // namespace

RgbColorSpace SrgbColorSpace() {
    return {"sRGB IEC61966-2.1", {0.640, 0.330}, {0.300, 0.600}, {0.150, 0.060}, kD65, true, 2.2};
}

RgbColorSpace DisplayP3ColorSpace() {
    return {"Display P3", {0.680, 0.320}, {0.265, 0.690}, {0.150, 0.060}, kD65, true, 2.2};
}

std::vector<std::uint8_t> MakeRgbProfile(const RgbColorSpace& space) {
    const cmsCIExyY white = XyY(space.white);
    const cmsCIExyYTRIPLE primaries{XyY(space.red), XyY(space.green), XyY(space.blue)};
    const auto curve = TransferCurve(space);
    cmsToneCurve* curves[3] = {curve.get(), curve.get(), curve.get()};
    const auto profile =
        Required(LcmsProfile(cmsCreateRGBProfile(&white, &primaries, curves)), "the profile");
    cmsSetDeviceClass(profile.get(), cmsSigDisplayClass);
    WriteDescription(profile.get(), space.description);
    cmsUInt32Number size = 0;
    if (!cmsSaveProfileToMem(profile.get(), nullptr, &size)) {
        throw std::runtime_error("ICC profile writer: cannot measure the profile");
    }
    std::vector<std::uint8_t> bytes(size);
    if (!cmsSaveProfileToMem(profile.get(), bytes.data(), &size)) {
        throw std::runtime_error("ICC profile writer: cannot save the profile");
    }
    bytes.resize(size);
    std::copy(kCreationDate.begin(), kCreationDate.end(), bytes.begin() + kCreationDateOffset);
    return bytes;
}

}  // namespace sim
