// How the DLL under test meets the stand-ins for what Wine lacks. The DLL
// loads mscms and dxva2 from the system folder and looks their functions up
// with GetProcAddress, so once the test process has loaded it, it rewrites
// the DLL's import address table entry for kernel32!GetProcAddress: the
// filter hands out a stand-in for exactly the names Wine cannot serve
// (mscms's Wcs association functions, dxva2's monitor configuration) and
// forwards every other lookup to the real GetProcAddress, so Wine's own
// profile installation, device contexts and gamma functions are what the
// DLL calls. The entry for user32!EnumDisplayDevicesW goes through
// MonitorConfigurationStandIn::EnumDisplayDevices, which is Wine's answer
// unless a test shows the maker's monitor. Nothing else of the DLL changes,
// and every load of it is patched the same way.
#pragma once

#include <windows.h>

#include <algorithm>
#include <span>
#include <string_view>

namespace tw_test {

// LoadLibrary of TintwellDll.dll, patched as above: null when it does not
// load or cannot be patched, with the test failed.
HMODULE LoadTintwellWithStandIns();

// Through the one function type that converts to any other without a warning.
template <typename Function>
FARPROC AsFarProc(Function* function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

struct NamedStandIn {
    std::string_view name;
    FARPROC address;
};

inline FARPROC FindStandIn(std::span<const NamedStandIn> standIns, std::string_view name) {
    const auto found = std::find_if(standIns.begin(), standIns.end(),
                                    [&](const NamedStandIn& s) { return s.name == name; });
    return found == standIns.end() ? nullptr : found->address;
}

}  // namespace tw_test
