// The dimming half of NaturalTone: accepting a sensor reading, the worker
// that moves the screen to it frame by frame, and the roads one frame takes.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <memory>
#include <new>
#include <optional>

#include "colorstate/color_state_record.h"
#include "log/log_line.h"
#include "naturecolor/frame_pause.h"
#include "naturecolor/natural_tone.h"
#include "naturecolor/printer_reg.h"
#include "platform/com_apartment.h"
#include "platform/com_error.h"
#include "platform/library_thread.h"
#include "platform/process_end.h"
#include "settings/settings_accessors.h"
#include "temperature/operate_color.h"
#include "temperature/rgb_to_xy_for_amd.h"
#include "util/text_conversion.h"
#include "whitepoint/white_point_calibration.h"

namespace {

constexpr std::uint32_t kIntelCard = 0;
constexpr std::uint32_t kAmdCard = 3;

constexpr float kDefaultCct = 5000.0f;
constexpr float kDefaultLight = 300.0f;
constexpr long kNoMonitorId = -1;
constexpr double kBlueProtectScale = 1000.0;
constexpr float kBlueProtectLevelFull = 255.0f;
constexpr double kRampTop = 65535.0;
constexpr std::uint32_t kRampEntries = 256;

constexpr int kRampNoMemory = -1;
constexpr int kRampNoDriver = -2;
constexpr int kRampNoMonitorId = -7;
constexpr int kRampRefused = -101;

// The CCT change per frame, truncated toward zero. A transition without
// frames sets its target in one frame, so it has no step; a step beyond the
// integer range cannot come from a real reading and is held at its edge.
std::int32_t StepPerFrame(float distance, std::int32_t frameCount) {
    if (frameCount <= 0) {
        return 0;
    }
    const float step = std::trunc(distance / static_cast<float>(frameCount));
    if (std::isnan(step)) {
        return 0;
    }
    constexpr float kLowest = static_cast<float>(std::numeric_limits<std::int32_t>::min());
    constexpr float kBeyondHighest = -kLowest;
    if (step <= kLowest) {
        return std::numeric_limits<std::int32_t>::min();
    }
    if (step >= kBeyondHighest) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(step);
}

// A negative gain would wrap around to a bright entry; it is black instead.
std::uint16_t RampEntry(double value) {
    const double rounded = std::round(value);
    if (!(rounded > 0.0)) {
        return 0;
    }
    return rounded < kRampTop ? static_cast<std::uint16_t>(rounded)
                              : static_cast<std::uint16_t>(kRampTop);
}

// Between the transition's start and its target, whichever way it runs: the
// CCT a frame reads back is the settings' and may have been changed by
// another writer since the frame before.
float WithinTransition(float cct, float start, float target) {
    return std::clamp(cct, std::min(start, target), std::max(start, target));
}

ColorRequest RequestOf(const double (&gains)[3], const ColorConfigInfo& info, double ratio) {
    return ColorRequest{static_cast<float>(gains[0]), static_cast<float>(gains[1]),
                        static_cast<float>(gains[2]),
                        static_cast<std::uint32_t>(info.blueProtectLevel), ratio};
}

}  // namespace

NaturalTone::NaturalTone() {
    // Everything a frame reaches, and this engine waits for the worker when
    // it is destroyed: made first, they are destroyed after it.
    OperateColor::Instance();
    PrinterReg::Instance();
    CctMappingTable::Instance();
    WhitePointCalibration::Instance();
    RGBToxyForAMD::Instance();
    FramePause::Instance();
    NatureColorSettings();
    EyeProtectSettings();
    TemperatureSettings();
    WhitePointSettings();
}

NaturalTone::~NaturalTone() {
    if (platform::ProcessIsEnding()) {
        // The system has ended the worker, perhaps while it held the mutex.
        return;
    }
    std::unique_lock lock(mMutex);
    mIsRunning = false;
    FramePause::Instance().EndNow();
    mWorkerEnded.wait(lock, [this] { return !mWorkerRunning; });
}

bool NaturalTone::CheckData(std::size_t* rows) {
    const std::uint32_t type = NatureColorAll().mDisplayCardType;
    if (type != kIntelCard && type != kAmdCard) {
        Log(log_level::kError, "NaturalTone::CheckData")
            << L"StartCctDimming: CctDimming not support displayCardType#" << type;
        return false;
    }
    const std::size_t count = CctMappingTable::Instance().Rows().size();
    if (rows != nullptr) {
        *rows = count;
    }
    return count != 0;
}

