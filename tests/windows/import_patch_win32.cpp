#include "import_patch_win32.h"

namespace tw_test {

namespace {

const IMAGE_IMPORT_DESCRIPTOR* FirstImport(const BYTE* image) {
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(image + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    return imports.VirtualAddress == 0
               ? nullptr
               : reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(image + imports.VirtualAddress);
}

bool Write(IMAGE_THUNK_DATA64& slot, const void* replacement) {
    DWORD previous = 0;
    if (!VirtualProtect(&slot, sizeof slot, PAGE_READWRITE, &previous)) {
        return false;
    }
    slot.u1.Function = reinterpret_cast<ULONGLONG>(replacement);
    VirtualProtect(&slot, sizeof slot, previous, &previous);
    return true;
}

// The names are read from the lookup table, which the loader leaves as
// the linker wrote it; the address table beside it holds the addresses.
bool ReplaceInDescriptor(BYTE* image, const IMAGE_IMPORT_DESCRIPTOR& descriptor,
                         const char* function, const void* replacement) {
    if (descriptor.OriginalFirstThunk == 0) {
        return false;
    }
    const auto* names =
        reinterpret_cast<const IMAGE_THUNK_DATA64*>(image + descriptor.OriginalFirstThunk);
    auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA64*>(image + descriptor.FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++addresses) {
        if (IMAGE_SNAP_BY_ORDINAL64(names->u1.Ordinal)) {
            continue;
        }
        const auto* byName =
            reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(image + names->u1.AddressOfData);
        if (lstrcmpA(reinterpret_cast<const char*>(byName->Name), function) == 0) {
            return Write(*addresses, replacement);
        }
    }
    return false;
}

}  // namespace

bool ReplaceImport(HMODULE module, const char* library, const char* function,
                   const void* replacement) {
    auto* image = reinterpret_cast<BYTE*>(module);
    for (const auto* d = FirstImport(image); d != nullptr && d->Name != 0; ++d) {
        if (lstrcmpiA(reinterpret_cast<const char*>(image + d->Name), library) == 0 &&
            ReplaceInDescriptor(image, *d, function, replacement)) {
            return true;
        }
    }
    return false;
}

}  // namespace tw_test
