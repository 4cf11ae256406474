// The panel's factory 3D tables on the simulated laptop: what reaches the
// Intel driver, which cache files appear, when the firmware is read, and
// when the golden file takes over.
#include <openssl/sha.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "../shared/test_platform.h"
#include "colorfield/lut_handle_3d.h"
#include "lut_block.h"
#include "sim/firmware_model.h"
#include "sim/intel_driver_model.h"
#include "sim/machine.h"
#include "sim/registry_model.h"

namespace tw_test {

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

constexpr DWORD kDlut = 0x54554C44;
constexpr std::int32_t kDeviceId = 12345;
constexpr std::size_t kControlHeader = 52;
constexpr std::size_t kFirstTable = kControlHeader + 16;
constexpr std::size_t kDigestAt = 128 + lut_block::kPayloadLength;
constexpr const wchar_t* kCacheFolder = L"C:\\ProgramData\\Vozaz\\OrvLumivex\\";
constexpr const wchar_t* kHostFolder = L"C:\\Program Files\\Vozaz\\OrvLumivex\\";

sim::Machine& Machine() {
    return sim::Machine::Current();
}

fs::path CacheFile(const std::wstring& name, const wchar_t* folder = kCacheFolder) {
    return Machine().HostPath(folder + name);
}

Bytes ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& file, const Bytes& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint32_t> Words(const std::vector<BYTE>& bytes) {
    std::vector<std::uint32_t> words(bytes.size() / 4);
    std::memcpy(words.data(), bytes.data(), words.size() * 4);
    return words;
}

std::vector<sim::FeatureDataCall> TableLoads() {
    return Machine().IntelDriver().FeatureDataCalls();
}

std::size_t FirmwareReads() {
    return Machine().Firmware().FirmwareTableCalls().size();
}

void SealControlHeader(Bytes& block) {
    unsigned sum = 0;
    for (std::size_t n = kControlHeader; n < kControlHeader + 14; ++n) {
        sum += block[n];
    }
    block[kControlHeader + 14] = static_cast<std::uint8_t>(sum >> 8);
    block[kControlHeader + 15] = static_cast<std::uint8_t>(sum);
}

void SealDigest(Bytes& block, std::size_t table) {
    SHA256(block.data() + table, kDigestAt, block.data() + table + kDigestAt);
}

void InstallFirmware(const Bytes& block) {
    Machine().Firmware().SetAcpiTable(kDlut, block);
}

LutHandle3D& Lut() {
    return LutHandle3D::Instance();
}

}  // namespace

using LutManagement = ExportTest;

TEST_F(LutManagement, ModeZeroLoadsTheIdentityTableThenRestoresItWithoutTouchingAFile) {
    ASSERT_EQ(TW(ResetDisplayerLut3D)(), 0);
    ASSERT_TRUE(Lut().SetDisplayerLut3D(0));

    const auto loads = TableLoads();
    ASSERT_EQ(loads.size(), 4u);
    const std::vector<std::uint32_t> set{1, 0, 0, 0, 0, 1, 0, 0, 1, kDeviceId, 0};
    const std::vector<std::uint32_t> restore{1, 0, 0, 0, 0, 0, 0, 0, 1, kDeviceId, 1};
    EXPECT_EQ(Words(loads[0].header), set);
    EXPECT_EQ(Words(loads[1].header), restore);
    const auto identity = Words(loads[0].data);
    ASSERT_EQ(identity.size(), LutHandle3D::kLutEntryCount);
    EXPECT_EQ(identity[0], 0u);
    EXPECT_EQ(identity[9 * 289 + 8 * 17 + 1], 575u << 20 | 512u << 10 | 64u);
    EXPECT_EQ(identity.back(), 1023u << 20 | 1023u << 10 | 1023u);
    EXPECT_EQ(loads[1].data, loads[0].data);
    EXPECT_EQ(FirmwareReads(), 0u);
    EXPECT_FALSE(fs::exists(Machine().HostPath(L"C:\\ProgramData\\Vozaz\\OrvLumivex\\sRGB.bin")));
}

TEST_F(LutManagement, FirstSwitchCachesTheFirmwareTableAndTheNextIsServedFromMemory) {
    ASSERT_TRUE(Lut().SetDisplayerLut3D(2));
    EXPECT_EQ(ReadBytes(CacheFile(L"P3.bin")), lut_block::MakeTable(lut_block::PanelIdentity{}, 2));
    ASSERT_EQ(TableLoads().size(), 1u);
    EXPECT_EQ(Words(TableLoads()[0].data), lut_block::DriverTable(2));

    const std::size_t reads = FirmwareReads();
    fs::remove(CacheFile(L"P3.bin"));
    ASSERT_TRUE(Lut().SetDisplayerLut3D(2));
    EXPECT_EQ(FirmwareReads(), reads);
    EXPECT_FALSE(fs::exists(CacheFile(L"P3.bin")));
    ASSERT_EQ(TableLoads().size(), 2u);
    EXPECT_EQ(TableLoads()[1].data, TableLoads()[0].data);
}

