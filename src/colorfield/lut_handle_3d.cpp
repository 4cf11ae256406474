#include "colorfield/lut_handle_3d.h"

#include <windows.h>
#include <openssl/sha.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <exception>
#include <new>
#include <optional>

#include "colorfield/full_path.h"
#include "colorfield/sha256_interface.h"
#include "discovery/display_type.h"
#include "discovery/edid_registry.h"
#include "log/log_line.h"
#include "platform/files.h"
#include "services/basic_lib.h"
#include "temperature/intel_driver_manager.h"
#include "util/text_conversion.h"

namespace {

constexpr const char* kDefaultCacheFolder = "C:\\ProgramData\\Vozaz\\OrvLumivex\\";
struct CacheFileNames {
    std::uint32_t mode;
    const char* normal;
    const char* golden;
};
constexpr std::array<CacheFileNames, 3> kCacheFileNames{{
    {1, "sRGB.bin", "GoldensRGB.bin"},
    {2, "P3.bin", "GoldenP3.bin"},
    {3, "Adobe.bin", "GoldenAdobe.bin"},
}};

constexpr DWORD kAcpiProvider = 0x41435049;  // 'ACPI'
constexpr DWORD kLutTableId = 0x54554C44;    // the table whose signature reads "DLUT"
constexpr std::uint32_t kFirmwareBlockLimit = 131125;
constexpr std::uint64_t kMaxLutFileSize = 131072;
constexpr std::size_t kGoldenFileMinimum = 24741;
constexpr std::size_t kCacheFileMinimum = 24725;
// The golden file lacks the firmware's table header; this many '0'
// characters stand in for it so that one parser serves both sources.
constexpr std::size_t kAcpiHeaderLength = 52;
constexpr char kPadding = '0';
constexpr std::size_t kTableHeaderLength = 128;
constexpr std::size_t kDigestLength = 32;
constexpr std::size_t kExtraByteOffset = 19780;
// The packed words, then one extra byte per entry.
constexpr std::uint32_t kPayloadLength = LutHandle3D::kLutDataSize + LutHandle3D::kLutEntryCount;
static_assert(kExtraByteOffset == kTableHeaderLength + LutHandle3D::kLutDataSize);
constexpr DWORD kModuleNameCharacters = 261;

constexpr GUID kLut3DFeature = {
    0x6E746EAA, 0xBDDE, 0x4B18, {0xAB, 0x4C, 0xB3, 0x73, 0x53, 0xDF, 0xFC, 0xA0}};
constexpr std::size_t kDriverHeaderWords = 11;
constexpr std::size_t kDeviceIdWord = 9;
constexpr std::size_t kLoadWord = 5;
constexpr std::size_t kRestoreWord = 10;

std::wstring Wide(const std::string& path) {
    return AnsiToWide(path);
}

std::string ResolvedOrAsGiven(const std::string& path) {
    const auto full = FullPath(Wide(path));
    return full ? WideToAnsi(*full) : path;
}

// The 44-byte header of a table load: words 0 and 8 are 1, word 9 the device.
std::vector<std::uint8_t> DriverHeader(std::int32_t deviceId, bool restore) {
    std::array<std::uint32_t, kDriverHeaderWords> words{};
    words[0] = 1;
    words[8] = 1;
    words[kDeviceIdWord] = static_cast<std::uint32_t>(deviceId);
    words[kLoadWord] = restore ? 0 : 1;
    words[kRestoreWord] = restore ? 1 : 0;
    std::vector<std::uint8_t> header(sizeof(words));
    std::memcpy(header.data(), words.data(), header.size());
    return header;
}

std::uint32_t BigEndianWord(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) << 24 | static_cast<std::uint32_t>(bytes[1]) << 16 |
           static_cast<std::uint32_t>(bytes[2]) << 8 | bytes[3];
}

// Week and year are decimal text in the table header; a text without digits
// throws, as the caller expects.
std::int64_t DecimalNumber(const std::string& text) {
    return std::stoi(text);
}

}  // namespace

LutHandle3D& LutHandle3D::Instance() {
    static LutHandle3D instance;
    return instance;
}

