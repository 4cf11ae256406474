#include "naturecolor/printer_reg.h"

#include <windows.h>

#include <cmath>
#include <utility>

#include "log/log_line.h"
#include "naturecolor/register_helper.h"

namespace {

// The CCT truncated toward zero; outside what a REG_DWORD holds (negative, too
// large, not a number) it is brought to the nearest end, 0 for not a number.
DWORD Kelvin(float cct) {
    if (!(cct > 0.0f)) {
        return 0;
    }
    const double whole = std::trunc(static_cast<double>(cct));
    return whole >= 4294967295.0 ? DWORD{0xFFFFFFFF} : static_cast<DWORD>(whole);
}

}  // namespace

PrinterReg& PrinterReg::Instance() {
    static PrinterReg instance;
    return instance;
}

int PrinterReg::SetPrinterCcts(float cct) {
    if (RegisterHelper::RegWriteValue(HKEY_LOCAL_MACHINE, keyPath_, L"SensorCCT", Kelvin(cct)) !=
        0) {
        Log(log_level::kError, "PrinterReg::SetPrinterCcts") << L"Save Printer SensorCCT fail";
        return 1;
    }
    Log(log_level::kInfo, "PrinterReg::SetPrinterCcts")
        << L"Save SetPrinterCcts = " << cct << L" OK";
    return 0;
}

int PrinterReg::SetRGB(double r, double g, double b) {
    const std::pair<const wchar_t*, double> channels[] = {{L"r", r}, {L"g", g}, {L"b", b}};
    for (const auto& [name, gain] : channels) {
        if (const int result =
                RegisterHelper::RegWriteValue(HKEY_LOCAL_MACHINE, keyPath_, name, gain);
            result != 0) {
            return result;
        }
    }
    return 0;
}
