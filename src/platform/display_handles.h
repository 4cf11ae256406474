// Owners of the GDI device contexts and colour profiles the library opens.
#pragma once

#include <windows.h>

#include <icm.h>

#include <memory>
#include <type_traits>

struct DcDelete {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
using UniqueDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDelete>;

struct ProfileClose {
    void operator()(HPROFILE profile) const { CloseColorProfile(profile); }
};
using UniqueProfile = std::unique_ptr<std::remove_pointer_t<HPROFILE>, ProfileClose>;