TEST_F(LutManagement, StaleCacheFilesAreRewrittenFromTheFirmware) {
    const Bytes table = lut_block::MakeTable(lut_block::PanelIdentity{}, 2);
    Bytes shortFile(table.begin(), table.end() - 1);
    Bytes badDigest = table;
    badDigest.back() ^= 1;
    const Bytes otherMode = lut_block::MakeTable(lut_block::PanelIdentity{}, 3);

    for (const Bytes& stale : {shortFile, badDigest, otherMode}) {
        WriteBytes(CacheFile(L"P3.bin"), stale);
        EXPECT_EQ(TW(IsLcdChanged)(2, 1), -1);
        EXPECT_EQ(ReadBytes(CacheFile(L"P3.bin")), table);
    }
    EXPECT_TRUE(LoggedContaining(
        3, "3D LUT Data File Len Error! fileName:C:\\ProgramData\\Vozaz\\OrvLumivex\\P3.bin"));
}

TEST_F(LutManagement, AnotherSetTypeAsksNothingOfTheFirmware) {
    EXPECT_EQ(TW(IsLcdChanged)(2, 0), -1);
    EXPECT_EQ(FirmwareReads(), 0u);
    EXPECT_FALSE(fs::exists(CacheFile(L"P3.bin")));
}

TEST_F(LutManagement, AReplacedPanelSwitchesToTheGoldenFileForGood) {
    lut_block::PanelIdentity measured;
    measured.serial = "12345678";
    InstallFirmware(lut_block::MakeFirmwareBlock(measured, {1, 2, 3}));
    WriteBytes(CacheFile(L"golden.bin", kHostFolder),
               lut_block::MakeGoldenFile(lut_block::PanelIdentity{}, {1, 3}));
    fs::create_directories(Machine().HostPath(L"C:\\LutCache"));
    ASSERT_EQ(TW(SetColorFieldGoldenFilePath)("\\golden.bin"), 0);
    ASSERT_EQ(TW(SetColorFieldTempLutFilePath)("C:\\LutCache\\"), 0);

    ASSERT_TRUE(Lut().SetDisplayerLut3D(1));
    EXPECT_TRUE(
        LoggedContaining(3,
                         "LCD Invalid! Bios SN:12345678 , Edid SN:68000000 , Bios Vendor:BOE# , "
                         "Edid Vendor:BOE# , Bios Week:36 , Edid Week:36 , Bios Year:2023 , "
                         "Edid Year:2023(LutHandle3D::IsLcdDataValid)"));
    EXPECT_TRUE(LoggedContaining(0, "Lcd changed!"));
    EXPECT_TRUE(
        LoggedContaining(0, "Read Data File:C:\\Program Files\\Vozaz\\OrvLumivex\\golden.bin"));
    // The firmware's table was cached under the normal name before the panel
    // was found changed; the golden one goes where the cache path now points.
    EXPECT_EQ(ReadBytes(CacheFile(L"sRGB.bin")), lut_block::MakeTable(measured, 1));
    EXPECT_EQ(ReadBytes(CacheFile(L"GoldensRGB.bin", L"C:\\LutCache\\")),
              lut_block::MakeTable(lut_block::PanelIdentity{}, 1));

    const std::size_t reads = FirmwareReads();
    ASSERT_TRUE(Lut().SetDisplayerLut3D(3));
    EXPECT_TRUE(fs::exists(CacheFile(L"GoldenAdobe.bin", L"C:\\LutCache\\")));
    EXPECT_FALSE(Lut().SetDisplayerLut3D(2));
    EXPECT_EQ(FirmwareReads(), reads);
}

