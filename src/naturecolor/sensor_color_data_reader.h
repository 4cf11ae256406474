// The ambient colour temperature the platform firmware measured.
#pragma once

#include <cstdint>

class SensorColorDataReader {
  public:
    static SensorColorDataReader& Instance();

    // 0 with *cct written; -1 refused by the firmware; otherwise the firmware
    // interface's own non-zero result.
    int ReadSensorColorData(std::uint32_t* cct);

  private:
    SensorColorDataReader() = default;
};