int NaturalTone::StartCctDimming(float targetCct, float sensorLight) {
    constexpr const char* kSource = "NaturalTone::StartCctDimming";
    if (!std::isfinite(targetCct) || !std::isfinite(sensorLight)) {
        Log(log_level::kError, kSource) << L"reading refused, not a number: targetCct = "
                                        << targetCct << L", sensorLight = " << sensorLight;
        return -1;
    }
    std::size_t rows = 0;
    if (!CheckData(&rows)) {
        return -1;
    }
    Log(log_level::kTrace, kSource)
        << L"targetCct = " << targetCct << L", sensorLight = " << sensorLight;
    auto& settings = NatureColorSettings();
    const bool isNature = settings.GetIsNatureColor(-1) != 0;
    const NatureColorAllInfo config = NatureColorAll();
    bool transitionBegun = false;
    {
        std::lock_guard lock(mMutex);
        Log(log_level::kTrace, kSource) << L"mLuminanceThresh = " << config.mLuminanceThresh
                                        << L", mCtLowLuma = " << config.mCtLowLuma;
        if (config.mLuminanceThresh > sensorLight) {
            targetCct = config.mCtLowLuma;
        }
        if (!std::isfinite(targetCct)) {
            Log(log_level::kError, kSource)
                << L"reading refused, the low-light CCT is not a number: mCtLowLuma = "
                << config.mCtLowLuma << L", sensorLight = " << sensorLight;
            return -1;
        }
        const int initialising = settings.GetIsInitAmbientCct(0);
        Log(log_level::kTrace, kSource)
            << L"targetCct = " << targetCct << L", GetIsInitAmbientCct = " << initialising;
        if (initialising == 1) {
            mLastTargetCct = targetCct;
            settings.SetIsInitAmbientCct(0);
            return 0;
        }
        mIsEnableCctDimming = std::fabs(targetCct - mLastTargetCct) > config.mCctDiffThresh;
        Log(log_level::kTrace, kSource) << L"mIsEnableCctDimming = " << mIsEnableCctDimming;
        if (isNature && mIsFirstStart) {
            // Published before the target below, which must be what stays.
            PrinterReg::Instance().SetPrinterCcts(kDefaultCct);
        }
        if (mIsEnableCctDimming) {
            BeginTransition(targetCct, sensorLight, isNature);
            transitionBegun = true;
        }
    }
    if (isNature) {
        WakeWorker(transitionBegun);
    }
    return 0;
}

void NaturalTone::BeginTransition(float targetCct, float sensorLight, bool isNature) {
    mLastTargetCct = targetCct;
    mFrameIndex = 0;
    mIsStartCctDimming = true;
    const std::vector<CctMappingInfo> rows = CctMappingTable::Instance().Rows();
    mTargetCct = rows.empty() ? targetCct : ClampCct(rows.front().cct, targetCct, rows.back().cct);
    if (isNature) {
        PrinterReg::Instance().SetPrinterCcts(mTargetCct);
    }
    mSensorLight = sensorLight;
}

void NaturalTone::WakeWorker(bool transitionBegun) {
    {
        std::lock_guard lock(mMutex);
        mIsNaturalColor = true;
        mIsFirstStart = false;
        if (mWorkerRunning) {
            if (transitionBegun) {
                FramePause::Instance().EndNow();
            }
            return;
        }
        if (!mIsStartCctDimming || !mIsRunning) {
            return;
        }
        mWorkerRunning = true;
        FramePause::Instance().Forget();
    }
    if (platform::StartLibraryThread([this] { CctDimming(); })) {
        return;
    }
    EndWorker();
    Log(log_level::kError, "NaturalTone::StartCctDimming")
        << L"dimming worker not started; the transition waits for the next reading.";
}

void NaturalTone::EndWorker() {
    std::lock_guard lock(mMutex);
    EndWorkerLocked();
}

bool NaturalTone::DimmingWorkerRunning() const {
    std::lock_guard lock(mMutex);
    return mWorkerRunning;
}

void NaturalTone::StopTransition() {
    std::lock_guard lock(mMutex);
    mIsStartCctDimming = false;
    FramePause::Instance().EndNow();
}

// The worker joins the multithreaded apartment for the Intel driver's calls
// and leaves it when the transition is done.
int NaturalTone::CctDimming() {
    const ComApartment apartment;
    while (const std::optional<std::uint32_t> interval = ApplyNextFrame()) {
        FramePause::Instance().Wait(*interval, [this] { return NatureColorAll().mFrameInterval; });
    }
    return 0;
}

