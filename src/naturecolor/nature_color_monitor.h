// The firmware's side of nature colour on the light sensor and firmware: the
// maker's firmware event monitor, with the colour temperature the firmware
// last reported and the front-end's status that lets its events through.
#pragma once

#include <atomic>
#include <cstdint>

#include "services/wmi_util.h"

class NatureColorMonitor : public OrvSDK::BiosEventMonitor {
  public:
    static NatureColorMonitor& Instance();

    // The status goes to 0 before the monitor is stopped.
    ~NatureColorMonitor() override;

    // Non-zero: firmware events become readings.
    void SetStatus(std::uint32_t status) { status_ = status; }
    std::uint32_t Status() const { return status_; }
    // In kelvin; 5000 until the firmware's first report.
    void SetSensorCct(std::uint32_t cct) { sensorCct_ = cct; }
    std::uint32_t SensorCct() const { return sensorCct_; }

  private:
    NatureColorMonitor() = default;

    // Set by the front-end and the monitor's thread while others read them.
    std::atomic<std::uint32_t> status_{0};
    std::atomic<std::uint32_t> sensorCct_{5000};
};
