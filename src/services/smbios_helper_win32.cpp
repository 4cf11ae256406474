// SMBIOS values from the firmware table. The maker's white point record lives
// in its own firmware, which a generic machine does not have.
#include "services/hardware_hal.h"
#include "services/log_helper.h"
#include "services/smbios_table.h"

namespace {

// SMBIOS chassis type 2: "Unknown", when the table cannot tell.
constexpr BYTE kUnknownChassis = 2;

}  // namespace

SmBiosHelper& SmBiosHelper::GetInstance() {
    static SmBiosHelper helper;
    return helper;
}

std::string SmBiosHelper::GetOemBiosWhitePointInfo() {
    LogMessage(LOG_LEVEL_WARNING,
               L"OEM white point record is not available on this machine"
               L"(SmBiosHelper::GetOemBiosWhitePointInfo)");
    return std::string();
}

BYTE SmBiosHelper::GetSecType() {
    return services::SmbiosTable::FromFirmware().ChassisType().value_or(kUnknownChassis);
}
