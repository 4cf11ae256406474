// The process-wide colour operator: detection of the display hardware and
// the colour temperature roads that reach the built-in panel.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <mutex>
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
#include "whitepoint/white_point_adjust_info.h"

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
    const AdlLibrary& Adl() const { return adl_; }

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

    // The factory white point record: the firmware's, or the golden text the
    // front-end gave once the firmware's is unusable or belongs to another
    // panel. 0 once a validated record is in place, -1 otherwise.
    int InitWhitePointInfo();
    // Taken up by the next InitWhitePointInfo that reaches the golden text;
    // false for a null text.
    bool SetWhitePointGoldenData(const char* text);
    bool InitializeWhitePointData(bool useGolden);
    bool ParseWhitePointInfo(const std::string& text);
    // The `length` characters at `offset`, advancing it; an empty text, with
    // `offset` unchanged, past the end.
    std::string GetChildStrFromString(const std::string& text, std::size_t& offset,
                                      std::size_t length);
    bool IsChecksumCorret(const std::string& text, std::uint16_t checksum);
    // Whether the record belongs to another panel than the fitted one.
    bool IsLcdChanged();
    bool IsWhitePointReady() const;
    bool IsWhitePointFallback() const;
    // A copy of the record; nothing before the first InitWhitePointInfo that
    // read a text.
    std::optional<WhitePointAdjustInfo> WhitePointRecord() const;
    // The record once it is validated; nothing before.
    std::optional<WhitePointAdjustInfo> ReadyWhitePointRecord() const;

    // The white point on AMD graphics: the measured white and primaries as a
    // custom gamut on every mapped display, or the predefined gamut back.
    // The last display's result: 0, or -1 (also when no display was reached).
    int SetWhitePointForAmd();
    int ResetWhitePointForAmd();
    bool WhitePointAdjust(const AdlEntryPoints& api, int adapterIndex, int displayIndex,
                          const WhitePointAdjustInfo& values);
    bool ResetWhitePoint(const AdlEntryPoints& api, int adapterIndex, int displayIndex);

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
    // Guards the panel identity and the white point record below: exports on
    // several threads read, replace and clear them. Recursive, as the record's
    // operations call one another.
    mutable std::recursive_mutex whitePointMutex_;
    discovery::EdidTextIdentity lcdIdentity_;
    std::string goldenWhitePoint_;
    bool whitePointFallback_ = false;
    bool whitePointReady_ = false;
    std::unique_ptr<WhitePointAdjustInfo> whitePointAdjustInfo_;
    // Declared last, so destroyed first: a worker still applying is waited
    // for while the rest of the operator still stands.
    DesktopMonitorWorker desktopWorker_{[this] { return RebuildDisplayDeviceList(); }};
};