LutHandle3D::LutHandle3D() {
    BuildLutFilePathMap();
}

LutHandle3D::~LutHandle3D() = default;

// Each cache path is resolved once, here, so that the existence check, the
// read and the write all name the same file. A path that does not resolve
// stays as it is and fails at its first use.
void LutHandle3D::BuildLutFilePathMap() {
    const std::string folder = tempLutFilePath_.empty() ? kDefaultCacheFolder : tempLutFilePath_;
    for (const auto& names : kCacheFileNames) {
        lutFilePathMap_[names.mode] =
            ResolvedOrAsGiven(folder + (useGoldenSource_ ? names.golden : names.normal));
    }
}

bool LutHandle3D::HasCachePath(std::uint32_t mode) const {
    return lutFilePathMap_.contains(mode);
}

bool LutHandle3D::SetDisplayerLut3D(std::uint32_t mode) {
    const std::lock_guard lock(mutex_);
    try {
        if (discovery::GetDisplayType() == discovery::kNoDisplayType) {
            Log(log_level::kError, "LutHandle3D::SetDisplayerLut3D")
                << L"Display Type not found! mode:" << mode;
            return false;
        }
        if (mode == 0) {
            return ResetDisplayerLut3D();
        }
        if (const auto cached = lutDataCache_.find(mode); cached != lutDataCache_.end()) {
            return SetHardwareLut3D(cached->second.get(), kLutDataSize);
        }
        // A mode without a table must not count as a replaced panel: that
        // would switch the whole process to the golden source for good.
        if (!HasCachePath(mode)) {
            Log(log_level::kError, "LutHandle3D::SetDisplayerLut3D")
                << L"Temp bin file not exist! mode not found! mode:" << mode;
            return false;
        }
        if (IsLcdChanged(mode)) {
            unwrittenTables_.erase(mode);
            useGoldenSource_ = true;
            BuildLutFilePathMap();
            Log(log_level::kTrace, "LutHandle3D::SetDisplayerLut3D") << L"Lcd changed!";
        }
        if (useGoldenSource_ && NeedUpdateLutTempBinFile3D(mode) && !UpdateLutTempBinFile3D(mode)) {
            Log(log_level::kError, "LutHandle3D::SetDisplayerLut3D")
                << L"UpdateLutTempBinFile3D Failed! mode:" << mode;
            return false;
        }
        const auto unwritten = unwrittenTables_.extract(mode);
        ByteString table;
        if (unwritten) {
            table = std::move(unwritten.mapped());
        } else if (!ReadTempLutDataFile3D(mode, table)) {
            Log(log_level::kError, "LutHandle3D::SetDisplayerLut3D")
                << L"ReadLutDataFile Failed! mode:" << mode;
            return false;
        }
        if (!ParseOneLutDataFile3D(mode, table.data(), table.size())) {
            return false;
        }
        const bool loaded = SetHardwareLut3D(lutDataCache_.at(mode).get(), kLutDataSize);
        // Kept only once its cache file exists: the next switch writes it.
        if (unwritten) {
            lutDataCache_.erase(mode);
        }
        return loaded;
    } catch (const std::exception& error) {
        Log(log_level::kError, "LutHandle3D::SetDisplayerLut3D")
            << L"SetDisplayerLut3D exception:" << AnsiToWide(error.what()) << L", mode:" << mode;
        return false;
    }
}

bool LutHandle3D::ResetDisplayerLut3D() {
    const std::lock_guard lock(mutex_);
    try {
        std::unique_ptr<std::uint32_t[]> identity(new (std::nothrow) std::uint32_t[kLutEntryCount]);
        if (!identity) {
            Log(log_level::kError, "LutHandle3D::ResetDisplayerLut3D") << L"pLutData is nullptr!";
            return false;
        }
        BuildIdentityLut3D(identity.get());
        return SetHardwareLut3D(identity.get(), kLutDataSize) &&
               RestoreHardwareLut3D(identity.get(), kLutDataSize);
    } catch (const std::exception& error) {
        Log(log_level::kError, "LutHandle3D::ResetDisplayerLut3D")
            << L"ResetDisplayerLut3D exception:" << AnsiToWide(error.what());
        return false;
    }
}

