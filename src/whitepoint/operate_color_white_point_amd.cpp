// OperateColor's white point on AMD graphics: the factory measurement set as
// a custom gamut through ADL on every mapped display, or the predefined gamut
// set back.
#include <functional>
#include <optional>

#include "colorstate/color_state_record.h"
#include "log/debug_line.h"
#include "log/log_line.h"
#include "temperature/adl_display_walk.h"
#include "temperature/operate_color.h"
#include "whitepoint/white_point_results.h"

namespace {

constexpr adl::GamutReference kDestinationGamut{0};
// The reference the white point records are set with.
constexpr adl::GamutReference kWhitePointGamut{2};
constexpr int kCustomGamutFeature = 1;
constexpr int kPredefinedGamutFeature = 4;
constexpr int kPredefinedGamut = 1;
constexpr int kPredefinedWhitePoint = 2;

bool SupportsCustomGamut(const adl::GamutInfo& caps) {
    return (caps.supportedGamutSpace & adl::kGamutSpaceCieRgb) != 0 &&
           (caps.supportedWhitePoint & adl::kWhitePointCustom) != 0;
}

adl::Point PointOf(std::uint32_t x, std::uint32_t y) {
    return {static_cast<int>(x), static_cast<int>(y)};
}

adl::GamutData MeasuredGamut(const WhitePointAdjustInfo& values) {
    adl::GamutData gamut{};
    gamut.feature = kCustomGamutFeature;
    gamut.predefinedGamut = kPredefinedGamut;
    gamut.predefinedWhitePoint = kPredefinedWhitePoint;
    gamut.customWhitePoint = PointOf(values.whiteX, values.whiteY);
    gamut.customGamut = {PointOf(values.redX, values.redY), PointOf(values.greenX, values.greenY),
                         PointOf(values.blueX, values.blueY)};
    return gamut;
}

adl::GamutData PredefinedGamut() {
    adl::GamutData gamut{};
    gamut.feature = kPredefinedGamutFeature;
    gamut.predefinedGamut = kPredefinedGamut;
    gamut.predefinedWhitePoint = kPredefinedWhitePoint;
    return gamut;
}

// Sets `gamut` on one display when it takes a custom CIE RGB gamut and white
// point; the refusals go to the debugger output under `source`.
bool SetDisplayGamut(const AdlEntryPoints& api, int adapter, int display,
                     const adl::GamutData& gamut, const char* source, const wchar_t* notSupported) {
    adl::GamutInfo caps{};
    api.ADL_Display_Gamut_Caps(adapter, display, kDestinationGamut, &caps);
    adl::GamutData current{};
    api.ADL_Display_Gamut_Get(adapter, display, kDestinationGamut, &current);
    if (!SupportsCustomGamut(caps)) {
        DebugTrace(source) << notSupported;
        return false;
    }
    if (api.ADL_Display_Gamut_Set(adapter, display, kWhitePointGamut, &gamut) != adl::kOk) {
        DebugTrace(source) << L"ADL_Display_Gamut_Set failed Adapter:" << adapter << L"  Display:"
                           << display;
        return false;
    }
    ColorStateRecord::Instance().RecordAmdGamut({adapter, display, kWhitePointGamut.gamutRef},
                                                gamut);
    return true;
}

// The result of the last display the walk reached; none reached is a failure.
int LastDisplayResult(const AdlLibrary::Use& adl, const char* caller,
                      const std::function<bool(const AdlEntryPoints&, int, int)>& action) {
    std::optional<int> result;
    ForEachAmdDisplay(adl, caller, [&](int adapter, int display) {
        result = action(adl.EntryPoints(), adapter, display) ? white_point::kApplied
                                                             : white_point::kRefused;
    });
    if (!result) {
        Log(log_level::kError, caller) << L"no AMD display was reached";
    }
    return result.value_or(white_point::kRefused);
}

}  // namespace

int OperateColor::SetWhitePointForAmd() {
    const std::optional<WhitePointAdjustInfo> values = ReadyWhitePointRecord();
    const AdlLibrary::Use adl = adl_.Acquire();
    if (!adl || !values) {
        Log(log_level::kError, "OperateColor::SetWhitePointForAmd")
            << (adl ? L"no white point record" : L"ADL is not loaded");
        return white_point::kRefused;
    }
    return LastDisplayResult(adl, "OperateColor::SetWhitePointForAmd",
                             [&](const AdlEntryPoints& api, int adapter, int display) {
                                 return WhitePointAdjust(api, adapter, display, *values);
                             });
}

int OperateColor::ResetWhitePointForAmd() {
    const AdlLibrary::Use adl = adl_.Acquire();
    if (!adl) {
        Log(log_level::kError, "OperateColor::ResetWhitePointForAmd") << L"ADL is not loaded";
        return white_point::kRefused;
    }
    return LastDisplayResult(adl, "OperateColor::ResetWhitePointForAmd",
                             [&](const AdlEntryPoints& api, int adapter, int display) {
                                 return ResetWhitePoint(api, adapter, display);
                             });
}

bool OperateColor::WhitePointAdjust(const AdlEntryPoints& api, int adapterIndex, int displayIndex,
                                    const WhitePointAdjustInfo& values) {
    return SetDisplayGamut(api, adapterIndex, displayIndex, MeasuredGamut(values),
                           "OperateColor::WhitePointAdjust",
                           L"ADL_GAMUT_SPACE_CIE_RGB not supported!");
}

bool OperateColor::ResetWhitePoint(const AdlEntryPoints& api, int adapterIndex, int displayIndex) {
    return SetDisplayGamut(api, adapterIndex, displayIndex, PredefinedGamut(),
                           "OperateColor::ResetWhitePoint",
                           L"ADL_GAMUT_SPACE_CIE_RGB not supported!\n\n");
}
