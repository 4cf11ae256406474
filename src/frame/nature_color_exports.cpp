// Nature colour: the CCT mapping table, the gain merge, the engine's
// configuration and its state before the first reading.
#include "frame/guard.h"
#include "log/finite_arguments.h"
#include "log/log_line.h"
#include "naturecolor/natural_tone.h"
#include "tintwell/tintwell.h"

void AddCctMappingInfo(float cct, double r, double g, double b) {
    Guarded("AddCctMappingInfo", L"LoadCctMappingTable Exception.",
            [&] { NaturalTone::Instance().AddCctMappingInfo(cct, r, g, b); });
}

void ClearMappingInfo() {
    Guarded("ClearMappingInfo", L"ClearMappingInfo Exception.",
            [] { NaturalTone::Instance().ClearMappingInfo(); });
}

int MergeCircleCtAndSensorCt(float r, float g, float b, double* outR, double* outG, double* outB) {
    return Guarded("MergeCircleCtAndSensorCt", L"MergeCircleCtAndSensorCt Exception.", -1, [&] {
        return NaturalTone::Instance().MergeCircleCtAndSensorCt(r, g, b, outR, outG, outB);
    });
}

void SetNatureColorAll(unsigned int frameCount, unsigned int frameIntervalMs, unsigned int flag,
                       float cctDiffThresh, float ctLowLuma, float luminanceThresh) {
    if (RefusedAsNotFinite("SetNatureColorAll", {{L"cctDiffThresh", cctDiffThresh},
                                                 {L"ctLowLuma", ctLowLuma},
                                                 {L"luminanceThresh", luminanceThresh}})) {
        return;
    }
    NatureColorAllInfo info;
    info.mDisplayCardType = static_cast<std::uint32_t>(GetDisplayType());
    info.mFrameCount = static_cast<std::int32_t>(frameCount);
    info.mFrameInterval = frameIntervalMs;
    info.mNatureFlag = flag != 0;
    info.mCtLowLuma = ctLowLuma;
    info.mLuminanceThresh = luminanceThresh;
    info.mCctDiffThresh = cctDiffThresh;
    NaturalTone::Instance().SetNatureColorAll(info);
    Log(1, "SetNatureColorAll") << L"SetNatureColorAll Success.";
}

int SetDefaultNatureColor() {
    return Guarded("SetDefaultNatureColor", L"SetDefaultNatureColor Exception.", -1,
                   [] { return NaturalTone::Instance().SetInitTemper(); });
}
