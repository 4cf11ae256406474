// Linux stand-in for <guiddef.h>: GUIDs, their comparison, and the ids
// attached to interface types so that __uuidof(Interface) names them, as
// MinGW's headers do with __CRT_UUID_DECL.
#pragma once

#include <minwindef.h>

#include <type_traits>

struct _GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
using GUID = _GUID;
using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

static_assert(sizeof(GUID) == 16);

constexpr bool operator==(const GUID& a, const GUID& b) {
    for (int i = 0; i < 8; ++i) {
        if (a.Data4[i] != b.Data4[i]) {
            return false;
        }
    }
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3;
}

namespace tw_compat {

// Specialised once per interface type by __CRT_UUID_DECL.
template <typename Interface>
struct AttachedId;

template <typename Interface>
constexpr const GUID& UuidOf() {
    using Bare = std::remove_cv_t<std::remove_pointer_t<std::remove_reference_t<Interface>>>;
    return AttachedId<Bare>::value;
}

}  // namespace tw_compat

#define __CRT_UUID_DECL(type, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8)             \
    template <>                                                                      \
    struct tw_compat::AttachedId<type> {                                             \
        static constexpr GUID value = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}; \
    };

// Takes a type or an expression (an interface or a pointer to one).
#define __uuidof(type) ::tw_compat::UuidOf<__typeof__(type)>()
