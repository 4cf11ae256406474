#include "whitepoint/white_point_calibration.h"

#include <exception>
#include <mutex>
#include <optional>

#include "log/log_line.h"
#include "naturecolor/natural_tone.h"
#include "settings/settings_accessors.h"
#include "temperature/operate_color.h"
#include "whitepoint/white_point_results.h"
#include "whitepoint/white_point_gains.h"

namespace {

constexpr double kThousandths = 1000.0;
constexpr double kUnmerged = 1.0;
constexpr double kNoGain = 0.0;

// The record's gains stored as the WHITEPOINT settings; false, with the
// stored gains kept, for a record that gives none.
bool StoreGains(const WhitePointAdjustInfo& record) {
    const auto gains = WhitePointGains(record);
    if (!gains) {
        Log(log_level::kError, "WhitePointCalibration::SetWhitePointForIntel")
            << L"WhitePoint data gives no gains: degenerate primaries or a white outside them";
        return false;
    }
    auto& settings = WhitePointSettings();
    settings.SetWhitePointR((*gains)[0]);
    settings.SetWhitePointG((*gains)[1]);
    settings.SetWhitePointB((*gains)[2]);
    return true;
}

}  // namespace

WhitePointCalibration& WhitePointCalibration::Instance() {
    static WhitePointCalibration instance;
    return instance;
}

void WhitePointCalibration::GetMergeInfo(double& r, double& g, double& b) {
    ColorConfigInfo info;
    if (OperateColor::Instance().GetCurrentColorConfigInfo(info) != 0) {
        Log(log_level::kError, "WhitePointCalibration::GetMergeInfo")
            << L"GetMergeInfo: GetCurrentColorConfigInfo fail!";
        return;
    }
    NaturalTone::Instance().MergeCircleCtAndSensorCt(info.r, info.g, info.b, &r, &g, &b);
}

// A record that gives no sound gains (degenerate primaries, or D65 outside
// them) is refused before anything is stored or applied, so the gains stored
// earlier stay.
int WhitePointCalibration::SetWhitePointForIntel() {
    const std::lock_guard lock(mutex_);
    const char* source = "WhitePointCalibration::SetWhitePointForIntel";
    try {
        const OperateColor& operate = OperateColor::Instance();
        if (!operate.IsWhitePointReady()) {
            Log(log_level::kError, source) << L"WhitePoint Data Not Inited!";
            return white_point::kRefused;
        }
        const std::optional<WhitePointAdjustInfo> record = operate.WhitePointRecord();
        if (!record) {
            Log(log_level::kError, source) << L"pWhitePointAdjustInfo == nullptr";
            return white_point::kRefused;
        }
        if (!StoreGains(*record)) {
            return white_point::kRefused;
        }
        SetOverride(true, true);
        return ApplyMerged(kUnmerged, source,
                           L"SetWhitePointForIntel: GetCurrentColorConfigInfo fail!");
    } catch (const std::exception&) {
        inProgress_ = false;
        Log(log_level::kError, source) << L"SetWhitePointForIntel exception!";
        return white_point::kRefused;
    }
}

int WhitePointCalibration::ResetWhitePointForIntel() {
    const std::lock_guard lock(mutex_);
    const char* source = "WhitePointCalibration::ResetWhitePointForIntel";
    try {
        ColorConfigInfo info;
        if (OperateColor::Instance().GetCurrentColorConfigInfo(info) != 0) {
            Log(log_level::kError, source)
                << L"ResetWhitePointForIntel: GetCurrentColorConfigInfo fail!";
            return white_point::kRefused;
        }
        SetOverride(true, false);
        return ApplyMerged(kNoGain, source,
                           L"ResetWhitePointForIntel: GetCurrentColorConfigInfo fail!");
    } catch (const std::exception&) {
        inProgress_ = false;
        Log(log_level::kError, source) << L"ResetWhitePointForIntel exception!";
        return white_point::kRefused;
    }
}

// The merge runs with the override in progress, from `start` in each channel
// (what stays when the merge cannot run); the merged gains reach the Intel
// road with the blue protection of the settings.
int WhitePointCalibration::ApplyMerged(double start, const char* source,
                                       const wchar_t* configFailure) {
    double r = start;
    double g = start;
    double b = start;
    GetMergeInfo(r, g, b);
    inProgress_ = false;
    ColorConfigInfo info;
    if (OperateColor::Instance().GetCurrentColorConfigInfo(info) != 0) {
        Log(log_level::kError, source) << configFailure;
        applyWhitePoint_ = false;
        return white_point::kRefused;
    }
    OperateColor::Instance().SetTemperatureForIntel(
        {static_cast<float>(r), static_cast<float>(g), static_cast<float>(b),
         static_cast<std::uint32_t>(info.blueProtectLevel), info.blueProtectValue / kThousandths});
    return white_point::kApplied;
}
