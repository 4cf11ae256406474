// The factory white point calibration on Intel graphics: gains that move the
// panel's measured white to D65, stored as settings and applied merged with
// the colour temperature; and the override through which these merges tell
// the nature-colour merge whether to apply the white point gains, whatever
// the stored setting says.
#pragma once

#include <atomic>
#include <mutex>

class WhitePointCalibration {
  public:
    static WhitePointCalibration& Instance();

    WhitePointCalibration() = default;
    virtual ~WhitePointCalibration() = default;
    WhitePointCalibration(const WhitePointCalibration&) = delete;
    WhitePointCalibration& operator=(const WhitePointCalibration&) = delete;

    // 0 applied, -1 refused (no validated record, a record that gives no
    // sound gains, or no colour settings to merge with).
    int SetWhitePointForIntel();
    // Applies the colour temperature without the white point; the stored
    // gains stay. 0, or -1.
    int ResetWhitePointForIntel();
    // The circle gains merged by the nature-colour merge into r, g and b;
    // left as they are when the colour settings cannot be read.
    void GetMergeInfo(double& r, double& g, double& b);

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
    int ApplyMerged(double start, const char* source, const wchar_t* configFailure);

    // Held by each application and reset for its whole length, so that the
    // override of one is not ended or turned round by another's.
    std::mutex mutex_;
    std::atomic<bool> inProgress_{false};
    std::atomic<bool> applyWhitePoint_{false};
};