bool LutHandle3D::IsLcdChanged(std::uint32_t mode) {
    const std::lock_guard lock(mutex_);
    GetLcdEdidData();
    if (NeedUpdateLutTempBinFile3D(mode) && !UpdateLutTempBinFile3D(mode)) {
        Log(log_level::kError, "LutHandle3D::IsLcdChanged")
            << L"UpdateLutTempBinFile3D Failed! mode:" << mode;
        return true;
    }
    return !IsLcdDataValid();
}

bool LutHandle3D::IsLcdDataValid() {
    const std::string week = tableHeader_.GetWeek();
    const std::string year = tableHeader_.GetYear();
    try {
        const std::string serial = tableHeader_.GetSerialNumber();
        const std::string vendor = tableHeader_.GetVendor();
        if (serial == edid_.GetSerialNumber() && vendor == edid_.GetVendor() &&
            DecimalNumber(week) == edid_.GetWeek() && DecimalNumber(year) == edid_.GetYear()) {
            return true;
        }
        Log(log_level::kError, "LutHandle3D::IsLcdDataValid")
            << L"LCD Invalid! Bios SN:" << serial << L" , Edid SN:" << edid_.GetSerialNumber()
            << L" , Bios Vendor:" << vendor << L" , Edid Vendor:" << edid_.GetVendor()
            << L" , Bios Week:" << week << L" , Edid Week:" << edid_.GetWeek() << L" , Bios Year:"
            << year << L" , Edid Year:" << edid_.GetYear();
        return false;
    } catch (const std::exception& error) {
        Log(log_level::kError, "LutHandle3D::IsLcdDataValid")
            << L"IsLcdDataValid exception,msg:" << AnsiToWide(error.what())
            << L" , biosHeaderV2 Week:" << week << L" , biosHeaderV2 Year:" << year;
        return false;
    }
}

bool LutHandle3D::GetLcdEdidData() {
    if (edidParsed_) {
        return true;
    }
    try {
        const auto edid = discovery::ReadEdidValue(discovery::EdidOwner::LutHandle3D);
        if (!edid) {
            return false;
        }
        edidParsed_ = edid_.ParseEdid(edid->data(), static_cast<unsigned int>(edid->size()));
        return edidParsed_;
    } catch (const std::exception& error) {
        Log(log_level::kError, "LutHandle3D::GetLcdEdidData")
            << L"GetLcdEdidData exception:" << AnsiToWide(error.what());
        return false;
    }
}

bool LutHandle3D::NeedUpdateLutTempBinFile3D(std::uint32_t mode) {
    ByteString table;
    return !(IsLutTempBinFileExist(mode) && ReadTempLutDataFile3D(mode, table) &&
             IsLutDataValid3D(table) && IsLutTypeValid(mode, table.data(), table.size()));
}

bool LutHandle3D::UpdateLutTempBinFile3D(std::uint32_t mode) {
    try {
        ByteString block;
        if (!GetSourceDataBlock(block) || !GetOneLutDat3D(mode, block)) {
            return false;
        }
        if (!IsLutDataValid3D(block)) {
            Log(log_level::kError, "LutHandle3D::UpdateLutTempBinFile3D")
                << L"Bios 3D Lut Data invalid! mode:" << mode;
            return false;
        }
        if (!IsLutTypeValid(mode, block.data(), block.size())) {
            Log(log_level::kError, "LutHandle3D::UpdateLutTempBinFile3D")
                << L"Bios 3D Lut Type invalid! mode:" << mode;
            return false;
        }
        // A cache file that cannot be written says nothing of the panel: the
        // verified table serves this switch from memory, and the write is
        // tried again at the next.
        if (!CreateLutDataFile3D(mode, block)) {
            Log(log_level::kError, "LutHandle3D::UpdateLutTempBinFile3D")
                << L"CreateLutDataFile3D Failed! mode:" << mode;
            unwrittenTables_[mode] = std::move(block);
            return true;
        }
        unwrittenTables_.erase(mode);
        const std::string& path = lutFilePathMap_.at(mode);
        if (EnableFileUsersPriviledge(path) == kEnableFileUsersPriviledgeFailed) {
            Log(log_level::kWarning, "LutHandle3D::UpdateLutTempBinFile3D")
                << L"EnableFileUsersPriviledge Failed! fileName:" << Wide(path);
        }
        return true;
    } catch (const std::exception& error) {
        Log(log_level::kError, "LutHandle3D::UpdateLutTempBinFile3D")
            << L"UpdateLutTempBinFile3D exception:" << AnsiToWide(error.what()) << L" ,mode:"
            << mode;
        return false;
    }
}

