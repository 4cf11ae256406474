// The factory white point record as parsed from its text: the panel's
// measured white and primaries (times 10000) and the identity of the panel
// that was measured.
#pragma once

#include <cstdint>
#include <string>

struct WhitePointAdjustInfo {
    std::string header1;
    std::string header2;
    std::uint32_t whiteX = 0;
    std::uint32_t whiteY = 0;
    std::uint32_t redX = 0;
    std::uint32_t redY = 0;
    std::uint32_t greenX = 0;
    std::uint32_t greenY = 0;
    std::uint32_t blueX = 0;
    std::uint32_t blueY = 0;
    std::uint32_t value9 = 0;
    std::uint32_t value10 = 0;
    std::string serialNumber;
    std::string year;
    std::string week;
    std::string manufacturerId;
    std::uint16_t checksum = 0;
    std::string trailing;

    void Clear() { *this = WhitePointAdjustInfo{}; }
};
