// The factory white point on the simulated laptop: the firmware record read,
// checked and held to the fitted panel, the golden record once it no longer
// fits, and the calibration applied on the Intel road (gains stored and
// merged into what reaches the hardware library) and on the AMD road (the
// measurement as a custom gamut).
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <functional>
#include <iomanip>
#include <sstream>
#include <thread>

#include "../shared/test_platform.h"
#include "adl_test_machines.h"
#include "naturecolor/natural_tone.h"
#include "sim/default_machine.h"
#include "sim/firmware_model.h"
#include "temperature/operate_color.h"
#include "white_point_record.h"

namespace tw_test {

namespace {

using white_point_record::Chromaticity;
using white_point_record::MakeRecord;
using white_point_record::Measurement;

constexpr int kChannelGainsClass = 6;
constexpr std::size_t kEdidVendorByte = 8;
constexpr std::size_t kEdidWeekByte = 16;

const lut_block::PanelIdentity kPanel{};  // the default laptop's BOE panel

Measurement SrgbPanel(Chromaticity white) {
    return {white, {0.64, 0.33}, {0.30, 0.60}, {0.15, 0.06}};
}

std::string Record(const Measurement& measurement = white_point_record::ReferencePanelMeasurement(),
                   const lut_block::PanelIdentity& panel = kPanel) {
    return MakeRecord(panel, measurement);
}

// A record text with its first 64 characters changed and its checksum made
// right again.
std::string Resealed(std::string text) {
    return text.replace(64, 2, white_point_record::Checksum(text.substr(0, 64)));
}

std::vector<std::uint8_t> Bytes(const std::string& hex) {
    std::vector<std::uint8_t> bytes;
    std::istringstream in(hex);
    for (unsigned value = 0; in >> std::hex >> value;) {
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes;
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
    std::ostringstream out;
    for (std::uint8_t byte : bytes) {
        out << std::hex << std::uppercase << std::setw(2) << std::setfill('0') << int{byte} << ' ';
    }
    return out.str();
}

// The default laptop with another firmware record and, when given, the
// panel's EDID changed first.
void InstallLaptop(const std::string& firmwareRecord,
                   const std::function<void(std::vector<std::uint8_t>&)>& changeEdid = {},
                   const nlohmann::json& adl = nullptr) {
    auto description = nlohmann::json::parse(sim::kDefaultMachineJson);
    description["system"]["whitePoint"] = firmwareRecord;
    auto& monitor = description["displays"]["adapters"][0]["monitors"][0];
    if (changeEdid) {
        auto edid = Bytes(monitor["edid"].get<std::string>());
        changeEdid(edid);
        monitor["edid"] = Hex(edid);
    }
    if (!adl.is_null()) {
        description["adl"] = adl;
    }
    InstallDescription(description);
}

OperateColor& Operator() {
    return OperateColor::Instance();
}

std::array<float, 3> StoredGains() {
    return {TW(GetWhitePointR)(-1.0f), TW(GetWhitePointG)(-1.0f), TW(GetWhitePointB)(-1.0f)};
}

// The gains of the last colour temperature that reached the hardware library.
std::array<float, 3> LastHardwareGains() {
    const auto calls = sim::Machine::Current().Firmware().HalSetInformationCalls();
    const auto last = std::find_if(calls.rbegin(), calls.rend(), [](const auto& call) {
        return call.informationClass == kChannelGainsClass;
    });
    std::array<float, 3> gains{-1.0f, -1.0f, -1.0f};
    if (last != calls.rend()) {
        std::memcpy(gains.data(), last->data.data(), sizeof gains);
    }
    return gains;
}

void ExpectGains(const std::array<float, 3>& gains, const std::array<float, 3>& expected) {
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(gains[i], expected[i], 5e-5) << "channel " << i;
    }
}

std::size_t RecordsRead(const std::vector<LogRecord>& records) {
    return std::count_if(records.begin(), records.end(), [](const LogRecord& record) {
        return record.text.starts_with("Current WhitePoint Source Data:");
    });
}

class WhitePoint : public ExportTest {
  protected:
    void SetUp() override {
        ExportTest::SetUp();
        StoreNeutralNatureColourSettings();
        TW(SetIsNatureColor)(0);
    }
};

}  // namespace

TEST_F(WhitePoint, TheFirmwareRecordOfTheFittedPanelIsParsedOnceAndStaysReady) {
    InstallLaptop(Record() + "TAIL");
    ASSERT_EQ(TW(InitWhitePointInfo)(), 0);
    const auto record = Operator().WhitePointRecord();
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->whiteX, 3096u);
    EXPECT_EQ(record->greenY, 6900u);
    EXPECT_EQ(record->manufacturerId, "BOE#");
    EXPECT_EQ(record->trailing, "TAIL");
    EXPECT_FALSE(Operator().IsWhitePointFallback());

