// mscms: opening and validating colour profiles, installing them into the
// colour directory, and the Windows Color System's associations of profiles
// with monitors. Little CMS judges what a profile is.
#include <windows.h>
#include <icm.h>

#include <cstring>
#include <fstream>
#include <string>
#include <string_view>

#include "platform/utf8.h"
#include "sim/color_model.h"
#include "sim/display_model.h"
#include "sim/error_codes.h"
#include "sim/far_proc.h"
#include "sim/icc_profile_reader.h"
#include "sim/icc_profile_writer.h"
#include "sim/machine.h"

namespace {

// The machine, its colour model bound to the colour directory of its root,
// so that what an earlier process installed and associated is there.
sim::Machine& ColorMachine() {
    auto& machine = sim::Machine::Current();
    machine.Colors().AttachColorDirectory(machine.HostPath(sim::ColorModel::ColorDirectory()));
    return machine;
}

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

std::wstring Given(PCWSTR text) {
    return text == nullptr ? std::wstring() : std::wstring(text);
}

bool IsScope(WCS_PROFILE_MANAGEMENT_SCOPE scope) {
    return scope == WCS_PROFILE_MANAGEMENT_SCOPE_SYSTEM_WIDE ||
           scope == WCS_PROFILE_MANAGEMENT_SCOPE_CURRENT_USER;
}

// Windows measures these buffers in bytes, the terminator included.
DWORD BytesFor(std::wstring_view text) {
    return static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR));
}

void CopyWithTerminator(PWSTR buffer, std::wstring_view text) {
    std::memcpy(buffer, text.data(), text.size() * sizeof(WCHAR));
    buffer[text.size()] = L'\0';
}

// The bytes a PROFILE names, or nothing with the error left for the caller.
// Creating a profile is not modelled: a missing file is not found whatever
// the creation mode.
std::optional<std::vector<std::uint8_t>> ProfileData(sim::Machine& machine,
                                                     const PROFILE* profile) {
    if (profile == nullptr || profile->pProfileData == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return std::nullopt;
    }
    if (profile->dwType == PROFILE_FILENAME) {
        const auto* name = static_cast<const wchar_t*>(profile->pProfileData);
        const auto file = sim::ProfileHostPath(machine, name);
        machine.Colors().RunBeforeProfileFileOpens(file);
        auto bytes = sim::ReadProfileFile(file);
        if (!bytes) {
            SetLastError(ERROR_FILE_NOT_FOUND);
        }
        return bytes;
    }
    if (profile->dwType == PROFILE_MEMBUFFER && profile->cbDataSize > 0) {
        const auto* data = static_cast<const std::uint8_t*>(profile->pProfileData);
        return std::vector<std::uint8_t>(data, data + profile->cbDataSize);
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return std::nullopt;
}

bool WriteFileBytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error);
}

// Copies a profile into the colour directory under its file name.
bool CopyIntoColorDirectory(sim::Machine& machine, const std::filesystem::path& source,
                            const std::vector<std::uint8_t>& bytes, std::wstring_view fileName) {
    const auto directory = machine.HostPath(sim::ColorModel::ColorDirectory());
    const auto target = directory / platform::ToUtf8(fileName);
    if (SameFile(source, target)) {
        return true;
    }
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    return WriteFileBytes(target, bytes);
}

void RecordAssociation(sim::Machine& machine, sim::AssociationChange change,
                       WCS_PROFILE_MANAGEMENT_SCOPE scope, PCWSTR profile, PCWSTR device,
                       bool accepted) {
    machine.Colors().RecordAssociationEvent(
        {change, scope, Given(device), Given(profile), accepted});
}

// Why an association of `profile` with `device` is refused, or 0.
DWORD AssociationRefusal(sim::Machine& machine, WCS_PROFILE_MANAGEMENT_SCOPE scope, PCWSTR profile,
                         PCWSTR device) {
    if (const auto error = machine.TakeFailure("WcsAssociateColorProfileWithDevice")) {
        return *error;
    }
    if (profile == nullptr || device == nullptr || !IsScope(scope) ||
        !machine.Displays().FindMonitor(device)) {
        return ERROR_INVALID_PARAMETER;
    }
    if (!machine.Colors().IsInstalled(sim::ProfileFileName(profile))) {
        return ERROR_FILE_NOT_FOUND;
    }
    return ERROR_SUCCESS;
}

