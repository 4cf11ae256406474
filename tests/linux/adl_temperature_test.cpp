// The AMD road on simulated AMD machines: which displays get a gamut change,
// the white point each one gets, the trace of the walk, and the blue-protect
// record.
#include <string>
#include <vector>

#include "../shared/test_platform.h"
#include "adl_test_machines.h"
#include "temperature/rgb_to_xy_for_amd.h"

namespace tw_test {

namespace {

constexpr const wchar_t* kSetForAmd = L"(OperateColor::SetForAMD)\n";
constexpr const wchar_t* kWalk = L"(OperateColor::SetTemperatureForAMD)\n";

std::vector<sim::AdlGamutSet> GamutSets() {
    return Adl().GamutSets();
}

std::vector<std::pair<int, int>> SetDisplays() {
    std::vector<std::pair<int, int>> displays;
    for (const auto& set : GamutSets()) {
        displays.emplace_back(set.adapter, set.display);
    }
    return displays;
}

std::wstring SetForAmdLine(const std::wstring& text) {
    return text + kSetForAmd;
}

long CountOf(const std::wstring& line) {
    const auto output = sim::Machine::Current().DebugOutput();
    return std::count(output.begin(), output.end(), line);
}

DWORD AdlResult(int result) {
    return static_cast<DWORD>(result);
}

}  // namespace

class AmdRoad : public ExportTest {
  protected:
    static adl::Point WhitePointFor(float r, float g, float b, unsigned level, double ratio) {
        const std::size_t before = GamutSets().size();
        EXPECT_EQ(TW(SetTemperatureForAMD)(r, g, b, level, ratio), 0);
        const auto sets = GamutSets();
        EXPECT_EQ(sets.size(), before + 1);
        return sets.empty() ? adl::Point{} : sets.back().gamut.customWhitePoint;
    }
};

// ---- the white point ----

TEST_F(AmdRoad, UnitGainsSetTheD65WhitePointAndTraceEveryStep) {
    InstallSingleDisplayAmdMachine();
    TW(InitAdlGamut)();
    ASSERT_EQ(TW(SetTemperatureForAMD)(1.0f, 1.0f, 1.0f, 0, 1.0), 0);

    const auto sets = GamutSets();
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets[0].reference, adl::kGamutReferenceSource);
    EXPECT_EQ(sets[0].gamut.feature, adl::kFeatureCustomWhitePoint);
    EXPECT_EQ(sets[0].gamut.predefinedGamut, adl::kGamutSpaceCieRgb);
    EXPECT_EQ(sets[0].gamut.predefinedWhitePoint, 0);
    EXPECT_EQ(sets[0].gamut.customWhitePoint.x, 3127);
    EXPECT_EQ(sets[0].gamut.customWhitePoint.y, 3290);
    EXPECT_EQ(sets[0].gamut.customGamut.blue.y, 0);
    EXPECT_EQ(sets[0].result, adl::kOk);
    EXPECT_EQ(sim::Machine::Current().DebugOutput(),
              (std::vector<std::wstring>{
                  SetForAmdLine(L"start to  ADL2_Display_Gamut_Get adapter:0  display:0"),
                  SetForAmdLine(L"ADL_Display_Gamut_Caps err:0  supported:15"),
                  SetForAmdLine(L"ADL_Display_Gamut_Get err:0  ref:0  feature:0  ix:0  iy:0"),
                  SetForAmdLine(L"ADL_Display_Gamut_Set Adapter:0  Display:0"),
                  SetForAmdLine(L"ADL_Display_Gamut_Get err:0  ref:1  feature:1  ix:3127  iy:3290"),
              }));
    EXPECT_EQ(TW(GetBlueProtect)(-1), 1000);
}

// Blue protection scales Z only with a level, and each ratio is recorded in
// turn on one display. Plain requests stay in float and blue-protected ones
// sum in double, which shows in the last digit of some gains.
TEST_F(AmdRoad, WhitePointFollowsTheGainsAndBlueProtect) {
    struct WhitePoint {
        float r, g, b;
        unsigned level;
        double ratio;
        int x, y, blueProtect;
    };
    const WhitePoint cases[] = {
        {1.0f, 1.0f, 1.0f, 1, 0.5, 3809, 4008, 500},
        {1.0f, 1.0f, 1.0f, 255, 0.5, 3809, 4008, 500},
        {1.0f, 1.0f, 1.0f, 0, 0.25, 3127, 3290, 250},
        {0.4f, 0.57f, 0.87f, 0, 1.0, 2003, 3004, 1000},   // 3003 in double
        {0.83f, 0.56f, 0.56f, 1, 0.41, 4933, 3502, 410},  // x 4934 in double and in float
    };
    InstallSingleDisplayAmdMachine();
    TW(InitAdlGamut)();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.r << ' ' << c.g << ' ' << c.b << " level " << c.level
                                        << " ratio " << c.ratio);
        const adl::Point white = WhitePointFor(c.r, c.g, c.b, c.level, c.ratio);
        EXPECT_EQ(white.x, c.x);
        EXPECT_EQ(white.y, c.y);
        EXPECT_EQ(TW(GetBlueProtect)(-1), c.blueProtect);
    }
}