    InstallLaptop("");
    EXPECT_EQ(TW(InitWhitePointInfo)(), 0);
    EXPECT_EQ(RecordsRead(LogRecords()), 1u);
}

struct RecordCase {
    const char* name;
    std::string text;
    int result;
    std::string line;  // a log line the case must write, or empty
};

class WhitePointRecord : public WhitePoint, public ::testing::WithParamInterface<RecordCase> {};

TEST_P(WhitePointRecord, IsCheckedBeforeItServes) {
    InstallLaptop(GetParam().text);
    EXPECT_EQ(TW(InitWhitePointInfo)(), GetParam().result);
    if (!GetParam().line.empty()) {
        EXPECT_TRUE(LoggedContaining(3, GetParam().line)) << GetParam().line;
    }
}

std::string LowerCaseChecksum() {
    std::string text = Record();
    std::transform(text.begin() + 64, text.begin() + 66, text.begin() + 64,
                   [](char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string BadChecksum() {
    std::string text = Record();
    text[64] = text[64] == '0' ? '1' : '0';
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, WhitePointRecord,
    ::testing::Values(
        RecordCase{"Valid", Record(), 0, ""},
        RecordCase{"LowerCaseChecksum", LowerCaseChecksum(), 0, ""},
        RecordCase{"OneCharacterShort", Record().substr(0, 65), -1,
                   "WhitePoint data lenth error!data:" + Record().substr(0, 65) + " ,dataLen:65"},
        RecordCase{"WrongChecksum", BadChecksum(), -1, "WhitePoint data checksum error!data:"},
        RecordCase{"LowerCaseManufacturer", Resealed(Record().replace(60, 4, "boe#")), 0, ""}),
    [](const auto& info) { return info.param.name; });

TEST_F(WhitePoint, ANonDigitEndsANumber) {
    InstallLaptop(Resealed(Record().replace(6, 4, "12x4")));
    ASSERT_EQ(TW(InitWhitePointInfo)(), 0);
    EXPECT_EQ(Operator().WhitePointRecord()->whiteX, 12u);
    EXPECT_EQ(Operator().WhitePointRecord()->whiteY, 3254u);
}

TEST_F(WhitePoint, AWeekWrittenWithTwoDigitsMatchesTheEdidsWeekByte) {
    lut_block::PanelIdentity panel;
    panel.week = 7;
    InstallLaptop(Record(white_point_record::ReferencePanelMeasurement(), panel),
                  [](auto& edid) { edid[kEdidWeekByte] = 7; });
    EXPECT_EQ(TW(InitWhitePointInfo)(), 0);
    EXPECT_FALSE(Operator().IsWhitePointFallback());
}

TEST_F(WhitePoint, AReplacedPanelFallsBackToTheGoldenRecordForGood) {
    lut_block::PanelIdentity other;
    other.serial = "12345678";
    InstallLaptop(Record(white_point_record::ReferencePanelMeasurement(), other));
    EXPECT_EQ(TW(InitWhitePointInfo)(), -1);
    EXPECT_TRUE(Logged(2, "Lcd changed!(OperateColor::IsLcdChanged)"));
    EXPECT_TRUE(Operator().IsWhitePointFallback());

    EXPECT_EQ(TW(SetWhitePointGoldenData)(nullptr), -1);
    const Measurement golden = SrgbPanel({0.30, 0.31});
    ASSERT_EQ(TW(SetWhitePointGoldenData)(Record(golden, other).c_str()), 0);
    EXPECT_EQ(TW(InitWhitePointInfo)(), 0) << "the golden record is not held to the panel";
    EXPECT_EQ(Operator().WhitePointRecord()->whiteY, 3100u);
}

TEST_F(WhitePoint, AnEdidWithoutAManufacturerIdLeavesTheRecordUnread) {
    InstallLaptop(Record(), [](auto& edid) { edid[kEdidVendorByte] = 0xFF; });
    EXPECT_EQ(TW(InitWhitePointInfo)(), -1);
    EXPECT_EQ(RecordsRead(LogRecords()), 0u);
}

TEST_F(WhitePoint, AFieldPastTheEndIsEmptyAndLogged) {
    std::size_t offset = 2;
    EXPECT_EQ(Operator().GetChildStrFromString("abc", offset, 5), "");
    EXPECT_EQ(offset, 2u);
    EXPECT_TRUE(Logged(3,
                       "GetChildStrFromString out of boundary! data:abc ,offset:2 ,dataLen:5"
                       "(OperateColor::GetChildStrFromString)"));
}

struct GainsCase {
    const char* name;
    Measurement measurement;
    std::array<float, 3> gains;
};

class IntelWhitePoint : public WhitePoint, public ::testing::WithParamInterface<GainsCase> {};

TEST_P(IntelWhitePoint, GainsAreStoredAndReachTheHardwareMerged) {
    InstallLaptop(Record(GetParam().measurement));
    ASSERT_EQ(TW(InitWhitePointInfo)(), 0);
    ASSERT_EQ(TW(SetWhitePointForIntel)(), 0);
    ExpectGains(StoredGains(), GetParam().gains);
    ExpectGains(LastHardwareGains(), GetParam().gains);

    ASSERT_EQ(TW(ResetWhitePointForIntel)(), 0);
    ExpectGains(LastHardwareGains(), {1.0f, 1.0f, 1.0f});
    ExpectGains(StoredGains(), GetParam().gains);
}

INSTANTIATE_TEST_SUITE_P(
    Measurements, IntelWhitePoint,
    ::testing::Values(GainsCase{"D65White", SrgbPanel({0.3127, 0.3290}), {1.0f, 1.0f, 1.0f}},
                      GainsCase{"BluishWhite", SrgbPanel({0.30, 0.31}), {1.0f, 0.9915f, 0.9157f}},
                      GainsCase{
                          "YellowishWhite", SrgbPanel({0.33, 0.35}), {0.8864f, 0.9111f, 1.0f}}),
    [](const auto& info) { return info.param.name; });

// Neither used to give sound gains; the gains stored before stay.
class UnsoundWhitePoint : public WhitePoint, public ::testing::WithParamInterface<GainsCase> {};

TEST_P(UnsoundWhitePoint, IsRefusedAndTheStoredGainsStay) {
    TW(SetWhitePointR)(0.5f);
    InstallLaptop(Record(GetParam().measurement));
    ASSERT_EQ(TW(InitWhitePointInfo)(), 0);
    EXPECT_EQ(TW(SetWhitePointForIntel)(), -1);
    EXPECT_EQ(TW(GetWhitePointR)(-1.0f), 0.5f);
    EXPECT_TRUE(LoggedContaining(3, "WhitePoint data gives no gains"));
    EXPECT_TRUE(sim::Machine::Current().Firmware().HalSetInformationCalls().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Measurements, UnsoundWhitePoint,
    ::testing::Values(GainsCase{"DegeneratePrimaries",
                                {{0.3127, 0.3290}, {0.30, 0.30}, {0.30, 0.30}, {0.15, 0.06}},
                                {}},
                      GainsCase{"D65OutsideThePrimaries",
                                {{0.45, 0.40}, {0.50, 0.40}, {0.45, 0.45}, {0.40, 0.35}},
                                {}}),
    [](const auto& info) { return info.param.name; });

TEST_F(WhitePoint, NothingIsAppliedBeforeTheRecordIsReady) {
    EXPECT_EQ(TW(SetWhitePointForIntel)(), -1);
    EXPECT_TRUE(
        Logged(3, "WhitePoint Data Not Inited!(WhitePointCalibration::SetWhitePointForIntel)"));
    TW(InitAdlGamut)();
    EXPECT_EQ(TW(SetWhitePointForAmd)(), -1);
    EXPECT_TRUE(sim::Machine::Current().Adl().GamutSets().empty());
}

// A merge on another thread (as on the dimming worker) sees the gains either
// with the white point or without it, never a mixture of the two.
TEST_F(WhitePoint, AConcurrentMergeSeesEitherGainsOrNone) {
    InstallLaptop(Record(SrgbPanel({0.30, 0.31})));
    ASSERT_EQ(TW(InitWhitePointInfo)(), 0);
    ASSERT_EQ(TW(SetWhitePointForIntel)(), 0);
    TW(SetIsEnableWhitePoint)(0);
    std::atomic<bool> done{false};
    std::atomic<int> mixtures{0};
    std::thread merger([&] {
        while (!done) {
            double r = 0, g = 0, b = 0;
            NaturalTone::Instance().MergeCircleCtAndSensorCt(1.0, 1.0, 1.0, &r, &g, &b);
            const bool plain = g == 1.0 && b == 1.0;
            const bool calibrated = std::abs(g - 0.9915) < 1e-4 && std::abs(b - 0.9157) < 1e-4;
            mixtures += plain || calibrated ? 0 : 1;
        }
    });
    for (int i = 0; i < 200; ++i) {
        TW(SetWhitePointForIntel)();
        TW(ResetWhitePointForIntel)();
    }
    done = true;
    merger.join();
    EXPECT_EQ(mixtures, 0);
}

class AmdWhitePoint : public WhitePoint {
  protected:
    void InstallAmdLaptop(nlohmann::json lastDisplay = AdlDisplay(0, 1)) {
        auto supported = AdlDisplay(0, 0);
        supported["gamutSpaces"] = 15;
        supported["whitePoints"] = 31;
        InstallLaptop(Record(), {}, AdlPart({AdlAdapter(0)}, {supported, lastDisplay}));
        TW(InitAdlGamut)();
    }
};

TEST_F(AmdWhitePoint, TheMeasurementBecomesACustomGamutAndResetGivesThePredefinedOneBack) {
    auto capable = AdlDisplay(0, 1);
    capable["gamutSpaces"] = 8;
    capable["whitePoints"] = 16;
    InstallAmdLaptop(capable);
    ASSERT_EQ(TW(InitWhitePointInfo)(), 0);
    ASSERT_EQ(TW(SetWhitePointForAmd)(), 0);
    ASSERT_EQ(TW(ResetWhitePointForAmd)(), 0);

    const auto sets = Adl().GamutSets();
    ASSERT_EQ(sets.size(), 4u);
    const adl::GamutData& custom = sets[0].gamut;
    EXPECT_EQ(sets[0].reference, 2);
    EXPECT_EQ(custom.feature, 1);
    EXPECT_EQ(custom.predefinedGamut, 1);
    EXPECT_EQ(custom.predefinedWhitePoint, 2);
    EXPECT_EQ(custom.customWhitePoint.x, 3096);
    EXPECT_EQ(custom.customWhitePoint.y, 3254);
    EXPECT_EQ(custom.customGamut.red.x, 6800);
    EXPECT_EQ(custom.customGamut.green.y, 6900);
    EXPECT_EQ(custom.customGamut.blue.y, 600);
    const adl::GamutData& reset = sets[3].gamut;
    EXPECT_EQ(reset.feature, 4);
    EXPECT_EQ(reset.predefinedGamut, 1);
    EXPECT_EQ(reset.predefinedWhitePoint, 2);
    EXPECT_EQ(reset.customWhitePoint.x, 0);
}

TEST_F(AmdWhitePoint, TheLastDisplayDecidesAndARefusingOneIsLogged) {
    auto refusing = AdlDisplay(0, 1);
    refusing["gamutSpaces"] = 4;
    InstallAmdLaptop(refusing);
    ASSERT_EQ(TW(InitWhitePointInfo)(), 0);
    EXPECT_EQ(TW(SetWhitePointForAmd)(), -1);
    EXPECT_EQ(Adl().GamutSets().size(), 1u) << "the first display took it";
    const auto output = sim::Machine::Current().DebugOutput();
    EXPECT_TRUE(std::any_of(output.begin(), output.end(), [](const std::wstring& line) {
        return line.find(L"ADL_GAMUT_SPACE_CIE_RGB not supported!") != std::wstring::npos;
    }));
}

}  // namespace tw_test
