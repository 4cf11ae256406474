// Table header version 1: the common part, then its checksum as decimal text
// (the byte sum of the common part modulo 256) and raw bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "colorfield/bios_header_base.h"

class BiosHeaderV1 : public BiosHeaderBase {
  public:
    ~BiosHeaderV1() override;

    bool Parse(const std::uint8_t* buf, std::size_t len) override;
    bool IsBiosHeaderDataValid(const std::uint8_t* buf, std::size_t len) override;
    bool IsCheckSumValid(const std::uint8_t* buf, std::size_t len) override;

    // The checksum text: the version bytes up to the first zero among them.
    std::string GetCheckSumText() const;

  private:
    std::array<std::uint8_t, 2> checkSum_{};
    std::array<std::uint8_t, 62> rest_{};
};