TEST_F(AmdRoad, GainsWithoutAWhitePointReachNoDisplay) {
    InstallSingleDisplayAmdMachine();
    TW(InitAdlGamut)();
    EXPECT_EQ(TW(SetTemperatureForAMD)(0.0f, 0.0f, 0.0f, 0, 1.0), -1);
    EXPECT_EQ(TW(SetTemperatureForAMD)(1.0f, 1.0f, 0.0f, 1, std::nan("")), -1);
    EXPECT_TRUE(GamutSets().empty());
    const auto records = LogRecords();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].level, 3);
    EXPECT_EQ(records[0].text,
              "gains give no white point, r:0 g:0 b:0(OperateColor::SetTemperatureForAMD)");
}

// ---- which displays are served ----

TEST_F(AmdRoad, ServesMappedDisplaysOfTheAdapterThatListsThem) {
    nlohmann::json foreign = AdlDisplay(1, 3);
    foreign["adapter"] = 0;  // listed by adapter 0, belongs to adapter 1
    InstallAdl(AdlPart({AdlAdapter(0), AdlAdapter(1)},
                       {AdlDisplay(0, 0, 1), AdlDisplay(0, 1, 2), AdlDisplay(0, 2, 3), foreign,
                        AdlDisplay(1, 4, 3), AdlDisplay(1, 5, 0)}));
    TW(InitAdlGamut)();
    ASSERT_EQ(TW(SetTemperatureForAMD)(1.0f, 1.0f, 1.0f, 0, 1.0), 0);
    EXPECT_EQ(SetDisplays(), (std::vector<std::pair<int, int>>{{0, 1}, {0, 2}, {1, 4}}));
}

TEST_F(AmdRoad, DisplaysWithoutCieRgbOrACustomWhitePointAreOnlyQueried) {
    nlohmann::json noCieRgb = AdlDisplay(0, 0);
    noCieRgb["gamutSpaces"] = 0x7;
    nlohmann::json noCustomWhite = AdlDisplay(0, 1);
    noCustomWhite["whitePoints"] = 0xF;
    InstallAdl(AdlPart({AdlAdapter(0)}, {noCieRgb, noCustomWhite}));
    TW(InitAdlGamut)();
    ASSERT_EQ(TW(SetTemperatureForAMD)(1.0f, 1.0f, 1.0f, 0, 0.5), 0);

    EXPECT_TRUE(GamutSets().empty());
    EXPECT_EQ(CountOf(SetForAmdLine(L"***ADL_GAMUT_SPACE_CIE_RGB not supported!\n\n")), 2);
    EXPECT_EQ(CountOf(SetForAmdLine(L"ADL_Display_Gamut_Caps err:0  supported:7")), 1);
    EXPECT_EQ(CountOf(SetForAmdLine(L"ADL_Display_Gamut_Get err:0  ref:0  feature:0  ix:0  iy:0")),
              4);
    EXPECT_FALSE(ReadIni().has_value());
}

// ---- failures along the walk ----

TEST_F(AmdRoad, ARefusedGamutChangeIsTracedAndTheWalkGoesOn) {
    InstallAdl(AdlPart({AdlAdapter(0)}, {AdlDisplay(0, 0), AdlDisplay(0, 1)}));
    TW(InitAdlGamut)();
    sim::Machine::Current().FailCall("ADL_Display_Gamut_Set", AdlResult(adl::kErr));
    ASSERT_EQ(TW(SetTemperatureForAMD)(1.0f, 1.0f, 1.0f, 0, 0.3), 0);

    const auto sets = GamutSets();
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0].result, adl::kErr);
    EXPECT_EQ(sets[1].result, adl::kOk);
    EXPECT_TRUE(
        DebugOutputHas(SetForAmdLine(L"ADL_Display_Gamut_Set failed Adapter:0  Display:0")));
    EXPECT_TRUE(DebugOutputHas(SetForAmdLine(L"ADL_Display_Gamut_Set Adapter:0  Display:1")));
    // The refused display reports its gamut unchanged.
    EXPECT_TRUE(DebugOutputHas(
        SetForAmdLine(L"ADL_Display_Gamut_Get err:0  ref:1  feature:0  ix:0  iy:0")));
    EXPECT_EQ(TW(GetBlueProtect)(-1), 300);
}

