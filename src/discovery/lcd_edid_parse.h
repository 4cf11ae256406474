// LutHandle3D's copy of the panel identity, parsed from the EDID base block.
#pragma once

#include <cstdint>
#include <string>

class LcdEdidParse {
  public:
    static constexpr std::uint32_t kUnknown = 0xFFFFFFFF;

    LcdEdidParse();
    virtual ~LcdEdidParse();

    // False for fewer than 18 bytes (the identity is then untouched) or a
    // refused manufacturer id; the identity is reset before the id is read.
    bool ParseEdid(const unsigned char* data, unsigned int length);
    // The two manufacturer id bytes; a refusal leaves the vendor as it was.
    bool ParseEdidVendor(const unsigned char* data, unsigned int length);

    std::string GetVendor() const;        // "ABC#"
    std::string GetSerialNumber() const;  // 8 upper-case hexadecimal digits
    std::uint32_t GetWeek() const;        // kUnknown after a reset
    std::uint32_t GetYear() const;

  private:
    void Reset();

    std::string vendor_;
    std::string serialNumber_;
    std::uint32_t week_ = kUnknown;
    std::uint32_t year_ = kUnknown;
};
