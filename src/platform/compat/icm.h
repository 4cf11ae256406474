// Linux stand-in for <icm.h> (mscms): opening, validating and installing ICC
// profiles, and the Windows Color System associations of profiles with
// devices.
#pragma once

#include <windows.h>

// Distinct from every other handle type, as the other handles here.
struct HPROFILE__;
using HPROFILE = HPROFILE__*;

constexpr DWORD PROFILE_FILENAME = 1;
constexpr DWORD PROFILE_MEMBUFFER = 2;

constexpr DWORD PROFILE_READ = 1;
constexpr DWORD PROFILE_READWRITE = 2;

struct PROFILE {
    DWORD dwType;        // PROFILE_FILENAME or PROFILE_MEMBUFFER
    PVOID pProfileData;  // the file name, or the profile's bytes
    DWORD cbDataSize;    // in bytes, a file name's terminator included
};
using PPROFILE = PROFILE*;

enum COLORPROFILETYPE {
    CPT_ICC = 0,
    CPT_DMP = 1,
    CPT_CAMP = 2,
    CPT_GMMP = 3,
};

enum COLORPROFILESUBTYPE {
    CPST_PERCEPTUAL = 0,
    CPST_RELATIVE_COLORIMETRIC = 1,
    CPST_SATURATION = 2,
    CPST_ABSOLUTE_COLORIMETRIC = 3,
    CPST_NONE = 4,
    CPST_RGB_WORKING_SPACE = 5,
    CPST_CUSTOM_WORKING_SPACE = 6,
};

enum WCS_PROFILE_MANAGEMENT_SCOPE {
    WCS_PROFILE_MANAGEMENT_SCOPE_SYSTEM_WIDE = 0,
    WCS_PROFILE_MANAGEMENT_SCOPE_CURRENT_USER = 1,
};

HPROFILE WINAPI OpenColorProfileW(PPROFILE profile, DWORD desiredAccess, DWORD shareMode,
                                  DWORD creationMode);
BOOL WINAPI IsColorProfileValid(HPROFILE profile, PBOOL valid);
BOOL WINAPI CloseColorProfile(HPROFILE profile);

// `size` is in bytes, in and out.
BOOL WINAPI GetStandardColorSpaceProfileW(PCWSTR machineName, DWORD colorSpace, PWSTR profileName,
                                          PDWORD size);
BOOL WINAPI GetColorDirectoryW(PCWSTR machineName, PWSTR buffer, PDWORD size);
BOOL WINAPI InstallColorProfileW(PCWSTR machineName, PCWSTR profileName);

// `profileNameSize` is in bytes.
BOOL WINAPI WcsGetDefaultColorProfile(WCS_PROFILE_MANAGEMENT_SCOPE scope, PCWSTR deviceName,
                                      COLORPROFILETYPE profileType,
                                      COLORPROFILESUBTYPE profileSubType, DWORD profileId,
                                      DWORD profileNameSize, LPWSTR profileName);
BOOL WINAPI WcsAssociateColorProfileWithDevice(WCS_PROFILE_MANAGEMENT_SCOPE scope,
                                               PCWSTR profileName, PCWSTR deviceName);
BOOL WINAPI WcsDisassociateColorProfileFromDevice(WCS_PROFILE_MANAGEMENT_SCOPE scope,
                                                  PCWSTR profileName, PCWSTR deviceName);
