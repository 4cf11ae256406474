// The system's colour management library (mscms), loaded from the system
// directory rather than found through the search order, which starts in the
// application's folder. Each step of a gamut switch holds it for its own
// length, and every profile handle keeps it loaded until it is closed.
#pragma once

#include <windows.h>

#include <icm.h>

#include "platform/display_handles.h"
#include "platform/system_module.h"

// Named as mscms exports them: every one is resolved and required.
struct MscmsEntryPoints {
    decltype(&::OpenColorProfileW) OpenColorProfileW = nullptr;
    decltype(&::IsColorProfileValid) IsColorProfileValid = nullptr;
    decltype(&::CloseColorProfile) CloseColorProfile = nullptr;
    decltype(&::GetStandardColorSpaceProfileW) GetStandardColorSpaceProfileW = nullptr;
    decltype(&::GetColorDirectoryW) GetColorDirectoryW = nullptr;
    decltype(&::InstallColorProfileW) InstallColorProfileW = nullptr;
    decltype(&::WcsGetDefaultColorProfile) WcsGetDefaultColorProfile = nullptr;
    decltype(&::WcsAssociateColorProfileWithDevice) WcsAssociateColorProfileWithDevice = nullptr;
    decltype(&::WcsDisassociateColorProfileFromDevice) WcsDisassociateColorProfileFromDevice =
        nullptr;
};

class MscmsLibrary {
  public:
    // Loads the module and resolves its entry points; Loaded() tells whether
    // all of that worked.
    MscmsLibrary();

    bool Loaded() const { return static_cast<bool>(module_); }
    // Callable only while Loaded().
    const MscmsEntryPoints& EntryPoints() const { return entryPoints_; }

    // Opens a profile whose owner holds a reference of its own to the module,
    // so that it can be closed after this object is gone. Null as
    // OpenColorProfileW answers it, or when no second reference can be had.
    UniqueProfile OpenProfile(PPROFILE profile, DWORD access, DWORD share, DWORD creation) const;

  private:
    UniqueModule module_;
    MscmsEntryPoints entryPoints_;
};
