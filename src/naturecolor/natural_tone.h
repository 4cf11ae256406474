// The nature-colour engine: its configuration; the merge of the user's
// circle gains, the factory white point gains and the CCT mapping table's
// gains for the current sensor reading; and the dimming worker, which moves
// the screen from the current CCT to a new reading's in equal frames.
#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>

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
    // The Intel driver's ramp: 256 red entries, then 256 green, then 256 blue.
    using IntelRamp = std::array<std::uint16_t, 3 * 256>;
    using ColorMatrix3 = std::array<std::array<double, 3>, 3>;

    static NaturalTone& Instance();

    NaturalTone();
    // Stops the dimming worker after its frame in hand; waits for nothing
    // when the process is ending (see platform/library_thread.h).
    virtual ~NaturalTone();
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

    // A new sensor reading: starts a transition to its CCT when it differs
    // enough from the last one, on a worker of its own. 0 accepted or
    // ignored, -1 refused (a value that is not a finite number, an
    // unsupported display type or an empty table).
    int StartCctDimming(float targetCct, float sensorLight);
    // The end of the last subscription: the transition in hand is dropped
    // and the worker ends, once the frame it may be applying is done.
    void StopTransition();
    // Whether the engine can dim on this machine; `rows` gets the table's size.
    bool CheckData(std::size_t* rows);
    // Stores the frame's CCT and applies the merged gains on the road of the
    // graphics vendor; false when the colour configuration cannot be read.
    bool SetTemperForEachDisplayCard(float cct, float light, bool isNature);
    // The Intel driver road: 0, -1 (no memory), -7 (no device id) or -101
    // (driver refusal).
    int ProgramGammaRamp(float r, float g, float b, std::uint32_t blueProtectLevel,
                         double blueProtectRatio);
    static void BuildGammaRamp(const ColorMatrix3& matrix, IntelRamp& ramp, std::uint32_t entries);
    // 0, -2 (no driver) or -101 (refused).
    int HandleGammaRamp(std::uint32_t deviceId, const IntelRamp& ramp);
    void SaveSensorCct(float cct, float light);
    // The state before the first reading: 5000 K applied through the Intel
    // driver, and the next reading only initialises.
    int SetInitTemper();
    bool DimmingWorkerRunning() const;

  private:
    // Under mMutex: the accepted reading becomes the running transition.
    void BeginTransition(float targetCct, float sensorLight, bool isNature);
    // Starts a worker for the pending transition unless one is running.
    // `transitionBegun`: a running worker's pause ends for it.
    void WakeWorker(bool transitionBegun);
    void EndWorker();
    // Under mMutex: whether a frame is due, and the end of the worker's turn.
    bool FrameDueLocked() const;
    void EndWorkerLocked();
    // The worker's procedure: frames until the transition is done.
    int CctDimming();
    // One frame under mMutex, and the interval to wait after it; nothing
    // when no transition is left, and the worker's turn is over.
    std::optional<std::uint32_t> ApplyNextFrame();
    void ApplyFrame(std::int32_t frameCount);

    // Written by callers while the dimming worker reads it.
    mutable std::mutex configMutex_;
    NatureColorAllInfo config_;

    // The dimming state; everything below is guarded by mMutex.
    mutable std::mutex mMutex;
    std::condition_variable mWorkerEnded;
    float mSensorLight = 300.0f;
    float mPreviousCct = 5000.0f;
    float mTargetCct = 5000.0f;
    bool mIsRunning = true;
    bool mWorkerRunning = false;
    std::int32_t mFrameIndex = 0;
    bool mIsStartCctDimming = false;
    bool mIsFirstStart = true;
    bool mIsNaturalColor = false;
    std::int32_t mStep = 0;
    std::int32_t mTransitionFrames = 0;   // the frame count at the first frame
    float mTransitionStartCct = 5000.0f;  // the CCT the transition started from
    float mCctVal = 5000.0f;
    float mLastTargetCct = 5000.0f;
    bool mIsEnableCctDimming = true;
};