// The worker's turn ends under the lock, where the owner is told too: an
// owner waiting to be destroyed may go as soon as the lock is released. It
// ends as soon as no frame is left, without pausing after the last one.
std::optional<std::uint32_t> NaturalTone::ApplyNextFrame() {
    std::lock_guard lock(mMutex);
    constexpr const char* kSource = "NaturalTone::CctDimming";
    Log(log_level::kTrace, kSource) << L"mIsNaturalColor = " << mIsNaturalColor
                                    << L", mIsStartCctDimming = " << mIsStartCctDimming;
    if (!FrameDueLocked()) {
        EndWorkerLocked();
        return std::nullopt;
    }
    const NatureColorAllInfo config = NatureColorAll();
    try {
        ApplyFrame(config.mFrameCount);
    } catch (const std::exception& error) {
        // The frame is given up; the worker must not end the process.
        Log(log_level::kError, kSource) << L"frame not applied: " << AnsiToWide(error.what());
    }
    if (!FrameDueLocked()) {
        EndWorkerLocked();
        return std::nullopt;
    }
    return config.mFrameInterval;
}

bool NaturalTone::FrameDueLocked() const {
    return mIsRunning && mIsNaturalColor && mIsStartCctDimming;
}

void NaturalTone::EndWorkerLocked() {
    mFrameIndex = 0;
    mWorkerRunning = false;
    mWorkerEnded.notify_all();
}

void NaturalTone::ApplyFrame(std::int32_t frameCount) {
    constexpr const char* kSource = "NaturalTone::CctDimming";
    mPreviousCct = ReadSensorCct().cct;
    Log(log_level::kTrace, kSource) << L"mPreviousCct = " << mPreviousCct;
    const bool isNature = NatureColorSettings().GetIsNatureColor(-1) != 0;
    const float tempTargetCct = mTargetCct;
    const float frameLight = mSensorLight;
    // The count and the step are the transition's own, taken at its first
    // frame: a count changed meanwhile applies to the next transition.
    if (mFrameIndex == 0) {
        mTransitionFrames = frameCount;
        mTransitionStartCct = mPreviousCct;
        mStep = StepPerFrame(tempTargetCct - mPreviousCct, frameCount);
    }
    mCctVal = mTransitionFrames - mFrameIndex >= 1
                  ? WithinTransition(static_cast<float>(mStep) + mPreviousCct, mTransitionStartCct,
                                     tempTargetCct)
                  : tempTargetCct;
    Log(log_level::kTrace, kSource)
        << L"mFrameIndex = " << mFrameIndex << L", tempTargetCct = " << tempTargetCct
        << L", mPreviousCct = " << mPreviousCct << L", mFrameCount = " << mTransitionFrames
        << L", mCctVal = " << mCctVal << L", mStep = " << mStep;
    mFrameIndex += 1;
    SetTemperForEachDisplayCard(mCctVal, frameLight, isNature);
    if (!isNature) {
        mIsNaturalColor = false;
    }
    if (mFrameIndex > mTransitionFrames) {
        mIsStartCctDimming = false;
        mFrameIndex = 0;
        Log(log_level::kTrace, kSource)
            << L"mFrameIndex = " << 0 << L", mFrameCount = " << mTransitionFrames
            << L", mIsStartCctDimming = " << false << L", mFrameIndex = " << 0;
    }
}

bool NaturalTone::SetTemperForEachDisplayCard(float cct, float light, bool isNature) {
    SaveSensorCct(cct, light);
    ColorConfigInfo info;
    auto& color = OperateColor::Instance();
    if (color.GetCurrentColorConfigInfo(info) != 0) {
        Log(log_level::kError, "NaturalTone::SetTemperForEachDisplayCard")
            << L"Call GetCurrentColorConfigInfo Fail!";
        return false;
    }
    const double ratio = info.blueProtectValue / kBlueProtectScale;
    double out[3] = {1.0, 1.0, 1.0};
    if (isNature) {
        MergeCircleCtAndSensorCt(info.r, info.g, info.b, &out[0], &out[1], &out[2]);
    } else {
        out[0] = info.r;
        out[1] = info.g;
        out[2] = info.b;
        SaveSensorCct(kDefaultCct, kDefaultLight);
    }
    if (PrinterReg::Instance().SetRGB(out[0], out[1], out[2]) != 0) {
        Log(log_level::kError, "NaturalTone::SetTemperForEachDisplayCard") << L"SetRGB Fail!";
    }
    const ColorRequest request = RequestOf(out, info, ratio);
    switch (NatureColorAll().mDisplayCardType) {
        case kIntelCard:
            ColorStateRecord::Instance().Applied(ChangeKind::NatureFrame, [request, ratio] {
                return Instance().ProgramGammaRamp(request.r, request.g, request.b,
                                                   request.blueProtectLevel, ratio);
            });
            break;
        case kAmdCard:
            ColorStateRecord::Instance().Applied(ChangeKind::NatureFrame, [request] {
                return OperateColor::Instance().SetTemperatureForAMD(request);
            });
            break;
        default:
            break;
    }
    return true;
}

