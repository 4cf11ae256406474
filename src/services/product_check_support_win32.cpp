// The device code name on Windows: the maker's product component is not here,
// so the name comes from SMBIOS system information. Its Family string names
// the product line (a model's code name) rather than one configuration, which
// is what the library compares against.
#include "services/product_adapt_mgr.h"
#include "services/smbios_table.h"

std::string ProductCheckSupport::GetDeviceTypeEx() {
    return services::SmbiosTable::FromFirmware().SystemFamily();
}