DWORD DisassociationRefusal(sim::Machine& machine, WCS_PROFILE_MANAGEMENT_SCOPE scope,
                            PCWSTR profile, PCWSTR device) {
    if (const auto error = machine.TakeFailure("WcsDisassociateColorProfileFromDevice")) {
        return *error;
    }
    if (profile == nullptr || device == nullptr || !IsScope(scope)) {
        return ERROR_INVALID_PARAMETER;
    }
    if (!machine.Colors().Disassociate(scope, device, sim::ProfileFileName(profile))) {
        return ERROR_FILE_NOT_FOUND;
    }
    return ERROR_SUCCESS;
}

}  // namespace

HPROFILE WINAPI OpenColorProfileW(PPROFILE profile, DWORD, DWORD, DWORD) {
    auto& machine = ColorMachine();
    if (const auto error = machine.TakeFailure("OpenColorProfileW")) {
        SetLastError(*error);
        return nullptr;
    }
    auto bytes = ProfileData(machine, profile);
    if (!bytes) {
        return nullptr;
    }
    if (sim::CheckProfile(*bytes) == sim::ProfileCheck::Unreadable) {
        SetLastError(sim::kErrorInvalidProfile);
        return nullptr;
    }
    return machine.Colors().OpenProfile(std::move(*bytes));
}

