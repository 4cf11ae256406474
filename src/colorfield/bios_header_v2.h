// Table header version 2: the LUT type (the colour field mode the table
// serves), the payload length and a 16-bit checksum over the header.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "colorfield/bios_header_base.h"

class BiosHeaderV2 : public BiosHeaderBase {
  public:
    ~BiosHeaderV2() override;

    // False for a short or null buffer (logged) and for a checksum mismatch
    // (not logged); the fields are filled in both cases once the length is right.
    bool Parse(const std::uint8_t* buf, std::size_t len) override;
    bool IsBiosHeaderDataValid(const std::uint8_t* buf, std::size_t len) override;
    bool IsCheckSumValid(const std::uint8_t* buf, std::size_t len) override;

    std::uint8_t GetLutType() const { return lutType_; }
    std::uint8_t GetSecondType() const { return secondType_; }
    std::uint32_t GetPayloadLength() const { return payloadLength_; }
    std::uint16_t GetCheckSum() const { return checkSum_; }

  private:
    bool ParseVersionFields(const std::uint8_t* buf, std::size_t& offset);
    bool ParseByte(const std::uint8_t* buf, std::size_t& offset, std::uint8_t& out) const;

    std::uint8_t lutType_ = 0;
    std::uint8_t secondType_ = 0;
    std::uint32_t payloadLength_ = 0;
    std::array<std::uint8_t, 56> reserved_{};
    std::uint16_t checkSum_ = 0;
};
