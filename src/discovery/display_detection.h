// Which road to the hardware: graphics vendor, device model, desktop or not,
// the physical monitors and the main adapter.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// One active monitor of the display enumeration.
struct DisplayDeviceRecord {
    std::wstring deviceName;   // for example \\.\DISPLAY1\Monitor0
    std::wstring monitorCode;  // up to 7 characters of the device id, padded with zeros to 8
};

namespace discovery {

// The display adapters in Windows' order, and the monitors of one adapter:
// EnumDisplayDevicesW from index 0 until it fails.
std::vector<DISPLAY_DEVICEW> DisplayAdapters();
std::vector<DISPLAY_DEVICEW> AdapterMonitors(const DISPLAY_DEVICEW& adapter);

// The device code name of the maker's product component.
std::string DeviceType();

// True when the SMBIOS chassis type says desktop.
bool IsDesktopComputer();

// Copies the device type into a caller buffer of at least 1024 bytes, with the
// debug trace of `OperateColor::GetDeviceType`; an empty or too long type
// leaves the buffer untouched.
void CopyDeviceType(char* buffer);

// Appends one record per active and attached monitor of every adapter.
void BuildDisplayDeviceList(std::vector<DisplayDeviceRecord>& list);

// A monitor of the maker: its monitor code contains "ORV".
bool IsMakersMonitor(const DisplayDeviceRecord& record);

// True when a record is a monitor of the maker.
bool HaveOrvMonitor(const std::vector<DisplayDeviceRecord>& list);

// The device name of the adapter that is attached to the desktop and primary,
// or empty. `source` names the caller in the log line of a settings failure.
std::wstring GetMainActiveDeviceName(const char* source);

// The name of adapter 0 when its current settings can be read, else empty:
// the adapter the Intel driver is asked about for colour tables.
std::wstring FirstAdapterName();

}  // namespace discovery
