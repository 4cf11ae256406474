// The firmware WMI interface of the maker's WMI component on Windows. The
// maker's firmware exposes its WMI blocks only on its own machines; on any
// other machine (and under Wine) they do not exist, so every call refuses the
// way the library expects a failing component to: a non-zero result and
// nothing written, with a warning saying why.
#include "log/log_line.h"
#include "services/wmi_util.h"

#include "services/log_helper.h"

namespace OrvSDK {

namespace {

// WBEM_E_INVALID_CLASS: the WMI class that carries the firmware methods is
// not there.
constexpr int kFirmwareInterfaceMissing = static_cast<int>(0x80041010u);

int Refuse(const wchar_t* line) {
    LogMessage(log_level::kWarning, line);
    return kFirmwareInterfaceMissing;
}

}  // namespace

int BiosWmi::GetBiosInfo(const BYTE*, BYTE*) {
    return Refuse(
        L"The maker's firmware WMI interface is not present on this machine: no firmware "
        L"data(OrvSDK::BiosWmi::GetBiosInfo)");
}

int BiosWmi::GetDpStatus(int&) {
    return Refuse(
        L"The maker's firmware WMI interface is not present on this machine: no display-port "
        L"status(OrvSDK::BiosWmi::GetDpStatus)");
}

int BiosWmi::SetDpStatus(int) {
    return Refuse(
        L"The maker's firmware WMI interface is not present on this machine: the display-port "
        L"status cannot be set(OrvSDK::BiosWmi::SetDpStatus)");
}

}  // namespace OrvSDK
