// Adds full control for the well-known Users group to the file's access
// control list, keeping the entries it has.
#include <windows.h>
#include <aclapi.h>

#include <memory>

#include "services/basic_lib.h"
#include "util/text_conversion.h"

namespace {

struct LocalFreeDeleter {
    void operator()(void* memory) const { LocalFree(memory); }
};
template <typename T>
using LocalPtr = std::unique_ptr<T, LocalFreeDeleter>;

}  // namespace

int EnableFileUsersPriviledge(std::string fileName) {
    std::wstring path = AnsiToWide(fileName);
    PACL current = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, &current, nullptr, &descriptor) != ERROR_SUCCESS) {
        return kEnableFileUsersPriviledgeFailed;
    }
    const LocalPtr<void> descriptorOwner(descriptor);

    BYTE users[SECURITY_MAX_SID_SIZE];
    DWORD usersSize = sizeof(users);
    if (!CreateWellKnownSid(WinBuiltinUsersSid, nullptr, users, &usersSize)) {
        return kEnableFileUsersPriviledgeFailed;
    }
    EXPLICIT_ACCESSW access{};
    access.grfAccessPermissions = GENERIC_ALL;
    access.grfAccessMode = SET_ACCESS;
    access.grfInheritance = NO_INHERITANCE;
    access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    access.Trustee.ptstrName = reinterpret_cast<LPWSTR>(users);

    PACL updated = nullptr;
    if (SetEntriesInAclW(1, &access, current, &updated) != ERROR_SUCCESS) {
        return kEnableFileUsersPriviledgeFailed;
    }
    const LocalPtr<ACL> updatedOwner(updated);
    const DWORD result = SetNamedSecurityInfoW(
        path.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, updated, nullptr);
    return result == ERROR_SUCCESS ? kEnableFileUsersPriviledgeDone
                                   : kEnableFileUsersPriviledgeFailed;
}
