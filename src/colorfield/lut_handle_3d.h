// The factory 3D lookup tables of the panel's gamut modes. They come from
// the firmware, or from the golden file once the panel has been replaced;
// each is proved by its digest, its type and the panel it was measured on,
// kept on disk as one cache file per mode, converted once per process and
// loaded into the Intel driver.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "colorfield/bios_control_header.h"
#include "colorfield/bios_header_v2.h"
#include "discovery/lcd_edid_parse.h"

class LutHandle3D {
  public:
    using ByteString = std::vector<std::uint8_t>;

    // 17 x 17 x 17 entries of three 10-bit components, as the driver takes them.
    static constexpr std::size_t kLutEntryCount = 17 * 17 * 17;
    static constexpr std::uint32_t kLutDataSize = kLutEntryCount * sizeof(std::uint32_t);

    static LutHandle3D& Instance();

    LutHandle3D();
    virtual ~LutHandle3D();
    LutHandle3D(const LutHandle3D&) = delete;
    LutHandle3D& operator=(const LutHandle3D&) = delete;

    // Mode 0 switches the hardware table off; 1 to 3 load that mode's table.
    bool SetDisplayerLut3D(std::uint32_t mode);
    bool ResetDisplayerLut3D();
    // Refreshes the mode's cache file when it is stale; true when the panel
    // no longer matches the table or the refresh failed.
    bool IsLcdChanged(std::uint32_t mode);
    bool IsLcdDataValid();
    bool GetLcdEdidData();

    bool NeedUpdateLutTempBinFile3D(std::uint32_t mode);
    bool UpdateLutTempBinFile3D(std::uint32_t mode);
    bool GetSourceDataBlock(ByteString& block);
    bool GetBiosLutDataBlockSize(std::uint32_t& size);
    bool ReadBiosLutDataBlock(ByteString& block);
    std::string GetFullGoldenFilePath() const;
    bool ReadFile(const std::string& path, ByteString& out, std::size_t minimumLength);
    // Cuts the first table of the mode's type out of a block.
    bool GetOneLutDat3D(std::uint32_t mode, ByteString& block);
    bool IsLutTypeValid(std::uint32_t mode, const std::uint8_t* data, std::size_t length);
    bool IsLutDataValid3D(const ByteString& table);
    bool CreateLutDataFile3D(std::uint32_t mode, const ByteString& table);
    bool IsLutTempBinFileExist(std::uint32_t mode);
    bool ReadTempLutDataFile3D(std::uint32_t mode, ByteString& out);
    bool ParseOneLutDataFile3D(std::uint32_t mode, const std::uint8_t* data, std::size_t length);
    bool SetHardwareLut3D(const std::uint32_t* table, std::uint32_t size);
    bool RestoreHardwareLut3D(const std::uint32_t* table, std::uint32_t size);

    bool SetColorFieldGoldenFilePath(const char* path);
    bool SetColorFieldTempLutFilePath(const char* path);

    // A cache file's table in the driver's packed form.
    static void ConvertLutTable(const std::uint8_t* table, std::uint32_t* out);
    static void BuildIdentityLut3D(std::uint32_t* out);

  private:
    enum class DriverLoad { Set, Restore };
    enum class TypeCheck { Matches, OtherType, NoData, TooShort, Unparsable };

    TypeCheck CheckLutType(std::uint32_t mode, const std::uint8_t* data, std::size_t length);
    static void LogTypeRefusal(TypeCheck check, std::uint32_t mode, std::size_t length);

    void BuildLutFilePathMap();
    bool LoadHardwareLut3D(const std::uint32_t* table, std::uint32_t size, DriverLoad load);
    bool HasCachePath(std::uint32_t mode) const;

    // Held by each operation an export or the colour field reaches, for its
    // whole length: the converted tables, the cache paths, the golden switch
    // and the parsed headers change under a switch. Recursive, as the
    // operations call one another.
    std::recursive_mutex mutex_;
    bool useGoldenSource_ = false;
    BiosControlHeader controlHeader_;
    BiosHeaderV2 tableHeader_;
    LcdEdidParse edid_;
    bool edidParsed_ = false;
    std::map<std::uint32_t, std::string> lutFilePathMap_;
    std::map<std::uint32_t, std::unique_ptr<std::uint32_t[]>> lutDataCache_;
    // Verified tables whose cache file could not be written, for the switch
    // that verified them.
    std::map<std::uint32_t, ByteString> unwrittenTables_;
    std::string tempLutFilePath_;
    std::string goldenFilePath_;
};