bool LutHandle3D::GetSourceDataBlock(ByteString& block) {
    if (useGoldenSource_) {
        ByteString golden;
        if (!ReadFile(GetFullGoldenFilePath(), golden, kGoldenFileMinimum)) {
            return false;
        }
        block.assign(kAcpiHeaderLength, kPadding);
        block.insert(block.end(), golden.begin(), golden.end());
        return true;
    }
    std::uint32_t size = 0;
    if (!GetBiosLutDataBlockSize(size)) {
        Log(log_level::kError, "LutHandle3D::GetSourceDataBlock")
            << L"GetBiosLutDataBlockSize Failed!";
        return false;
    }
    block.assign(size, kPadding);
    if (!ReadBiosLutDataBlock(block)) {
        Log(log_level::kError, "LutHandle3D::GetSourceDataBlock")
            << L"ReadBiosLutDataBlock Failed!";
        return false;
    }
    return true;
}

bool LutHandle3D::GetBiosLutDataBlockSize(std::uint32_t& size) {
    size = GetSystemFirmwareTable(kAcpiProvider, kLutTableId, nullptr, 0);
    if (size < kFirmwareBlockLimit) {
        return true;
    }
    Log(log_level::kError, "LutHandle3D::GetBiosLutDataBlockSize")
        << L"Firmware Table bufferSize over max size!bufferSize:" << size;
    return false;
}

bool LutHandle3D::ReadBiosLutDataBlock(ByteString& block) {
    const auto length = static_cast<DWORD>(block.size());
    const UINT read = GetSystemFirmwareTable(kAcpiProvider, kLutTableId, block.data(), length);
    if (read != 0 && read <= length) {
        return true;
    }
    Log(log_level::kError, "LutHandle3D::ReadBiosLutDataBlock")
        << L"GetSystemFirmwareTable Failed! Error Code:" << GetLastError();
    return false;
}

std::string LutHandle3D::GetFullGoldenFilePath() const {
    std::array<wchar_t, kModuleNameCharacters> module{};
    GetModuleFileNameW(nullptr, module.data(), kModuleNameCharacters);
    std::wstring folder(module.data());
    folder = folder.substr(0, folder.find_last_of(L'\\'));
    const std::string path = ResolvedOrAsGiven(WideToAnsi(folder) + goldenFilePath_);
    Log(log_level::kTrace, "LutHandle3D::GetFullGoldenFilePath")
        << L"Read Data File:" << Wide(path);
    return path;
}

bool LutHandle3D::ReadFile(const std::string& path, ByteString& out, std::size_t minimumLength) {
    platform::SharedFileReader file(Wide(Sha256Interface::CanonicalizePath(path)));
    if (!file.IsOpen()) {
        Log(log_level::kError, "LutHandle3D::ReadFile")
            << L"Open 3D LUT Data File Failed! fileName:" << Wide(path);
        return false;
    }
    const std::uint64_t size = file.Size();
    if (size > kMaxLutFileSize) {
        Log(log_level::kError, "LutHandle3D::ReadFile")
            << L"LUT Data File over max block size! fileName:" << Wide(path);
        return false;
    }
    out.resize(static_cast<std::size_t>(size));
    if (out.size() < minimumLength) {
        Log(log_level::kError, "LutHandle3D::ReadFile")
            << L"3D LUT Data File Len Error! fileName:" << Wide(path);
        return false;
    }
    // A file cut short while it is read gives no table at all.
    return file.Read(out.data(), out.size()) == out.size();
}

