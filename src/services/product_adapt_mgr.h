// The maker's product component (ProductAdaptMgr): the device's code name.
#pragma once

#include <string>

class ProductCheckSupport {
  public:
    // The device code name, possibly empty.
    static std::string GetDeviceTypeEx();
};