int NaturalTone::ProgramGammaRamp(float r, float g, float b, std::uint32_t blueProtectLevel,
                                  double blueProtectRatio) {
    ColorMatrix3 matrix{};
    matrix[0][0] = r;
    matrix[1][1] = g;
    matrix[2][2] = b;
    const float level = static_cast<float>(blueProtectLevel) * 1.0f / kBlueProtectLevelFull;
    matrix[2][2] *= 1.0 - level * (1.0 - blueProtectRatio);
    const std::unique_ptr<IntelRamp> ramp(new (std::nothrow) IntelRamp{});
    if (!ramp) {
        return kRampNoMemory;
    }
    BuildGammaRamp(matrix, *ramp, kRampEntries);
    const long deviceId = NatureColorSettings().GetMonitorId(kNoMonitorId);
    if (deviceId == kNoMonitorId) {
        return kRampNoMonitorId;
    }
    return HandleGammaRamp(static_cast<std::uint32_t>(deviceId), *ramp) != 0 ? kRampRefused : 0;
}

// Linear in the entry's index: the driver applies no curve of its own to
// this ramp, and the panel's gamma stays as it is.
void NaturalTone::BuildGammaRamp(const ColorMatrix3& matrix, IntelRamp& ramp,
                                 std::uint32_t entries) {
    const std::uint32_t count = entries < kRampEntries ? entries : kRampEntries;
    for (std::size_t channel = 0; channel < matrix.size(); ++channel) {
        const double factor = matrix[channel][0] + matrix[channel][1] + matrix[channel][2];
        for (std::uint32_t i = 0; i < count; ++i) {
            const double t = count > 1 ? static_cast<double>(i) / (count - 1) : 0.0;
            ramp[channel * kRampEntries + i] = RampEntry(kRampTop * factor * t);
        }
    }
}

int NaturalTone::HandleGammaRamp(std::uint32_t deviceId, const IntelRamp& ramp) {
    constexpr const char* kSource = "NaturalTone::HandleGammaRamp";
    auto& color = OperateColor::Instance();
    if (!color.EnsureDriverInterface()) {
        Log(log_level::kError, kSource) << L"CreateInstanceCUIExternal fail";
        return kRampNoDriver;
    }
    std::optional<std::int32_t> status;
    try {
        status = color.SetIntelGammaRamp(static_cast<std::int32_t>(deviceId), ramp);
        if (!status) {
            Log(log_level::kError, kSource) << L"GetCUIExternal fail";
            return kRampNoDriver;
        }
    } catch (const ComError&) {
        Log(log_level::kError, kSource) << L"SetGammaRamp fail";
    }
    if (!status || *status != 0) {
        Log(log_level::kError, kSource) << L"SetGammaRamp fail!";
        return kRampRefused;
    }
    return 0;
}

void NaturalTone::SaveSensorCct(float cct, float light) {
    auto& settings = NatureColorSettings();
    settings.SetSensorColor(cct);
    settings.SetSensorLight(light);
}

int NaturalTone::SetInitTemper() {
    constexpr const char* kSource = "NaturalTone::SetInitTemper";
    SaveSensorCct(kDefaultCct, kDefaultLight);
    NatureColorSettings().SetIsInitAmbientCct(1);
    ColorConfigInfo info;
    if (OperateColor::Instance().GetCurrentColorConfigInfo(info) != 0) {
        Log(log_level::kError, kSource) << L"SetInitTemper: GetCurrentColorConfigInfo fail!";
        return -1;
    }
    double out[3] = {1.0, 1.0, 1.0};
    MergeCircleCtAndSensorCt(info.r, info.g, info.b, &out[0], &out[1], &out[2]);
    const ColorRequest request = RequestOf(out, info, info.blueProtectValue / kBlueProtectScale);
    const int code = ProgramGammaRamp(request.r, request.g, request.b, request.blueProtectLevel,
                                      request.blueProtectRatio);
    if (code < 0) {
        Log(log_level::kError, kSource)
            << L"SetInitTemper: ProgramGammaRamp fail, errorCode = " << code;
        return code;
    }
    return 0;
}
