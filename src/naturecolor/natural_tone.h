// The nature-colour engine: its configuration, and the merge of the user's
// circle gains, the factory white point gains and the CCT mapping table's
// gains for the current sensor reading.
#pragma once

#include <cstdint>
#include <mutex>

#include "naturecolor/cct_mapping_table.h"

struct NatureColorAllInfo {
    std::uint32_t mDisplayCardType = 0;
    std::int32_t mFrameCount = 50;
    std::uint32_t mFrameInterval = 100;  // milliseconds
    bool mNatureFlag = false;            // stored; no operation consults it
    float mCtLowLuma = 4000.0f;          // kelvin
    float mLuminanceThresh = 50.0f;      // lux
    float mCctDiffThresh = 100.0f;       // kelvin
};

struct SensorReading {
    float cct = 0.0f;
    float light = 0.0f;
};

class NaturalTone {
  public:
    static NaturalTone& Instance();

    NaturalTone() = default;
    virtual ~NaturalTone() = default;
    NaturalTone(const NaturalTone&) = delete;
    NaturalTone& operator=(const NaturalTone&) = delete;

    void AddCctMappingInfo(float cct, double r, double g, double b);
    void ClearMappingInfo();
    // Logs the whole table at trace level; always true.
    bool PrintCctMappingTable();
    // The table's gains at `cct`, interpolated between the rows around it;
    // false, with the outputs untouched, while the table is empty.
    bool FetchRGBValue(float cct, float* r, float* g, float* b);
    // Circle gains times white point gains (when enabled) times the table's
    // gains for the stored sensor CCT (with nature colour on), normalised so
    // that the largest is 1. 0, or -1 with the outputs untouched.
    int MergeCircleCtAndSensorCt(double r, double g, double b, double* outR, double* outG,
                                 double* outB);
    void SetNatureColorAll(const NatureColorAllInfo& info);
    NatureColorAllInfo NatureColorAll() const;
    // The stored reading; 5000 K and 300 lux while none has been stored.
    SensorReading ReadSensorCct();

    static float ClampCct(float first, float x, float last);
    static float InterpolateChannel(float x0, float y0, float x1, float y1, float x);

  private:
    // Written by callers while the dimming worker reads it.
    mutable std::mutex configMutex_;
    NatureColorAllInfo config_;
};
