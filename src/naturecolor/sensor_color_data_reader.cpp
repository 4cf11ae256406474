#include "naturecolor/sensor_color_data_reader.h"

#include <array>
#include <cstring>

#include "log/log_line.h"
#include "services/wmi_util.h"

namespace {

constexpr const char* kReadSource = "SensorColorDataReader::ReadSensorColorData";
constexpr BYTE kRefused = 1;

// The firmware request block: command 6, sub-command 0x26, the rest zero.
struct WmiInputParams {
    std::array<BYTE, OrvSDK::BiosWmi::kInputSize> bytes{6, 0x26};
};

// The firmware answer block: byte 0 the status, bytes 1 to 4 the colour
// temperature (little-endian, not aligned).
struct WmiOutputParams {
    std::array<BYTE, OrvSDK::BiosWmi::kOutputSize> bytes{};

    BYTE Status() const { return bytes[0]; }
    std::uint32_t Value() const {
        return static_cast<std::uint32_t>(bytes[1]) | (static_cast<std::uint32_t>(bytes[2]) << 8) |
               (static_cast<std::uint32_t>(bytes[3]) << 16) |
               (static_cast<std::uint32_t>(bytes[4]) << 24);
    }
};

}  // namespace

SensorColorDataReader& SensorColorDataReader::Instance() {
    static SensorColorDataReader instance;
    return instance;
}

int SensorColorDataReader::ReadSensorColorData(std::uint32_t* cct) {
    const WmiInputParams request;
    WmiOutputParams answer;
    const int result = OrvSDK::BiosWmi::GetBiosInfo(request.bytes.data(), answer.bytes.data());
    if (result != 0) {
        Log(log_level::kError, kReadSource) << L"GetBiosInfo Failed! ret:" << result;
        return result;
    }
    if (answer.Status() == kRefused) {
        Log(log_level::kError, kReadSource) << L"OutPut Params status Error!";
        return -1;
    }
    *cct = answer.Value();
    return 0;
}
