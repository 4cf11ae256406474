// The machine's loader as Windows documents LoadLibraryExW with
// LOAD_LIBRARY_SEARCH_SYSTEM32: a bare name is looked for in the system
// folder, a full path only where it points, and the arguments Windows
// refuses are refused with its error.
#include <windows.h>

#include "../shared/test_platform.h"
#include "desktop_test_machines.h"
#include "sim/error_codes.h"

namespace tw_test {

namespace {

constexpr DWORD kSystem32 = LOAD_LIBRARY_SEARCH_SYSTEM32;
constexpr DWORD kAlteredSearchPath = 0x00000008;
constexpr DWORD kDllLoadDir = 0x00000100;
constexpr DWORD kAsDataFile = 0x00000002;
constexpr DWORD kLoads = ERROR_SUCCESS;

}  // namespace

using SystemLibraryLoad = ExportTest;

TEST_F(SystemLibraryLoad, LoadLibraryExWFindsTheSystemFolderAndRefusesWhatWindowsRefuses) {
    struct Case {
        const wchar_t* name;
        HANDLE file;
        DWORD flags;
        DWORD error;
    };
    const Case cases[] = {
        {L"mscms.dll", nullptr, kSystem32, kLoads},
        {L"DXVA2.DLL", nullptr, kSystem32, kLoads},
        {L"C:\\Windows\\System32\\gdi32.dll", nullptr, kSystem32, kLoads},
        {L"mscms.dll", nullptr, 0, kLoads},
        {L"C:\\Program Files\\Front-end\\mscms.dll", nullptr, kSystem32, ERROR_MOD_NOT_FOUND},
        {L"planted\\mscms.dll", nullptr, kSystem32, ERROR_MOD_NOT_FOUND},
        {L"bcrypt.dll", nullptr, kSystem32, ERROR_MOD_NOT_FOUND},
        {nullptr, nullptr, kSystem32, ERROR_INVALID_PARAMETER},
        {L"mscms.dll", reinterpret_cast<HANDLE>(4), kSystem32, ERROR_INVALID_PARAMETER},
        {L"mscms.dll", nullptr, kSystem32 | kAlteredSearchPath, ERROR_INVALID_PARAMETER},
        {L"mscms.dll", nullptr, kDllLoadDir, ERROR_INVALID_PARAMETER},
        {L"mscms.dll", nullptr, kAsDataFile, sim::kErrorNotSupported},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.name ? c.name : L"(null)") << " " << c.flags);
        SetLastError(ERROR_SUCCESS);
        const HMODULE module = LoadLibraryExW(c.name, c.file, c.flags);
        EXPECT_EQ(module != nullptr, c.error == kLoads);
        EXPECT_EQ(GetLastError(), c.error);
        if (module != nullptr) {
            EXPECT_TRUE(FreeLibrary(module));
        }
    }
    for (const auto library :
         {sim::SystemLibrary::Gdi32, sim::SystemLibrary::Dxva2, sim::SystemLibrary::Mscms}) {
        EXPECT_EQ(Displays().LibraryReferences(library), 0);
    }
}

}  // namespace tw_test
