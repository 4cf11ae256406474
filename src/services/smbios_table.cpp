#include "services/smbios_table.h"

#include <algorithm>
#include <cstring>

namespace services {

namespace {

constexpr std::size_t kRawHeaderSize = 8;
constexpr std::size_t kRawLengthOffset = 4;
constexpr std::size_t kStructureHeaderSize = 4;
constexpr std::uint8_t kEndOfTable = 127;

constexpr std::uint8_t kSystemInformation = 1;
constexpr std::size_t kFamilyOffset = 0x1A;
constexpr std::uint8_t kSystemEnclosure = 3;
constexpr std::size_t kChassisTypeOffset = 0x05;
constexpr std::uint8_t kChassisLockBit = 0x80;

}  // namespace

std::optional<std::uint8_t> SmbiosTable::ChassisType() const {
    const auto enclosure = Find(kSystemEnclosure);
    if (!enclosure) {
        return std::nullopt;
    }
    const auto type = Byte(*enclosure, kChassisTypeOffset);
    return type ? std::optional<std::uint8_t>(*type & ~kChassisLockBit) : std::nullopt;
}

std::string SmbiosTable::SystemFamily() const {
    const auto system = Find(kSystemInformation);
    const auto family = system ? Byte(*system, kFamilyOffset) : std::nullopt;
    return family ? String(*system, *family) : std::string();
}

// Walks the structures: each is a formatted area of the length its header
// gives, followed by strings that end with an empty one (two zero bytes).
std::optional<SmbiosTable::Structure> SmbiosTable::Find(std::uint8_t type) const {
    if (raw_.size() < kRawHeaderSize) {
        return std::nullopt;
    }
    std::uint32_t declared = 0;
    std::memcpy(&declared, raw_.data() + kRawLengthOffset, sizeof declared);
    const std::size_t end =
        kRawHeaderSize + std::min<std::size_t>(declared, raw_.size() - kRawHeaderSize);
    for (std::size_t at = kRawHeaderSize; at + kStructureHeaderSize <= end;) {
        const std::uint8_t structureType = raw_[at];
        const std::size_t length = raw_[at + 1];
        if (length < kStructureHeaderSize || at + length > end) {
            return std::nullopt;
        }
        const Structure structure{at, length, at + length};
        if (structureType == type) {
            return structure;
        }
        if (structureType == kEndOfTable) {
            return std::nullopt;
        }
        std::size_t next = structure.strings;
        while (next + 1 < end && (raw_[next] != 0 || raw_[next + 1] != 0)) {
            ++next;
        }
        at = next + 2;
    }
    return std::nullopt;
}

std::optional<std::uint8_t> SmbiosTable::Byte(const Structure& structure,
                                              std::size_t offset) const {
    return offset < structure.length ? std::optional<std::uint8_t>(raw_[structure.start + offset])
                                     : std::nullopt;
}

// Strings are numbered from 1; 0 means none.
std::string SmbiosTable::String(const Structure& structure, std::uint8_t number) const {
    std::size_t at = structure.strings;
    for (std::uint8_t index = 1; number != 0 && at < raw_.size() && raw_[at] != 0; ++index) {
        const auto terminator =
            std::find(raw_.begin() + static_cast<std::ptrdiff_t>(at), raw_.end(), 0);
        const std::size_t stop = static_cast<std::size_t>(terminator - raw_.begin());
        if (index == number) {
            return std::string(raw_.begin() + static_cast<std::ptrdiff_t>(at), terminator);
        }
        at = stop + 1;
    }
    return std::string();
}

}  // namespace services
