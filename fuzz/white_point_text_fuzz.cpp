// Any text as the factory white point record, as the firmware holds it or as
// the front-end's golden text: cutting it into fields never reads outside
// it, and a record that passes its checksum gives gains that are finite and
// between 0 and 1, or none. The first byte picks the source.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <nlohmann/json.hpp>

#include "sim/machine.h"
#include "sim/system_model.h"
#include "temperature/operate_color.h"
#include "whitepoint/white_point_gains.h"

namespace {

constexpr std::uint8_t kGolden = 0x01;

void StoreFirmwareText(const std::string& text) {
    sim::Machine::Current().System().Load(nlohmann::json{{"whitePoint", text}});
}

}  // namespace

// Refusals log a line each; a fuzzer makes millions of them.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("TINTWELL_LOG_FILE", "/dev/null", 0);
    sim::Machine::Install(sim::Machine::BuiltInDefault());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const bool golden = (data[0] & kGolden) != 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    OperateColor& operate = OperateColor::Instance();
    if (golden) {
        operate.SetWhitePointGoldenData(text.c_str());
    } else {
        StoreFirmwareText(text);
    }
    if (!operate.InitializeWhitePointData(golden)) {
        return 0;
    }
    const auto record = operate.WhitePointRecord();
    if (!record) {
        std::abort();
    }
    if (const auto gains = WhitePointGains(*record)) {
        for (float gain : *gains) {
            if (!std::isfinite(gain) || gain < 0 || gain > 1) {
                std::abort();
            }
        }
    }
    return 0;
}