bool LutHandle3D::GetOneLutDat3D(std::uint32_t mode, ByteString& block) {
    // The control header sits behind the firmware's table header: the block
    // must hold both before either is read.
    if (block.size() < kAcpiHeaderLength + BiosControlHeader::kLength) {
        Log(log_level::kError, "LutHandle3D::GetOneLutDat3D") << L"Data error!mode:" << mode;
        return false;
    }
    if (!controlHeader_.Parse(block.data() + kAcpiHeaderLength, BiosControlHeader::kLength)) {
        Log(log_level::kError, "LutHandle3D::GetOneLutDat3D") << L"biosControlHeader Parse Failed!";
        return false;
    }
    // In 64 bits: a count times a size must not wrap past the bounds check.
    const std::uint64_t first = kAcpiHeaderLength + std::uint64_t{controlHeader_.GetHeaderLength()};
    const std::uint64_t tableSize = controlHeader_.GetTableSize();
    const std::uint64_t tableCount = controlHeader_.GetTableCount();
    if (tableSize == 0 || block.size() < first + tableCount * tableSize) {
        Log(log_level::kError, "LutHandle3D::GetOneLutDat3D") << L"3D Lut Table len error!";
        return false;
    }
    // A block may announce thousands of tables: it is refused with the
    // first table's reason alone, not a line per table.
    std::optional<TypeCheck> firstRefusal;
    for (std::uint64_t index = 0; index < tableCount; ++index) {
        const auto offset = static_cast<std::size_t>(first + index * tableSize);
        const TypeCheck check =
            CheckLutType(mode, block.data() + offset, static_cast<std::size_t>(tableSize));
        if (check == TypeCheck::Matches) {
            block = ByteString(block.begin() + static_cast<std::ptrdiff_t>(offset),
                               block.begin() + static_cast<std::ptrdiff_t>(offset + tableSize));
            return true;
        }
        if (check != TypeCheck::OtherType && !firstRefusal) {
            firstRefusal = check;
        }
    }
    if (firstRefusal) {
        LogTypeRefusal(*firstRefusal, mode, static_cast<std::size_t>(tableSize));
    }
    return false;
}

LutHandle3D::TypeCheck LutHandle3D::CheckLutType(std::uint32_t mode, const std::uint8_t* data,
                                                 std::size_t length) {
    if (data == nullptr) {
        return TypeCheck::NoData;
    }
    if (length < kTableHeaderLength) {
        return TypeCheck::TooShort;
    }
    if (!tableHeader_.Parse(data, length)) {
        return TypeCheck::Unparsable;
    }
    return tableHeader_.GetLutType() == mode ? TypeCheck::Matches : TypeCheck::OtherType;
}

void LutHandle3D::LogTypeRefusal(TypeCheck check, std::uint32_t mode, std::size_t length) {
    const wchar_t* text = nullptr;
    switch (check) {
        case TypeCheck::NoData:
            text = L"3DLut data pLutData3D is nullptr!mode:";
            break;
        case TypeCheck::TooShort:
            text = L"3DLut data buffLen error!mode:";
            break;
        case TypeCheck::Unparsable:
            text = L"biosHeaderV2 Parse Failed!mode:";
            break;
        case TypeCheck::Matches:
        case TypeCheck::OtherType:
            return;
    }
    Log(log_level::kError, "LutHandle3D::IsLutTypeValid")
        << text << mode << L", buffLen:" << length;
}

bool LutHandle3D::IsLutTypeValid(std::uint32_t mode, const std::uint8_t* data, std::size_t length) {
    const TypeCheck check = CheckLutType(mode, data, length);
    LogTypeRefusal(check, mode, length);
    return check == TypeCheck::Matches;
}

