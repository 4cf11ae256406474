#include <windows.h>

#include "services/smbios_table.h"

namespace services {

namespace {

// The provider signature 'RSMB', most significant byte first.
constexpr DWORD kRawSmbiosProvider = ('R' << 24) | ('S' << 16) | ('M' << 8) | 'B';

}  // namespace

SmbiosTable SmbiosTable::FromFirmware() {
    const UINT size = GetSystemFirmwareTable(kRawSmbiosProvider, 0, nullptr, 0);
    std::vector<std::uint8_t> raw(size);
    if (size == 0 || GetSystemFirmwareTable(kRawSmbiosProvider, 0, raw.data(), size) != size) {
        raw.clear();
    }
    return SmbiosTable(std::move(raw));
}

}  // namespace services