BOOL WINAPI IsColorProfileValid(HPROFILE profile, PBOOL valid) {
    auto& machine = ColorMachine();
    if (const auto error = machine.TakeFailure("IsColorProfileValid")) {
        return Fail(*error);
    }
    const auto bytes = machine.Colors().ProfileBytes(profile);
    if (!bytes) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    if (valid == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    *valid = sim::CheckProfile(*bytes) == sim::ProfileCheck::Valid ? TRUE : FALSE;
    return TRUE;
}

BOOL WINAPI CloseColorProfile(HPROFILE profile) {
    if (!sim::Machine::Current().Colors().CloseProfile(profile)) {
        return Fail(ERROR_INVALID_HANDLE);
    }
    return TRUE;
}

BOOL WINAPI GetStandardColorSpaceProfileW(PCWSTR machineName, DWORD colorSpace, PWSTR profileName,
                                          PDWORD size) {
    auto& machine = ColorMachine();
    if (const auto error = machine.TakeFailure("GetStandardColorSpaceProfileW")) {
        return Fail(*error);
    }
    if (machineName != nullptr) {
        return Fail(sim::kErrorNotSupported);
    }
    if (size == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (colorSpace != static_cast<DWORD>(LCS_sRGB)) {
        return Fail(ERROR_FILE_NOT_FOUND);
    }
    const std::wstring path = sim::ColorModel::StandardProfilePath();
    const DWORD needed = BytesFor(path);
    const DWORD offered = *size;
    *size = needed;
    if (profileName == nullptr || offered < needed) {
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    sim::WriteProfileIfMissing(sim::ProfileHostPath(machine, path), sim::SrgbColorSpace());
    CopyWithTerminator(profileName, path);
    return TRUE;
}

BOOL WINAPI GetColorDirectoryW(PCWSTR machineName, PWSTR buffer, PDWORD size) {
    auto& machine = ColorMachine();
    if (const auto error = machine.TakeFailure("GetColorDirectoryW")) {
        return Fail(*error);
    }
    if (machineName != nullptr) {
        return Fail(sim::kErrorNotSupported);
    }
    if (size == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    const std::wstring directory = sim::ColorModel::ColorDirectory();
    const auto needed = static_cast<DWORD>((directory.size() + 1) * sizeof(wchar_t));
    if (buffer == nullptr || *size < needed) {
        *size = needed;
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    CopyWithTerminator(buffer, directory);
    *size = needed;
    return TRUE;
}

BOOL WINAPI InstallColorProfileW(PCWSTR machineName, PCWSTR profileName) {
    auto& machine = ColorMachine();
    if (const auto error = machine.TakeFailure("InstallColorProfileW")) {
        return Fail(*error);
    }
    if (machineName != nullptr) {
        return Fail(sim::kErrorNotSupported);
    }
    if (profileName == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (!machine.Colors().Elevated()) {
        return Fail(ERROR_ACCESS_DENIED);
    }
    const auto source = sim::ProfileHostPath(machine, profileName);
    const auto bytes = sim::ReadProfileFile(source);
    if (!bytes) {
        return Fail(ERROR_FILE_NOT_FOUND);
    }
    if (sim::CheckProfile(*bytes) == sim::ProfileCheck::Unreadable) {
        return Fail(sim::kErrorInvalidProfile);
    }
    auto fileName = sim::ProfileFileName(profileName);
    if (!CopyIntoColorDirectory(machine, source, *bytes, fileName)) {
        return Fail(ERROR_ACCESS_DENIED);
    }
    machine.Colors().RecordInstall(std::move(fileName));
    return TRUE;
}

BOOL WINAPI WcsGetDefaultColorProfile(WCS_PROFILE_MANAGEMENT_SCOPE scope, PCWSTR deviceName,
                                      COLORPROFILETYPE profileType, COLORPROFILESUBTYPE, DWORD,
                                      DWORD profileNameSize, LPWSTR profileName) {
    auto& machine = ColorMachine();
    machine.Colors().RecordDefaultProfileQuery(Given(deviceName));
    if (const auto error = machine.TakeFailure("WcsGetDefaultColorProfile")) {
        return Fail(*error);
    }
    if (profileType != CPT_ICC || profileName == nullptr || !IsScope(scope)) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    const auto profile = machine.Colors().DefaultProfile(scope, Given(deviceName));
    if (!profile) {
        return Fail(ERROR_FILE_NOT_FOUND);
    }
    if (profileNameSize < BytesFor(*profile)) {
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    CopyWithTerminator(profileName, *profile);
    return TRUE;
}

BOOL WINAPI WcsAssociateColorProfileWithDevice(WCS_PROFILE_MANAGEMENT_SCOPE scope,
                                               PCWSTR profileName, PCWSTR deviceName) {
    auto& machine = ColorMachine();
    const DWORD refusal = AssociationRefusal(machine, scope, profileName, deviceName);
    RecordAssociation(machine, sim::AssociationChange::Associate, scope, profileName, deviceName,
                      refusal == ERROR_SUCCESS);
    if (refusal != ERROR_SUCCESS) {
        return Fail(refusal);
    }
    machine.Colors().Associate(scope, deviceName, sim::ProfileFileName(profileName));
    return TRUE;
}

BOOL WINAPI WcsDisassociateColorProfileFromDevice(WCS_PROFILE_MANAGEMENT_SCOPE scope,
                                                  PCWSTR profileName, PCWSTR deviceName) {
    auto& machine = ColorMachine();
    const DWORD refusal = DisassociationRefusal(machine, scope, profileName, deviceName);
    RecordAssociation(machine, sim::AssociationChange::Disassociate, scope, profileName, deviceName,
                      refusal == ERROR_SUCCESS);
    return refusal == ERROR_SUCCESS ? TRUE : Fail(refusal);
}

namespace sim {

FARPROC MscmsExport(std::string_view name) {
    static const NamedEntryPoint kEntryPoints[] = {
        {"OpenColorProfileW", AsFarProc(&OpenColorProfileW)},
        {"IsColorProfileValid", AsFarProc(&IsColorProfileValid)},
        {"CloseColorProfile", AsFarProc(&CloseColorProfile)},
        {"GetStandardColorSpaceProfileW", AsFarProc(&GetStandardColorSpaceProfileW)},
        {"GetColorDirectoryW", AsFarProc(&GetColorDirectoryW)},
        {"InstallColorProfileW", AsFarProc(&InstallColorProfileW)},
        {"WcsGetDefaultColorProfile", AsFarProc(&WcsGetDefaultColorProfile)},
        {"WcsAssociateColorProfileWithDevice", AsFarProc(&WcsAssociateColorProfileWithDevice)},
        {"WcsDisassociateColorProfileFromDevice",
         AsFarProc(&WcsDisassociateColorProfileFromDevice)},
    };
    return FindEntryPoint(kEntryPoints, name);
}

}  // namespace sim