bool LutHandle3D::IsLutDataValid3D(const ByteString& table) {
    if (table.size() < kTableHeaderLength) {
        Log(log_level::kError, "LutHandle3D::IsLutDataValid3D") << L"3D Lut data error!";
        return false;
    }
    if (!tableHeader_.Parse(table.data(), table.size())) {
        return false;
    }
    // The digest covers the header and P payload bytes, while the conversion
    // reads the whole layout: a header claiming less would have its digest
    // vouch for a table it never covered.
    if (tableHeader_.GetPayloadLength() != kPayloadLength) {
        Log(log_level::kError, "LutHandle3D::IsLutDataValid3D")
            << L"Lut Data Len error! payload length:" << tableHeader_.GetPayloadLength()
            << L", expected:" << kPayloadLength;
        return false;
    }
    const std::uint64_t signedLength =
        kTableHeaderLength + std::uint64_t{tableHeader_.GetPayloadLength()};
    if (table.size() < signedLength + kDigestLength) {
        Log(log_level::kError, "LutHandle3D::IsLutDataValid3D") << L"Lut Data Len error!";
        return false;
    }
    std::array<unsigned char, SHA256_DIGEST_LENGTH> digest{};
    SHA256(table.data(), static_cast<std::size_t>(signedLength), digest.data());
    return std::equal(digest.begin(), digest.end(),
                      table.begin() + static_cast<std::ptrdiff_t>(signedLength));
}

bool LutHandle3D::CreateLutDataFile3D(std::uint32_t mode, const ByteString& table) {
    const auto path = lutFilePathMap_.find(mode);
    if (path == lutFilePathMap_.end()) {
        Log(log_level::kError, "LutHandle3D::CreateLutDataFile3D")
            << L"CreateLutDataFile3D error,Lut Type error! type:"
            << static_cast<unsigned>(tableHeader_.GetLutType());
        return false;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(table.data()), table.size());
    if (!platform::WriteWholeFile(Wide(path->second), bytes)) {
        Log(log_level::kError, "LutHandle3D::CreateLutDataFile3D")
            << L"Open 3D LUT Data File Failed! fileName:" << Wide(path->second);
        return false;
    }
    return true;
}

bool LutHandle3D::IsLutTempBinFileExist(std::uint32_t mode) {
    const auto path = lutFilePathMap_.find(mode);
    if (path == lutFilePathMap_.end()) {
        Log(log_level::kError, "LutHandle3D::IsLutTempBinFileExist")
            << L"Temp bin file not exist! mode not found! mode:" << mode;
        return false;
    }
    return platform::FileExists(Wide(path->second));
}

bool LutHandle3D::ReadTempLutDataFile3D(std::uint32_t mode, ByteString& out) {
    const auto path = lutFilePathMap_.find(mode);
    if (path == lutFilePathMap_.end()) {
        Log(log_level::kError, "LutHandle3D::ReadTempLutDataFile3D")
            << L"ReadTempLutDataFile error,mode not found!mode:" << mode;
        return false;
    }
    return ReadFile(path->second, out, kCacheFileMinimum);
}

bool LutHandle3D::ParseOneLutDataFile3D(std::uint32_t mode, const std::uint8_t* data,
                                        std::size_t length) {
    if (data == nullptr || length < kCacheFileMinimum) {
        Log(log_level::kError, "LutHandle3D::ParseOneLutDataFile3D")
            << L"LutDataFile Error!mode:" << mode;
        return false;
    }
    std::unique_ptr<std::uint32_t[]> converted(new (std::nothrow) std::uint32_t[kLutEntryCount]);
    if (!converted) {
        Log(log_level::kError, "LutHandle3D::ParseOneLutDataFile3D")
            << L"pLutData3D is nullptr!mode:" << mode;
        return false;
    }
    ConvertLutTable(data, converted.get());
    lutDataCache_.emplace(mode, std::move(converted));
    return true;
}

