// Any bytes as the firmware's raw SMBIOS data: walking its structures to the
// enclosure and the system information, and reading their strings, never
// reads outside the table; a string read is never longer than the table.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "services/smbios_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const services::SmbiosTable table(std::vector<std::uint8_t>(data, data + size));
    table.ChassisType();
    if (table.SystemFamily().size() > size) {
        std::abort();
    }
    return 0;
}
