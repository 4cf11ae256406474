// Colour gamut switching through ICC profiles, DDC/CI and the firmware 3D LUT.
#pragma once

#include <cstdint>
#include <string>

class ColorField {
  public:
    static ColorField& Instance();
    virtual ~ColorField();
    ColorField(const ColorField&) = delete;
    ColorField& operator=(const ColorField&) = delete;

    // 0 when the ICC file exists and matches its record in the digest file;
    // 1 when the ICC file is missing; 2 when the digest file is missing or
    // the digests differ.
    int CheckIsIccFileNormal(const std::string& iccPath, const std::string& digestPath);

    // Only the firmware table road (set type 1) knows of a changed panel:
    // true when the mode's table no longer matches the panel.
    bool IsLcdChanged(std::uint32_t mode, std::uint32_t setType);

  private:
    ColorField() = default;
};
