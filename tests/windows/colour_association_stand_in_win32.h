// Wine's mscms has WcsGetDefaultColorProfile and the Wcs association calls
// as unimplemented stubs that end the process. This stand-in, in the test
// process, keeps the associations of the current user's devices in memory,
// as Windows keeps them in its settings, and records every call; profile
// installation and opening stay Wine's. The DLL reaches it through its own
// lookups (system_stand_ins_win32.h).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tw_test {

class ColourAssociationStandIn {
  public:
    static void Reset();
    // The profile file names associated with a device (case-blind), oldest
    // first: the last one is its default.
    static std::vector<std::wstring> Associations(const std::wstring& device);
    // Every call in order: "associate <profile>", "disassociate <profile>"
    // or "default", each with the device it named after a space.
    static std::vector<std::wstring> Calls();

    // The stand-in entry point mscms exports under `name`, or null.
    static FARPROC EntryPoint(const char* name);
};

}  // namespace tw_test
