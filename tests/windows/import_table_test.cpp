// TintwellDll.dll names in its import directories only libraries that
// Windows always takes from the system folder: the KnownDLLs, which the
// loader maps from its own section whatever the search order, and the API
// sets, which are names the loader resolves and never searches for. Any
// other library named there would be looked for in the front-end's folder
// first, where a planted copy would run with the front-end's rights.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

#include "../shared/test_platform.h"

namespace tw_test {

namespace {

// HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs of
// Windows 10 and 11, and ntdll, which every process has mapped first.
constexpr std::string_view kKnownDlls[] = {
    "advapi32.dll", "clbcatq.dll",  "combase.dll",  "comdlg32.dll", "coml2.dll",    "difxapi.dll",
    "gdi32.dll",    "gdiplus.dll",  "imagehlp.dll", "imm32.dll",    "kernel32.dll", "msctf.dll",
    "msvcrt.dll",   "normaliz.dll", "nsi.dll",      "ntdll.dll",    "ole32.dll",    "oleaut32.dll",
    "psapi.dll",    "rpcrt4.dll",   "sechost.dll",  "setupapi.dll", "shcore.dll",   "shell32.dll",
    "shlwapi.dll",  "user32.dll",   "wldap32.dll",  "ws2_32.dll",
};
constexpr std::string_view kApiSetPrefixes[] = {"api-ms-win-", "ext-ms-win-"};

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool AlwaysFromTheSystemFolder(const std::string& library) {
    const std::string name = Lowered(library);
    return std::find(std::begin(kKnownDlls), std::end(kKnownDlls), name) != std::end(kKnownDlls) ||
           std::any_of(std::begin(kApiSetPrefixes), std::end(kApiSetPrefixes),
                       [&](std::string_view prefix) { return name.starts_with(prefix); });
}

const IMAGE_DATA_DIRECTORY& Directory(const BYTE* image, int entry) {
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(image + dos->e_lfanew);
    return nt->OptionalHeader.DataDirectory[entry];
}

// The library names of the loaded image's import and delay-load
// descriptors, each list ending with an empty descriptor.
std::vector<std::string> ImportedLibraries(const BYTE* image) {
    std::vector<std::string> names;
    const IMAGE_DATA_DIRECTORY& imports = Directory(image, IMAGE_DIRECTORY_ENTRY_IMPORT);
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(image + imports.VirtualAddress);
         imports.VirtualAddress != 0 && d->Name != 0; ++d) {
        names.emplace_back(reinterpret_cast<const char*>(image + d->Name));
    }
    const IMAGE_DATA_DIRECTORY& delayed = Directory(image, IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT);
    for (auto* d =
             reinterpret_cast<const IMAGE_DELAYLOAD_DESCRIPTOR*>(image + delayed.VirtualAddress);
         delayed.VirtualAddress != 0 && d->DllNameRVA != 0; ++d) {
        names.emplace_back(reinterpret_cast<const char*>(image + d->DllNameRVA));
    }
    return names;
}

}  // namespace

TEST(ImportTable, TheDllImportsOnlyLibrariesTheSystemFolderAlwaysProvides) {
    const FrontEndLibrary library;
    ASSERT_TRUE(library.Loaded());
    const auto* image = reinterpret_cast<const BYTE*>(GetModuleHandleW(L"TintwellDll.dll"));
    ASSERT_NE(image, nullptr);
    const std::vector<std::string> names = ImportedLibraries(image);
    ASSERT_FALSE(names.empty());
    for (const std::string& name : names) {
        EXPECT_TRUE(AlwaysFromTheSystemFolder(name))
            << name << " is found through the search order";
    }
}

}  // namespace tw_test
