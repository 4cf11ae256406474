// Owners of the GDI device contexts and colour profiles the library opens.
#pragma once

#include <windows.h>

#include <icm.h>

#include <memory>
#include <type_traits>

#include "platform/system_module.h"

struct DcDelete {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
using UniqueDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDelete>;

// A profile is closed through the mscms that opened it, which its owner
// keeps loaded until then: the step that opened it may be over long before.
struct ProfileClose {
    UniqueModule module;
    decltype(&::CloseColorProfile) close = nullptr;
    void operator()(HPROFILE profile) {
        close(profile);
        module.reset();
    }
};
using UniqueProfile = std::unique_ptr<std::remove_pointer_t<HPROFILE>, ProfileClose>;

// Leaves the profile open and its module loaded, for the process to take:
// what is still held at unload may be neither closed nor freed there.
inline void Abandon(UniqueProfile& profile) {
    static_cast<void>(profile.release());
    static_cast<void>(profile.get_deleter().module.release());
}
