// The maker's hardware library (HardwareHal): channel gains and blue protect
// through information classes, and the SMBIOS values the library needs.
#pragma once

#include <windows.h>

#include <string>

int HalInit(int version, void** context);
int HalSetInformation(int version, void* context, int informationClass, void* data, int size,
                      DWORD* out);

class SmBiosHelper {
  public:
    static constexpr BYTE kDesktopChassis = 3;

    static SmBiosHelper& GetInstance();
    std::string GetOemBiosWhitePointInfo();
    BYTE GetSecType();

  private:
    SmBiosHelper() = default;
};
