// The factory white point calibrator. For now, the override through which
// its own merges tell the nature-colour merge whether to apply the white
// point gains, whatever the stored setting says.
#pragma once

#include <atomic>

class WhitePointCalibration {
  public:
    static WhitePointCalibration& Instance();

    WhitePointCalibration() = default;
    virtual ~WhitePointCalibration() = default;
    WhitePointCalibration(const WhitePointCalibration&) = delete;
    WhitePointCalibration& operator=(const WhitePointCalibration&) = delete;

    // While in progress, merges apply the white point gains exactly when
    // `applyWhitePoint` says so. Read by the dimming worker while a caller
    // sets them, hence atomic.
    void SetOverride(bool inProgress, bool applyWhitePoint) {
        applyWhitePoint_ = applyWhitePoint;
        inProgress_ = inProgress;
    }
    bool InProgress() const { return inProgress_; }
    bool ApplyWhitePoint() const { return applyWhitePoint_; }

  private:
    std::atomic<bool> inProgress_{false};
    std::atomic<bool> applyWhitePoint_{false};
};
