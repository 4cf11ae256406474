// Colour gamut switching: the ICC profile that Windows colour management
// applies to the main monitor, then the display itself, by a DDC/CI command
// to the maker's monitors or by the firmware 3D LUT.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/display_handles.h"
#include "platform/dxva2_library.h"
#include "platform/files.h"

// A monitor as the display enumeration reports it.
struct MonitorDeviceInfo {
    std::wstring deviceName;    // \\.\DISPLAY1\Monitor0
    std::wstring deviceId;      // the name Windows colour management knows it by
    std::wstring monitorCode;   // up to 7 characters after the id's first backslash
    std::wstring deviceString;  // the monitor's description
};

// One DDC/CI colour field switch, shared by every display of its enumerations.
struct ColorFieldVcpRequest {
    std::uint8_t vcpCode = 0;
    std::uint32_t vcpValue = 0;
    bool anySaved = false;  // some monitor took the value and saved it
    bool matched = false;   // some physical monitor was chosen for the write
    // 0: chosen by the physical monitor's description; 1: every physical
    // monitor of a display whose device interface name is the maker's.
    std::uint32_t byInterfaceName = 0;
};

class ColorField {
  public:
    static ColorField& Instance();
    virtual ~ColorField();
    ColorField(const ColorField&) = delete;
    ColorField& operator=(const ColorField&) = delete;

    // 0 done; 1 a null path or the ICC file missing; 2 the digest file missing,
    // the digests differing, or the profile not installed or associated; 3 the
    // display refused the mode (the profile change is undone).
    int SetColorFieldMode(std::uint32_t mode, const char* iccPath, const char* digestPath);
    // Copies the main monitor's default profile name into a buffer of at
    // least 1024 bytes: 0 done, -1 failure.
    int GetCurrentIccFileName(char* iccFileName);

    // 0 when the ICC file exists and matches its record in the digest file;
    // 1 when the ICC file is missing; 2 when the digest file is missing or
    // the digests differ.
    int CheckIsIccFileNormal(const std::string& iccPath, const std::string& digestPath);

    // Only the firmware table road (set type 1) knows of a changed panel:
    // true when the mode's table no longer matches the panel.
    bool IsLcdChanged(std::uint32_t mode, std::uint32_t setType);

    // The display side of a switch: set type 0 by DDC/CI, 1 by the firmware
    // 3D LUT. 0 done, 3 failure or no such road.
    int SwitchDisplayerColorField(std::uint32_t mode, std::uint32_t setType);

    bool QueryCurrentIccFile(std::wstring& name);
    bool IsIccAlreadyAssociated(const std::wstring& currentName, const std::wstring& iccPathNew);
    int SwitchIccFile(std::wstring path);
    int InstallIccFile(const std::wstring& path);
    UniqueProfile GetProfileHandle(const std::wstring& path);
    BOOL AssociateIccFile(const std::wstring& path);
    void RefreshMonitorList();
    bool ApplyAssociationGammaRamp(std::wstring_view device);
    void ReleaseProfileHandles();

    int SetDisplayerColorFieldByDdcci(std::uint32_t mode);
    // 1 when a physical monitor of the display took the value and saved it.
    int SetDisplayerColorField(HMONITOR monitor, ColorFieldVcpRequest& request,
                               const Dxva2EntryPoints& dxva2);
    bool IsVendorMonitorHandle(HMONITOR monitor);

  private:
    ColorField() = default;

    int SwitchIccAndDisplay(std::uint32_t mode, const char* iccPath, const char* digestPath);
    void RecordSwitch(std::uint32_t mode, std::uint32_t setType, std::wstring fileName);
    int CheckIccFile(const std::wstring& icc, const std::string& digestPath,
                     std::unique_ptr<platform::SharedFileReader>& held);
    int CheckAndSwitchIccFile(const std::wstring& icc, const std::string& digestPath);
    void UndoIccSwitch(const std::wstring& previousName, const std::wstring& iccPath);
    // "DISPLAY" without a display at the desktop origin, else the current
    // monitor's device id.
    std::wstring ColorManagementDeviceName() const;
    void ChooseCurrentMonitor(int setType);

    // Every operation reached from an export holds it for its whole length:
    // a switch refreshes the monitor list and keeps handles that a second
    // caller would clear under it. Recursive, because the operations call
    // one another (a switch asks for the display side), and because a
    // window's thread whose driver call lets COM dispatch a message may
    // call in again on the same thread.
    std::recursive_mutex mutex_;
    MonitorDeviceInfo currentMonitor_;
    std::vector<MonitorDeviceInfo> monitorList_;
    UniqueProfile iccProfile_;
    UniqueProfile standardProfile_;
    UniqueDc dc_;
    std::wstring mainDisplayDeviceName_;
};
