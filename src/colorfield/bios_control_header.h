// The 16-byte control header in front of the firmware's LUT tables: where the
// first table starts, how many tables follow and how large each one is.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

class BiosControlHeader {
  public:
    static constexpr std::size_t kLength = 16;

    virtual ~BiosControlHeader();

    // `len` is the length available at `buf`; false for a short or null
    // buffer (logged) and for a checksum mismatch (not logged).
    bool Parse(const std::uint8_t* buf, std::size_t len);

    std::uint16_t GetHeaderLength() const { return headerLength_; }
    std::uint16_t GetTableCount() const { return tableCount_; }
    std::uint32_t GetTableSize() const { return tableSize_; }
    std::uint16_t GetCheckSum() const { return checkSum_; }

  private:
    bool IsBiosControlDataValid(const std::uint8_t* buf, std::size_t len) const;
    bool ParseFields(const std::uint8_t* buf);
    bool ReadNumber(const std::uint8_t* buf, std::size_t& offset, std::size_t width,
                    std::uint32_t& out) const;
    bool IsCheckSumValid(const std::uint8_t* buf) const;

    std::array<std::uint8_t, 4> tag_{};
    std::uint16_t headerLength_ = 0;
    std::uint16_t tableCount_ = 0;
    std::uint32_t tableSize_ = 0;
    std::array<std::uint8_t, 2> reserved_{};
    std::uint16_t checkSum_ = 0;
};
