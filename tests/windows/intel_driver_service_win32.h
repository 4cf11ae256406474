// The Intel graphics driver's COM class for the tests under Wine, which has
// none: registered in this process, it hands out driver objects that know
// one device and take every ramp and feature table. It counts the objects
// still alive, so a test sees what the library keeps and what it lets go.
#pragma once

#include <windows.h>

namespace tw_test {

class IntelDriverService {
  public:
    // Registers the class object for the multithreaded apartment; the
    // calling thread must be in it.
    IntelDriverService();
    ~IntelDriverService();
    IntelDriverService(const IntelDriverService&) = delete;
    IntelDriverService& operator=(const IntelDriverService&) = delete;

    bool Registered() const { return cookie_ != 0; }
    static long LiveObjects();
    static long FeatureTables();

  private:
    DWORD cookie_ = 0;
};

}  // namespace tw_test
