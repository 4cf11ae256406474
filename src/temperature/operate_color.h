// The process-wide colour operator: detection of the display hardware and
// the colour temperature roads that reach the built-in panel.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "discovery/display_detection.h"
#include "discovery/edid_fields.h"
#include "temperature/adl_library.h"
#include "temperature/color_enhance_table.h"
#include "temperature/color_request.h"
#include "temperature/desktop_monitor_worker.h"
#include "temperature/gamma_ramp_library.h"
#include "temperature/intel_driver_interface.h"

class OperateColor {
  public:
    static OperateColor& Instance();

    OperateColor();
    virtual ~OperateColor();
    OperateColor(const OperateColor&) = delete;
    OperateColor& operator=(const OperateColor&) = delete;

    // Detection.
    void GetDeviceType(char* buffer);
    bool IsDesktopComputer();
    bool HaveOrvMonitor();
    std::wstring GetMainActiveDeviceName();
    // The Intel driver's id of the main adapter, or -1.
    std::int32_t GetMainActiveDeviceId();
    std::optional<std::int32_t> EnumActiveDevices(const std::wstring& deviceName);
    void BuildDisplayDeviceList();

    // Colour temperature roads.
    int SetTemperature(int first, int second);
    int SetColorAdjust(int first, int second);
    int SetTemperatureForIntel(const ColorRequest& request);
    int SetTemperatureForNvidia(const ColorRequest& request);
    // Queues the request for the desktop monitor worker; always 0.
    int SetTemperatureForDesktopComputer(const ColorRequest& request);
    int SetColorEnhance(bool enable);
    int GetCurrentColorConfigInfo(ColorConfigInfo& info);

    // The AMD display library and its road.
    void InitAdlGamut();
    void UninitAdlGamut();
    int SetTemperatureForAMD(const ColorRequest& request);

    // The Intel driver.
    bool EnsureDriverInterface();
    // See IntelDriverInterface::SetGammaRamp.
    std::optional<std::int32_t> SetIntelGammaRamp(std::int32_t deviceId, const GammaRamp& ramp);
    // The id of adapter 0, or 0 when there is none.
    std::int32_t GetIntelDeviceId();

    // The panel identity from the EDID, which the white point data belongs to.
    std::string GetPnpDeviceID();
    std::string GetEdidDataPath();
    // Reads and parses the EDID into the four texts below; false leaves them
    // as they were.
    bool GetLcdEdidData();
    std::string GetLcdVendor() const;
    std::string GetLcdSerialNumber() const;
    std::string GetLcdYear() const;
    std::string GetLcdWeek() const;

  private:
    struct FreeWithCRuntime {
        void operator()(void* block) const;
    };

    bool CallHardwareLibrary(int informationClass, void* data, int size);
    std::vector<DisplayDeviceRecord> RebuildDisplayDeviceList();

    AdlLibrary adl_;
    IntelDriverInterface driver_{IntelDriverInterface::OleInitFailure::Fails};
    std::unique_ptr<void, FreeWithCRuntime> halContext_;
    ColorMatrix enhanceMatrix_ = kIdentityColorMatrix;
    discovery::EdidTextIdentity lcdIdentity_;
    // Declared last, so destroyed first: a worker still applying is waited
    // for while the rest of the operator still stands.
    DesktopMonitorWorker desktopWorker_{[this] { return RebuildDisplayDeviceList(); }};
};
