#include "colour_association_stand_in_win32.h"

#include <icm.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <mutex>
#include <string_view>

#include "system_stand_ins_win32.h"

namespace tw_test {

namespace {

struct State {
    std::mutex mutex;
    std::map<std::wstring, std::vector<std::wstring>> associations;
    std::vector<std::wstring> calls;
};

State& Shared() {
    static State state;
    return state;
}

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

// Windows compares device names case-blind.
std::wstring Key(PCWSTR device) {
    std::wstring key = device;
    std::transform(key.begin(), key.end(), key.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return key;
}

// Windows associates the file of the colour directory, whatever path names it.
std::wstring FileName(PCWSTR profile) {
    const std::wstring path = profile;
    return path.substr(path.find_last_of(L"\\/") + 1);
}

BOOL WINAPI GetDefault(WCS_PROFILE_MANAGEMENT_SCOPE, PCWSTR device, COLORPROFILETYPE type,
                       COLORPROFILESUBTYPE, DWORD, DWORD bytes, LPWSTR name) {
    if (device == nullptr || type != CPT_ICC || name == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    State& state = Shared();
    std::lock_guard lock(state.mutex);
    state.calls.push_back(std::wstring(L"default ") + device);
    const auto& profiles = state.associations[Key(device)];
    if (profiles.empty()) {
        return Fail(ERROR_FILE_NOT_FOUND);
    }
    const std::wstring& current = profiles.back();
    if (bytes < (current.size() + 1) * sizeof(WCHAR)) {
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    std::copy(current.begin(), current.end(), name);
    name[current.size()] = L'\0';
    return TRUE;
}

BOOL WINAPI Associate(WCS_PROFILE_MANAGEMENT_SCOPE, PCWSTR profile, PCWSTR device) {
    if (profile == nullptr || device == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    State& state = Shared();
    std::lock_guard lock(state.mutex);
    const std::wstring file = FileName(profile);
    state.calls.push_back(L"associate " + file + L" " + device);
    auto& profiles = state.associations[Key(device)];
    std::erase(profiles, file);
    profiles.push_back(file);
    return TRUE;
}

BOOL WINAPI Disassociate(WCS_PROFILE_MANAGEMENT_SCOPE, PCWSTR profile, PCWSTR device) {
    if (profile == nullptr || device == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    State& state = Shared();
    std::lock_guard lock(state.mutex);
    const std::wstring file = FileName(profile);
    state.calls.push_back(L"disassociate " + file + L" " + device);
    return std::erase(state.associations[Key(device)], file) == 1 ? TRUE
                                                                  : Fail(ERROR_FILE_NOT_FOUND);
}

}  // namespace

void ColourAssociationStandIn::Reset() {
    std::lock_guard lock(Shared().mutex);
    Shared().associations.clear();
    Shared().calls.clear();
}

std::vector<std::wstring> ColourAssociationStandIn::Associations(const std::wstring& device) {
    std::lock_guard lock(Shared().mutex);
    return Shared().associations[Key(device.c_str())];
}

std::vector<std::wstring> ColourAssociationStandIn::Calls() {
    std::lock_guard lock(Shared().mutex);
    return Shared().calls;
}

FARPROC ColourAssociationStandIn::EntryPoint(const char* name) {
    static const NamedStandIn kStandIns[] = {
        {"WcsGetDefaultColorProfile", AsFarProc(&GetDefault)},
        {"WcsAssociateColorProfileWithDevice", AsFarProc(&Associate)},
        {"WcsDisassociateColorProfileFromDevice", AsFarProc(&Disassociate)},
    };
    return FindStandIn(kStandIns, name);
}

}  // namespace tw_test
