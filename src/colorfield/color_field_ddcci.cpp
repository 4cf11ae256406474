// The DDC/CI road of the display side: the colour field as a VCP value
// written to the maker's monitors and saved in their settings.
#include <windows.h>

#include <memory>
#include <new>
#include <string_view>

#include "colorfield/color_field.h"
#include "colorfield/color_field_codes.h"
#include "log/log_line.h"
#include "platform/dxva2_library.h"

namespace {

constexpr std::uint8_t kColorFieldVcpCode = 0xE0;
constexpr int kSaved = 1;
constexpr int kNotSaved = 0;

std::uint32_t VcpValueOf(std::uint32_t mode) {
    constexpr std::uint32_t kSrgbMode = 1;
    constexpr std::uint32_t kP3Mode = 2;
    switch (mode) {
        case kSrgbMode:
            return 6;
        case kP3Mode:
            return 1;
        default:
            return 0;
    }
}

bool HasVendorId(std::wstring_view text) {
    return text.find(color_field::kVendorId) != std::wstring_view::npos;
}

struct DdcciPass {
    ColorField& field;
    ColorFieldVcpRequest& request;
    const Dxva2EntryPoints& dxva2;
};

BOOL CALLBACK ColorFieldMonitorEnumProc(HMONITOR monitor, HDC, LPRECT, LPARAM passAddress) {
    auto& pass = *reinterpret_cast<DdcciPass*>(passAddress);
    pass.field.SetDisplayerColorField(monitor, pass.request, pass.dxva2);
    return TRUE;
}

// The physical monitors of one display, destroyed and freed together on
// every path. The array is allocated without throwing, as a failure is one
// of the outcomes the caller reports.
class PhysicalMonitorArray {
  public:
    PhysicalMonitorArray(DWORD count, decltype(&::DestroyPhysicalMonitors) destroy)
        : count_(count),
          destroy_(destroy),
          monitors_(new (std::nothrow) PHYSICAL_MONITOR[count]()) {}
    ~PhysicalMonitorArray() {
        if (monitors_) {
            destroy_(count_, monitors_.get());
        }
    }
    PhysicalMonitorArray(const PhysicalMonitorArray&) = delete;
    PhysicalMonitorArray& operator=(const PhysicalMonitorArray&) = delete;

    explicit operator bool() const { return static_cast<bool>(monitors_); }
    PHYSICAL_MONITOR* Data() { return monitors_.get(); }
    PHYSICAL_MONITOR& operator[](DWORD index) { return monitors_[index]; }

  private:
    DWORD count_;
    decltype(&::DestroyPhysicalMonitors) destroy_;
    std::unique_ptr<PHYSICAL_MONITOR[]> monitors_;
};

// The VCP code is written as a signed number, the value as an unsigned one.
struct VcpText {
    const ColorFieldVcpRequest& request;
};

LogLine& operator<<(LogLine& line, const VcpText& vcp) {
    return line << L"Code:" << static_cast<int>(vcp.request.vcpCode) << L", value:"
                << static_cast<unsigned long>(vcp.request.vcpValue);
}

}  // namespace

int ColorField::SetDisplayerColorFieldByDdcci(std::uint32_t mode) {
    ColorFieldVcpRequest request;
    request.vcpCode = kColorFieldVcpCode;
    request.vcpValue = VcpValueOf(mode);
    const Dxva2Library dxva2;
    if (!dxva2.Loaded()) {
        Log(log_level::kError, "ColorField::SetDisplayerColorField")
            << L"dxva2 not loaded from the system directory! ErrorCode:"
            << static_cast<unsigned long>(GetLastError());
        return color_field::kDisplayFailed;
    }
    DdcciPass pass{*this, request, dxva2.EntryPoints()};
    EnumDisplayMonitors(nullptr, nullptr, ColorFieldMonitorEnumProc,
                        reinterpret_cast<LPARAM>(&pass));
    if (!request.matched) {
        request.byInterfaceName = 1;
        EnumDisplayMonitors(nullptr, nullptr, ColorFieldMonitorEnumProc,
                            reinterpret_cast<LPARAM>(&pass));
    }
    return request.anySaved ? color_field::kSwitchDone : color_field::kDisplayFailed;
}

int ColorField::SetDisplayerColorField(HMONITOR monitor, ColorFieldVcpRequest& request,
                                       const Dxva2EntryPoints& dxva2) {
    if (request.byInterfaceName == 1 && !IsVendorMonitorHandle(monitor)) {
        return kNotSaved;
    }
    const char* source = "ColorField::SetDisplayerColorField";
    const VcpText vcp{request};
    DWORD count = 0;
    if (!dxva2.GetNumberOfPhysicalMonitorsFromHMONITOR(monitor, &count)) {
        Log(log_level::kError, source)
            << L"Get Number Of Physical Monitors From HMONITOR Failed! " << vcp;
        return kNotSaved;
    }
    PhysicalMonitorArray monitors(count, dxva2.DestroyPhysicalMonitors);
    if (!monitors) {
        Log(log_level::kError, source)
            << L"physicalMonitors is nullptr! " << vcp << L", physicalMonitorsCount:" << count;
        return kNotSaved;
    }
    if (!dxva2.GetPhysicalMonitorsFromHMONITOR(monitor, count, monitors.Data())) {
        Log(log_level::kError, source) << L"Get Physical Monitors From HMONITOR Failed! " << vcp
                                       << L", physicalMonitorsCount:" << count;
        return kNotSaved;
    }
    int result = kNotSaved;
    for (DWORD index = 0; index < count; ++index) {
        const PHYSICAL_MONITOR& physical = monitors[index];
        if (physical.hPhysicalMonitor == INVALID_HANDLE_VALUE) {
            Log(log_level::kError, source) << L"LCD physicalMonitorHandle is nullptr! " << vcp
                                           << L", physicalMonitorsCount:" << count;
            continue;
        }
        if (request.byInterfaceName == 0 && !HasVendorId(physical.szPhysicalMonitorDescription)) {
            continue;
        }
        request.matched = true;
        if (dxva2.SetVCPFeature(physical.hPhysicalMonitor, request.vcpCode, request.vcpValue) !=
            TRUE) {
            Log(log_level::kError, source)
                << L"LCD SetVCPFeature set Failed! " << vcp << L", physicalMonitorsCount:" << count
                << L", index:" << index << L", description:"
                << physical.szPhysicalMonitorDescription;
            continue;
        }
        if (result != kSaved) {
            result = dxva2.SaveCurrentSettings(physical.hPhysicalMonitor) ? kSaved : kNotSaved;
        }
    }
    if (result == kSaved) {
        request.anySaved = true;
    }
    return result;
}

bool ColorField::IsVendorMonitorHandle(HMONITOR monitor) {
    MONITORINFOEXW info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info)) {
        return false;
    }
    for (DWORD index = 0;; ++index) {
        DISPLAY_DEVICEW device{};
        device.cb = sizeof device;
        if (!EnumDisplayDevicesW(info.szDevice, index, &device, EDD_GET_DEVICE_INTERFACE_NAME)) {
            return false;
        }
        if (HasVendorId(device.DeviceID)) {
            return true;
        }
    }
}