TEST_F(LutManagement, BrokenFirmwareBlocksCountAsAChangedPanel) {
    struct Case {
        const char* name;
        Bytes block;
        const char* line;
    };
    const lut_block::PanelIdentity panel;
    Bytes tooMany = lut_block::MakeFirmwareBlock(panel, {1, 2, 3});
    tooMany[kControlHeader + 7] = 4;
    SealControlHeader(tooMany);
    // Two tables of 2^31 + 1 bytes: 2 in 32-bit arithmetic.
    Bytes wrapping = lut_block::MakeFirmwareBlock(panel, {1, 2, 3});
    wrapping[kControlHeader + 7] = 2;
    wrapping[kControlHeader + 8] = 0x80;
    wrapping[kControlHeader + 9] = 0;
    wrapping[kControlHeader + 10] = 0;
    wrapping[kControlHeader + 11] = 1;
    SealControlHeader(wrapping);
    Bytes badDigest = lut_block::MakeFirmwareBlock(panel, {1, 2, 3});
    badDigest[kFirstTable + kDigestAt + 31] ^= 1;
    const Case cases[] = {
        {"no table of the mode", lut_block::MakeFirmwareBlock(panel, {2, 3}),
         "UpdateLutTempBinFile3D Failed! mode:1(LutHandle3D::IsLcdChanged)"},
        {"too many tables", tooMany, "3D Lut Table len error!"},
        {"wrapping size", wrapping, "3D Lut Table len error!"},
        {"altered digest", badDigest, "Bios 3D Lut Data invalid! mode:1"},
        {"shorter than its headers", Bytes(kFirstTable - 1, '0'), "Data error!mode:1"},
        {"oversize", Bytes(131125, 0), "Firmware Table bufferSize over max size!bufferSize:131125"},
    };
    for (const Case& broken : cases) {
        SCOPED_TRACE(broken.name);
        InstallFirmware(broken.block);
        const std::size_t before = LogRecords().size();
        EXPECT_EQ(TW(IsLcdChanged)(1, 1), 0);
        EXPECT_TRUE(LoggedContaining(3, broken.line, before));
        EXPECT_FALSE(fs::exists(CacheFile(L"sRGB.bin")));
    }
}

