// The raw SMBIOS data that the firmware table provider 'RSMB' returns: an
// 8-byte header (calling method, major and minor version, DMI revision, 32-bit
// table length) and the structure table.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace services {

class SmbiosTable {
  public:
    explicit SmbiosTable(std::vector<std::uint8_t> raw) : raw_(std::move(raw)) {}

    // The firmware's table on Windows; empty when it cannot be read.
    static SmbiosTable FromFirmware();

    // System enclosure (type 3): the chassis type without its lock bit.
    std::optional<std::uint8_t> ChassisType() const;
    // System information (type 1): the family string, empty when absent.
    std::string SystemFamily() const;

  private:
    struct Structure {
        std::size_t start;    // offset of the header in raw_
        std::size_t length;   // of the formatted area
        std::size_t strings;  // offset of the first string
    };

    std::optional<Structure> Find(std::uint8_t type) const;
    std::optional<std::uint8_t> Byte(const Structure& structure, std::size_t offset) const;
    std::string String(const Structure& structure, std::uint8_t number) const;

    std::vector<std::uint8_t> raw_;
};

}  // namespace services
