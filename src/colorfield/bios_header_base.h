// The 128-byte header at the start of every firmware LUT table. The first 64
// bytes (tag, version, carried text fields and the panel identity) are common
// to every header version; each version reads its own last 64 bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

class BiosHeaderBase {
  public:
    static constexpr std::size_t kLength = 128;
    static constexpr std::size_t kCommonLength = 64;

    virtual ~BiosHeaderBase();
    // `len` is the length available at `buf`.
    virtual bool Parse(const std::uint8_t* buf, std::size_t len) = 0;
    virtual bool IsBiosHeaderDataValid(const std::uint8_t* buf, std::size_t len) = 0;
    virtual bool IsCheckSumValid(const std::uint8_t* buf, std::size_t len) = 0;

    // Each text field as stored, at its full width; serial number and vendor
    // upper-cased (ASCII letters only), as they are compared with the EDID.
    std::string GetTag() const;
    std::string GetVersion() const;
    std::string GetText(std::size_t index) const;  // the carried fields 0 ... 9
    std::string GetSerialNumber() const;
    std::string GetYear() const;
    std::string GetWeek() const;
    std::string GetVendor() const;

  protected:
    static constexpr std::size_t kTextCount = 10;

    void ResetCommon();
    // Copies the common part; `offset` ends at 64.
    bool ParseImpl(const std::uint8_t* buf, std::size_t len, std::size_t& offset);
    // Range checks against the header's 128 bytes: Parse has made sure they
    // are there before any field is read.
    bool CopyData(std::span<std::uint8_t> dst, std::size_t length, const std::uint8_t* buf,
                  std::size_t& offset) const;
    bool ParseBinaryData(const std::uint8_t* buf, std::size_t& offset, std::uint16_t& out) const;
    bool ParseBinaryData(const std::uint8_t* buf, std::size_t& offset, std::uint32_t& out) const;

  private:
    bool CopyCommonFields(const std::uint8_t* buf, std::size_t& offset);

    std::array<std::uint8_t, 4> tag_{};
    std::array<std::uint8_t, 2> version_{};
    std::array<std::array<std::uint8_t, 4>, kTextCount> texts_{};
    std::array<std::uint8_t, 8> serialNumber_{};
    std::array<std::uint8_t, 4> year_{};
    std::array<std::uint8_t, 2> week_{};
    std::array<std::uint8_t, 4> vendor_{};
};
