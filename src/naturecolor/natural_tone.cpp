#include "naturecolor/natural_tone.h"

#include <string>

#include "log/finite_arguments.h"
#include "log/log_line.h"
#include "naturecolor/frame_pause.h"
#include "settings/settings_accessors.h"
#include "temperature/rgb_to_xy_for_amd.h"
#include "util/fixed_decimals.h"
#include "whitepoint/white_point_calibration.h"

namespace {

constexpr float kNoReading = -1.0f;
constexpr SensorReading kReadingBeforeAnySensor{5000.0f, 300.0f};
constexpr float kUnitGain = 1.0f;

bool WhitePointApplies() {
    const auto& calibration = WhitePointCalibration::Instance();
    if (calibration.InProgress()) {
        return calibration.ApplyWhitePoint();
    }
    return WhitePointSettings().GetIsEnableWhitePoint(0) == 1;
}

}  // namespace

NaturalTone& NaturalTone::Instance() {
    static NaturalTone instance;
    return instance;
}

void NaturalTone::AddCctMappingInfo(float cct, double r, double g, double b) {
    if (RefusedAsNotFinite("NaturalTone::AddCctMappingInfo",
                           {{L"cct", cct}, {L"r", r}, {L"g", g}, {L"b", b}})) {
        return;
    }
    CctMappingTable::Instance().Add({cct, r, g, b});
    PrintCctMappingTable();
}

void NaturalTone::ClearMappingInfo() {
    CctMappingTable::Instance().Clear();
}

bool NaturalTone::PrintCctMappingTable() {
    std::wstring text;
    for (const CctMappingInfo& row : CctMappingTable::Instance().Rows()) {
        text += L"cct, r, g, b = " + FixedDecimals(row.cct) + L", " + FixedDecimals(row.r) + L", " +
                FixedDecimals(row.g) + L", " + FixedDecimals(row.b) + L"\r\n";
    }
    Log(log_level::kTrace, "NaturalTone::PrintCctMappingTable") << OwnText{text};
    return true;
}

float NaturalTone::ClampCct(float first, float x, float last) {
    if (first > x) {
        return first;
    }
    return x > last ? last : x;
}

// Two rows of the same CCT never divide by zero: the upper row's gain serves.
float NaturalTone::InterpolateChannel(float x0, float y0, float x1, float y1, float x) {
    if (x0 >= x) {
        return y0;
    }
    if (x1 > x && x1 - x0 != 0.0f) {
        return (y1 - y0) * (x - x0) / (x1 - x0) + y0;
    }
    return y1;
}

bool NaturalTone::FetchRGBValue(float cct, float* r, float* g, float* b) {
    const std::vector<CctMappingInfo> rows = CctMappingTable::Instance().Rows();
    if (rows.empty()) {
        return false;
    }
    const float validCct = ClampCct(rows.front().cct, cct, rows.back().cct);
    std::size_t low = 0;
    for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
        if (rows[i].cct < validCct && validCct <= rows[i + 1].cct) {
            low = i;
            break;
        }
    }
    const CctMappingInfo& below = rows[low];
    const CctMappingInfo& above = rows.size() > 1 ? rows[low + 1] : below;
    const auto channel = [&](double CctMappingInfo::*gain) {
        return InterpolateChannel(below.cct, static_cast<float>(below.*gain), above.cct,
                                  static_cast<float>(above.*gain), validCct);
    };
    *r = channel(&CctMappingInfo::r);
    *g = channel(&CctMappingInfo::g);
    *b = channel(&CctMappingInfo::b);
    Log(log_level::kTrace, "NaturalTone::FetchRGBValue")
        << L"validCCT = " << validCct << L", r = " << *r << L", g = " << *g << L", b = " << *b;
    return true;
}

int NaturalTone::MergeCircleCtAndSensorCt(double r, double g, double b, double* outR, double* outG,
                                          double* outB) {
    if (outR == nullptr || outG == nullptr || outB == nullptr) {
        Log(log_level::kError, "NaturalTone::MergeCircleCtAndSensorCt")
            << L"no place for the gains";
        return -1;
    }
    if (RefusedAsNotFinite("NaturalTone::MergeCircleCtAndSensorCt",
                           {{L"r", r}, {L"g", g}, {L"b", b}})) {
        return -1;
    }
    try {
        RgbGains gains{static_cast<float>(r), static_cast<float>(g), static_cast<float>(b)};
        const bool nature = NatureColorSettings().GetIsNatureColor(0) == 1;
        if (WhitePointApplies()) {
            auto& whitePoint = WhitePointSettings();
            gains[0] *= whitePoint.GetWhitePointR(kUnitGain);
            gains[1] *= whitePoint.GetWhitePointG(kUnitGain);
            gains[2] *= whitePoint.GetWhitePointB(kUnitGain);
        }
        if (nature) {
            RgbGains fetched{kUnitGain, kUnitGain, kUnitGain};
            FetchRGBValue(ReadSensorCct().cct, &fetched[0], &fetched[1], &fetched[2]);
            for (std::size_t i = 0; i < gains.size(); ++i) {
                gains[i] *= fetched[i];
            }
        }
        RgbGains normalised{};
        RGBToxyForAMD::Instance().RgbNormalize(gains, normalised);
        *outR = normalised[0];
        *outG = normalised[1];
        *outB = normalised[2];
        return 0;
    } catch (...) {
        Log(log_level::kError, "NaturalTone::MergeCircleCtAndSensorCt")
            << L"Call MergeCircleCtAndSensorCt fail!";
        return -1;
    }
}

// The worker's pause in progress starts again with the new interval.
void NaturalTone::SetNatureColorAll(const NatureColorAllInfo& info) {
    {
        std::lock_guard lock(configMutex_);
        config_ = info;
    }
    FramePause::Instance().Restart();
}

NatureColorAllInfo NaturalTone::NatureColorAll() const {
    std::lock_guard lock(configMutex_);
    return config_;
}

SensorReading NaturalTone::ReadSensorCct() {
    auto& settings = NatureColorSettings();
    const SensorReading stored{settings.GetSensorColor(kNoReading),
                               settings.GetSensorLight(kNoReading)};
    if (stored.cct < 0.0f || stored.light < 0.0f) {
        return kReadingBeforeAnySensor;
    }
    return stored;
}