TEST_F(AmdRoad, BlueProtectIsRecordedOnlyAfterASuccessfulChange) {
    InstallSingleDisplayAmdMachine();
    TW(InitAdlGamut)();
    sim::Machine::Current().FailCall("ADL_Display_Gamut_Set", AdlResult(adl::kErr), true);
    EXPECT_EQ(TW(SetTemperatureForAMD)(1.0f, 1.0f, 1.0f, 1, 0.3), 0);
    EXPECT_EQ(GamutSets().size(), 1u);
    EXPECT_FALSE(ReadIni().has_value());
}

TEST_F(AmdRoad, AdaptersThatCannotBeCountedOrListedEndTheWalk) {
    InstallSingleDisplayAmdMachine();
    TW(InitAdlGamut)();
    sim::Machine::Current().FailCall("ADL_Adapter_NumberOfAdapters_Get", AdlResult(adl::kErr));
    EXPECT_EQ(TW(SetTemperatureForAMD)(1.0f, 1.0f, 1.0f, 0, 1.0), -1);
    EXPECT_TRUE(DebugOutputHas(std::wstring(L"Cannot get the number of adapters!\n") + kWalk));

    sim::Machine::Current().FailCall("ADL_Adapter_AdapterInfo_Get", AdlResult(adl::kErr));
    EXPECT_EQ(TW(SetTemperatureForAMD)(1.0f, 1.0f, 1.0f, 0, 1.0), -1);
    EXPECT_EQ(CountOf(std::wstring(L"AdapterInfo Get fail!\n") + kWalk), 1);
    EXPECT_TRUE(GamutSets().empty());
}

TEST_F(AmdRoad, NoAmdAdapterEndsTheWalk) {
    InstallAdl(AdlPart({}, {}));
    TW(InitAdlGamut)();
    EXPECT_EQ(TW(SetTemperatureForAMD)(1.0f, 1.0f, 1.0f, 0, 1.0), -1);
    EXPECT_EQ(sim::Machine::Current().DebugOutput(),
              (std::vector<std::wstring>{std::wstring(L"AdapterInfo Get fail!\n") + kWalk}));
}

TEST_F(AmdRoad, AnAdapterWhoseDisplaysCannotBeListedIsSkipped) {
    InstallAdl(AdlPart({AdlAdapter(0), AdlAdapter(1)}, {AdlDisplay(0, 0), AdlDisplay(1, 0)}));
    TW(InitAdlGamut)();
    sim::Machine::Current().FailCall("ADL_Display_DisplayInfo_Get", AdlResult(adl::kErr));
    EXPECT_EQ(TW(SetTemperatureForAMD)(1.0f, 1.0f, 1.0f, 0, 1.0), 0);
    EXPECT_EQ(SetDisplays(), (std::vector<std::pair<int, int>>{{1, 0}}));
}

TEST_F(AmdRoad, WithoutAdlNothingIsAsked) {
    InstallSingleDisplayAmdMachine();
    EXPECT_EQ(TW(SetTemperatureForAMD)(1.0f, 1.0f, 1.0f, 0, 1.0), -1);
    TW(InitAdlGamut)();
    TW(UninitAdlGamut)();
    EXPECT_EQ(TW(SetTemperatureForAMD)(1.0f, 1.0f, 1.0f, 0, 1.0), -1);
    EXPECT_TRUE(GamutSets().empty());
    EXPECT_TRUE(sim::Machine::Current().DebugOutput().empty());
}

// ---- the normalisation offered to the nature-colour merge ----

TEST_F(ExportTest, RgbNormalizeMakesTheLargestGainOne) {
    RgbGains out{};
    RGBToxyForAMD::Instance().RgbNormalize({2.0f, 1.0f, 1.0f}, out);
    EXPECT_EQ(out, (RgbGains{1.0f, 0.5f, 0.5f}));
    RGBToxyForAMD::Instance().RgbNormalize({0.5f, 1.0f, 0.25f}, out);
    EXPECT_EQ(out, (RgbGains{0.5f, 1.0f, 0.25f}));
    EXPECT_TRUE(LogRecords().empty());
}

TEST_F(ExportTest, RgbNormalizeOfBlackKeepsTheGainsAndSaysSo) {
    RgbGains out{9.0f, 9.0f, 9.0f};
    RGBToxyForAMD::Instance().RgbNormalize({0.0f, 0.0f, 0.0f}, out);
    EXPECT_EQ(out, (RgbGains{0.0f, 0.0f, 0.0f}));
    const auto records = LogRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].level, 3);
    EXPECT_EQ(records[0].text, "maxVal is 0, use default(RGBToxyForAMD::RgbNormalize)");
}

}  // namespace tw_test