// Each entry holds three 12-bit fields: blue in bits 0-11 of the word, green
// in bits 12-23, red in bits 24-31 with the extra byte's low nibble above
// them. The driver takes the low 10 bits of each.
void LutHandle3D::ConvertLutTable(const std::uint8_t* table, std::uint32_t* out) {
    constexpr std::uint32_t kComponent = 0x3FF;
    const std::uint8_t* words = table + kTableHeaderLength;
    const std::uint8_t* extra = table + kExtraByteOffset;
    for (std::size_t n = 0; n < kLutEntryCount; ++n) {
        const std::uint32_t w = BigEndianWord(words + 4 * n);
        const std::uint32_t red = (w >> 24 | std::uint32_t{extra[n]} << 8) & kComponent;
        const std::uint32_t green = (w >> 12) & kComponent;
        const std::uint32_t blue = w & kComponent;
        out[n] = red << 20 | green << 10 | blue;
    }
}

void LutHandle3D::BuildIdentityLut3D(std::uint32_t* out) {
    constexpr int kLevels = 17;
    std::array<std::uint32_t, kLevels> level{};
    for (int n = 0; n < kLevels; ++n) {
        level[n] = static_cast<std::uint32_t>(std::lround(1023.0 * n / (kLevels - 1)));
    }
    std::size_t index = 0;
    for (int i = 0; i < kLevels; ++i) {
        for (int j = 0; j < kLevels; ++j) {
            for (int k = 0; k < kLevels; ++k) {
                out[index++] = level[i] << 20 | level[j] << 10 | level[k];
            }
        }
    }
}

bool LutHandle3D::SetHardwareLut3D(const std::uint32_t* table, std::uint32_t size) {
    return LoadHardwareLut3D(table, size, DriverLoad::Set);
}

bool LutHandle3D::RestoreHardwareLut3D(const std::uint32_t* table, std::uint32_t size) {
    return LoadHardwareLut3D(table, size, DriverLoad::Restore);
}

bool LutHandle3D::LoadHardwareLut3D(const std::uint32_t* table, std::uint32_t size,
                                    DriverLoad load) {
    const bool restore = load == DriverLoad::Restore;
    const char* source =
        restore ? "LutHandle3D::RestoreHardwareLut3D" : "LutHandle3D::SetHardwareLut3D";
    if (table == nullptr || size == 0) {
        Log(log_level::kError, source) << L"Lut data error!";
        return false;
    }
    try {
        IntelDriverManager& manager = IntelDriverManager::Instance();
        if (!manager.Driver().EnsureDriverInterface()) {
            Log(log_level::kError, source) << L"CreateInstance Failed!";
            return false;
        }
        const std::int32_t deviceId = manager.GetIntelDeviceId();
        if (deviceId == 0) {
            Log(log_level::kError, source)
                << L"Invalid deviceId! deviceId is 0, please check whether "
                   L"the video card is disabled.";
            return false;
        }
        if (!manager.Driver().Exists()) {
            Log(log_level::kError, source) << L"pCUIExternal8 is nullptr!";
            return false;
        }
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(table);
        const auto result =
            manager.Driver().SetFeatureData(kLut3DFeature, DriverHeader(deviceId, restore),
                                            std::vector<std::uint8_t>(bytes, bytes + size));
        if (result.succeeded && result.status == 0) {
            return true;
        }
        Log(log_level::kError, source)
            << (restore ? L"Restore HW 3D LUT failed!" : L"Set HW 3D LUT failed!");
        return false;
    } catch (const std::exception& error) {
        Log(log_level::kError, source)
            << (restore ? L"Restore HW 3D LUT exception,msg:" : L"Set HW 3D LUT exception,msg:")
            << AnsiToWide(error.what());
        return false;
    }
}

bool LutHandle3D::SetColorFieldGoldenFilePath(const char* path) {
    if (path == nullptr) {
        Log(log_level::kError, "LutHandle3D::SetColorFieldGoldenFilePath")
            << L"Set Golden File Path Failed! filePath is nullptr!";
        return false;
    }
    const std::lock_guard lock(mutex_);
    goldenFilePath_ = path;
    return true;
}

bool LutHandle3D::SetColorFieldTempLutFilePath(const char* path) {
    if (path == nullptr) {
        Log(log_level::kError, "LutHandle3D::SetColorFieldTempLutFilePath")
            << L"Set Temp Lut File Path Failed! filePath is nullptr!";
        return false;
    }
    const std::lock_guard lock(mutex_);
    tempLutFilePath_ = path;
    return true;
}
