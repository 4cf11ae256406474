#include "platform/mscms_library.h"

#include <utility>

namespace {

constexpr const wchar_t* kMscms = L"mscms.dll";

bool ResolveAll(HMODULE module, MscmsEntryPoints& e) {
    return ResolveEntryPoint(module, "OpenColorProfileW", e.OpenColorProfileW) &&
           ResolveEntryPoint(module, "IsColorProfileValid", e.IsColorProfileValid) &&
           ResolveEntryPoint(module, "CloseColorProfile", e.CloseColorProfile) &&
           ResolveEntryPoint(module, "GetStandardColorSpaceProfileW",
                             e.GetStandardColorSpaceProfileW) &&
           ResolveEntryPoint(module, "GetColorDirectoryW", e.GetColorDirectoryW) &&
           ResolveEntryPoint(module, "InstallColorProfileW", e.InstallColorProfileW) &&
           ResolveEntryPoint(module, "WcsGetDefaultColorProfile", e.WcsGetDefaultColorProfile) &&
           ResolveEntryPoint(module, "WcsAssociateColorProfileWithDevice",
                             e.WcsAssociateColorProfileWithDevice) &&
           ResolveEntryPoint(module, "WcsDisassociateColorProfileFromDevice",
                             e.WcsDisassociateColorProfileFromDevice);
}

}  // namespace

MscmsLibrary::MscmsLibrary() {
    UniqueModule module = LoadSystemLibrary(kMscms);
    MscmsEntryPoints entryPoints;
    if (module && ResolveAll(module.get(), entryPoints)) {
        module_ = std::move(module);
        entryPoints_ = entryPoints;
    }
}

UniqueProfile MscmsLibrary::OpenProfile(PPROFILE profile, DWORD access, DWORD share,
                                        DWORD creation) const {
    UniqueModule reference = LoadSystemLibrary(kMscms);
    if (!reference) {
        return nullptr;
    }
    const HPROFILE opened = entryPoints_.OpenColorProfileW(profile, access, share, creation);
    if (opened == nullptr) {
        return nullptr;
    }
    return UniqueProfile(opened,
                         ProfileClose{std::move(reference), entryPoints_.CloseColorProfile});
}