// A digest vouches only for the bytes the header says it covers, while the
// driver gets the whole layout: a header claiming a shorter payload over a
// zeroed table would have loaded a black table.
TEST_F(LutManagement, ATableWhosePayloadLengthIsNotTheLayoutsIsRefused) {
    struct Case {
        std::uint32_t payload;
        const char* line;
    };
    const Case cases[] = {
        {0, "Lut Data Len error! payload length:0, expected:24565(LutHandle3D::IsLutDataValid3D)"},
        {24564,
         "Lut Data Len error! payload length:24564, expected:24565(LutHandle3D::IsLutDataValid3D)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.payload);
        Bytes table = lut_block::MakeTable(lut_block::PanelIdentity{}, 1);
        std::fill(table.begin() + 128, table.end(), 0);
        for (std::size_t i = 0; i < 4; ++i) {
            table[lut_block::kPayloadLengthOffset + i] =
                static_cast<std::uint8_t>(c.payload >> (24 - 8 * i));
        }
        lut_block::SealTableHeader(table);
        ASSERT_TRUE(lut_block::SealTableDigest(table));
        InstallFirmware(lut_block::MakeFirmwareBlock(lut_block::MakeGoldenFile({table})));
        const std::size_t from = LogRecords().size();

        EXPECT_EQ(TW(IsLcdChanged)(1, 1), 0);
        EXPECT_TRUE(Logged(3, c.line));
        EXPECT_TRUE(LoggedContaining(3, "Bios 3D Lut Data invalid! mode:1", from));
        EXPECT_FALSE(fs::exists(CacheFile(L"sRGB.bin")));
    }
    EXPECT_FALSE(Lut().SetDisplayerLut3D(1));
    EXPECT_TRUE(TableLoads().empty());
}

// A block announcing thousands of tiny tables is refused with one line, not
// one per table.
TEST_F(LutManagement, ABlockOfManyRefusedTablesLogsOneLine) {
    constexpr std::uint16_t kTables = 65535;
    Bytes golden = lut_block::MakeControlHeader(kTables, 1);
    golden.resize(golden.size() + kTables, 0);
    InstallFirmware(lut_block::MakeFirmwareBlock(golden));
    const std::size_t from = LogRecords().size();

    EXPECT_EQ(TW(IsLcdChanged)(1, 1), 0);
    const auto records = LogRecords();
    const auto refusals = std::count_if(
        records.begin() + static_cast<std::ptrdiff_t>(from), records.end(),
        [](const LogRecord& record) {
            return record.text.starts_with("3DLut data buffLen error!mode:1, buffLen:1");
        });
    EXPECT_EQ(refusals, 1);
    EXPECT_LT(records.size() - from, 5u);
}

// Only the identity check may find the panel changed: a cache file that
// cannot be written leaves the firmware's table in use, and the write is
// tried again at the next switch.
TEST_F(LutManagement, ACacheFileThatCannotBeWrittenIsNotAChangedPanel) {
    const fs::path folder = Machine().HostPath(L"C:\\ProgramData\\Vozaz\\OrvLumivex");
    fs::remove_all(folder);

    ASSERT_TRUE(Lut().SetDisplayerLut3D(2));
    EXPECT_TRUE(LoggedContaining(3, "CreateLutDataFile3D Failed! mode:2"));
    EXPECT_FALSE(LoggedContaining(0, "Lcd changed!"));
    EXPECT_FALSE(LoggedContaining(3, "LCD Invalid!"));
    ASSERT_EQ(TableLoads().size(), 1u);
    EXPECT_EQ(Words(TableLoads()[0].data), lut_block::DriverTable(2));
    EXPECT_FALSE(fs::exists(CacheFile(L"P3.bin")));

    fs::create_directories(folder);
    ASSERT_TRUE(Lut().SetDisplayerLut3D(2));
    EXPECT_EQ(ReadBytes(CacheFile(L"P3.bin")), lut_block::MakeTable(lut_block::PanelIdentity{}, 2));
    EXPECT_EQ(TableLoads().size(), 2u);
    EXPECT_EQ(TableLoads()[1].data, TableLoads()[0].data);
    EXPECT_FALSE(fs::exists(CacheFile(L"GoldenP3.bin")));
    EXPECT_EQ(TW(IsLcdChanged)(2, 1), -1);
}

// Cache and golden paths given relative to the current directory resolve
// once, so the file checked is the file read and written.
TEST_F(LutManagement, RelativeCacheAndGoldenPathsNameOneFileEach) {
    lut_block::PanelIdentity measured;
    measured.serial = "12345678";
    InstallFirmware(lut_block::MakeFirmwareBlock(measured, {1, 2, 3}));
    WriteBytes(Machine().HostPath(L"C:\\Program Files\\Vozaz\\golden.bin"),
               lut_block::MakeGoldenFile(lut_block::PanelIdentity{}, {1, 2, 3}));
    fs::create_directories(Machine().HostPath(L"C:\\Work\\Front"));
    fs::create_directories(Machine().HostPath(L"C:\\Work\\cache"));
    ASSERT_TRUE(SetCurrentDirectoryW(L"C:\\Work\\Front"));
    ASSERT_EQ(TW(SetColorFieldGoldenFilePath)("\\..\\golden.bin"), 0);
    ASSERT_EQ(TW(SetColorFieldTempLutFilePath)("..\\cache\\"), 0);

    ASSERT_TRUE(Lut().SetDisplayerLut3D(1));
    EXPECT_TRUE(LoggedContaining(0, "Read Data File:C:\\Program Files\\Vozaz\\golden.bin"));
    const fs::path cached = CacheFile(L"GoldensRGB.bin", L"C:\\Work\\cache\\");
    EXPECT_EQ(ReadBytes(cached), lut_block::MakeTable(lut_block::PanelIdentity{}, 1));
    const auto written = fs::last_write_time(cached);
    const std::size_t from = LogRecords().size();

    EXPECT_EQ(TW(IsLcdChanged)(1, 1), -1) << "the golden table is the fitted panel's";
    EXPECT_EQ(fs::last_write_time(cached), written);
    EXPECT_FALSE(LoggedContaining(3, "Open 3D LUT Data File Failed!", from));
}

TEST_F(LutManagement, TheTableHeaderSideIsUpperCasedBeforeTheComparison) {
    lut_block::PanelIdentity panel;
    panel.vendor = "boe#";
    InstallFirmware(lut_block::MakeFirmwareBlock(panel, {1}));
    EXPECT_EQ(TW(IsLcdChanged)(1, 1), -1);
}

TEST_F(LutManagement, EachSourceEntryKeepsTheLowTenBitsOfItsThreeFields) {
    Bytes block = lut_block::MakeFirmwareBlock(lut_block::PanelIdentity{}, {1});
    const std::uint8_t word[] = {0x12, 0x34, 0x56, 0x78};
    std::memcpy(block.data() + kFirstTable + 128, word, sizeof(word));
    block[kFirstTable + 19780] = 0x0F;
    SealDigest(block, kFirstTable);
    InstallFirmware(block);

    ASSERT_TRUE(Lut().SetDisplayerLut3D(1));
    EXPECT_EQ(Words(TableLoads().at(0).data).at(0), 0x278u | 0x345u << 10 | 0x312u << 20);
}

TEST_F(LutManagement, DriverRefusalsFailTheSwitchWithTheirLines) {
    Machine().IntelDriver().SetPresent(false);
    EXPECT_EQ(TW(ResetDisplayerLut3D)(), -1);
    EXPECT_TRUE(LoggedContaining(3, "CreateInstance Failed!(LutHandle3D::SetHardwareLut3D)"));

    Machine().IntelDriver().SetPresent(true);
    Machine().IntelDriver().SetFeatureStatus(5);
    EXPECT_FALSE(Lut().SetDisplayerLut3D(1));
    EXPECT_TRUE(LoggedContaining(3, "Set HW 3D LUT failed!(LutHandle3D::SetHardwareLut3D)"));
    EXPECT_EQ(TableLoads().size(), 1u);
}

}  // namespace tw_test
