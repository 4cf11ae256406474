#include "temperature/amd_temperature.h"

#include <cmath>
#include <limits>
#include <optional>

#include "colorstate/color_state_record.h"
#include "log/debug_line.h"
#include "log/log_line.h"
#include "temperature/adl_display_walk.h"
#include "temperature/current_blue_protect.h"

namespace {

constexpr const char* kWalkSource = "OperateColor::SetTemperatureForAMD";
constexpr const char* kDisplaySource = "OperateColor::SetForAMD";
constexpr int kNotApplied = -1;

// The D65 white as tristimulus values.
constexpr float kWhiteX = 0.95047f;
constexpr float kWhiteY = 1.0f;
constexpr double kWhiteZ = 1.08883;
// ADL holds chromaticity coordinates times 10000.
constexpr float kCoordinateScale = 10000.0f;

constexpr adl::GamutReference kDestinationGamut{0};
constexpr adl::GamutReference kSourceGamut{adl::kGamutReferenceSource};

// Truncated toward zero; nothing when the value is no 32-bit integer.
std::optional<int> Coordinate(double value) {
    constexpr double kLimit = static_cast<double>(std::numeric_limits<int>::max()) + 1.0;
    if (!(std::abs(value) < kLimit)) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

std::optional<adl::Point> ToPoint(double x, double y) {
    const auto ix = Coordinate(x);
    const auto iy = Coordinate(y);
    if (!ix || !iy) {
        return std::nullopt;
    }
    return adl::Point{*ix, *iy};
}

// The D65 white scaled by the gains, as chromaticity. Blue protection scales
// Z by the ratio; that case sums in double after X and X + Y in float, the
// plain case stays in float throughout.
std::optional<adl::Point> WhitePointFromGains(const ColorRequest& request) {
    const float x = request.r * kWhiteX;
    const float y = request.g * kWhiteY;
    if (request.blueProtectLevel != 0) {
        const float xy = x + y;
        const double z = request.b * kWhiteZ * request.blueProtectRatio;
        const double sum = xy + z;
        return ToPoint(x / sum * kCoordinateScale, y / sum * kCoordinateScale);
    }
    const float z = request.b * static_cast<float>(kWhiteZ);
    const float sum = x + y + z;
    return ToPoint(x / sum * kCoordinateScale, y / sum * kCoordinateScale);
}

bool SupportsCustomWhitePoint(const adl::GamutInfo& caps) {
    return (caps.supportedGamutSpace & adl::kGamutSpaceCieRgb) != 0 &&
           (caps.supportedWhitePoint & adl::kWhitePointCustom) != 0;
}

adl::GamutData CustomWhitePointGamut(const adl::Point& whitePoint) {
    adl::GamutData gamut{};
    gamut.feature = adl::kFeatureCustomWhitePoint;
    gamut.predefinedGamut = adl::kGamutSpaceCieRgb;
    gamut.customWhitePoint = whitePoint;
    return gamut;
}

void TraceGamut(const AdlEntryPoints& api, int adapter, int display,
                adl::GamutReference reference) {
    adl::GamutData gamut{};
    const int result = api.ADL_Display_Gamut_Get(adapter, display, reference, &gamut);
    DebugTrace(kDisplaySource) << L"ADL_Display_Gamut_Get err:" << result << L"  ref:"
                               << reference.gamutRef << L"  feature:" << gamut.feature << L"  ix:"
                               << gamut.customWhitePoint.x << L"  iy:" << gamut.customWhitePoint.y;
}

void SetWhitePoint(const AdlEntryPoints& api, int adapter, int display,
                   const adl::Point& whitePoint, double blueProtectRatio) {
    const adl::GamutData gamut = CustomWhitePointGamut(whitePoint);
    if (api.ADL_Display_Gamut_Set(adapter, display, kSourceGamut, &gamut) != adl::kOk) {
        DebugTrace(kDisplaySource)
            << L"ADL_Display_Gamut_Set failed Adapter:" << adapter << L"  Display:" << display;
        return;
    }
    ColorStateRecord::Instance().RecordAmdGamut({adapter, display, kSourceGamut.gamutRef}, gamut);
    WriteCurrentBlueProtect(blueProtectRatio);
    DebugTrace(kDisplaySource) << L"ADL_Display_Gamut_Set Adapter:" << adapter << L"  Display:"
                               << display;
}

void SetForAMD(const AdlEntryPoints& api, int adapter, int display, const adl::Point& whitePoint,
               double blueProtectRatio) {
    DebugTrace(kDisplaySource) << L"start to  ADL2_Display_Gamut_Get adapter:" << adapter
                               << L"  display:" << display;
    adl::GamutInfo caps{};
    const int capsResult = api.ADL_Display_Gamut_Caps(adapter, display, kDestinationGamut, &caps);
    DebugTrace(kDisplaySource) << L"ADL_Display_Gamut_Caps err:" << capsResult << L"  supported:"
                               << caps.supportedGamutSpace;
    TraceGamut(api, adapter, display, kDestinationGamut);
    if (!SupportsCustomWhitePoint(caps)) {
        DebugTrace(kDisplaySource) << L"***ADL_GAMUT_SPACE_CIE_RGB not supported!\n\n";
        TraceGamut(api, adapter, display, kDestinationGamut);
        return;
    }
    SetWhitePoint(api, adapter, display, whitePoint, blueProtectRatio);
    TraceGamut(api, adapter, display, kSourceGamut);
}

}  // namespace

int SetAmdTemperature(const AdlLibrary& library, const ColorRequest& request) {
    const AdlLibrary::Use adl = library.Acquire();
    if (!adl) {
        Log(3, kWalkSource) << L"ADL is not loaded";
        return kNotApplied;
    }
    const auto whitePoint = WhitePointFromGains(request);
    if (!whitePoint) {
        Log(3, kWalkSource) << L"gains give no white point, r:" << request.r << L" g:" << request.g
                            << L" b:" << request.b;
        return kNotApplied;
    }
    const bool walked = ForEachAmdDisplay(adl, kWalkSource, [&](int adapter, int display) {
        SetForAMD(adl.EntryPoints(), adapter, display, *whitePoint, request.blueProtectRatio);
    });
    if (!walked) {
        Log(3, kWalkSource) << L"ADL's adapters could not be walked";
        return kNotApplied;
    }
    return 0;
}
