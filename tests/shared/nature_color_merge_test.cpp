// The CCT mapping table and the gain merge through their exports: which
// row's gains the stored sensor CCT picks, how the circle, white point and
// table gains combine, and what the table dump and the merge's refusals log.
#include <algorithm>
#include <array>
#include <string>

#include "test_platform.h"

namespace tw_test {

namespace {

using Gains = std::array<double, 3>;

constexpr double kTolerance = 1e-6;

// Warm to cold: red falls and blue rises with the CCT.
void LoadThreeRowTable() {
    TW(AddCctMappingInfo)(3000.0f, 1.0, 0.8, 0.6);
    TW(AddCctMappingInfo)(5000.0f, 1.0, 0.9, 0.8);
    TW(AddCctMappingInfo)(6500.0f, 0.9, 0.95, 1.0);
}

std::string NatureColorIni(const std::string& sensorLines) {
    return "[NATURECOLOR]\r\nIsNatureColor=1\r\n" + sensorLines;
}

Gains Merge(float r, float g, float b) {
    Gains out{-7.0, -7.0, -7.0};
    EXPECT_EQ(TW(MergeCircleCtAndSensorCt)(r, g, b, &out[0], &out[1], &out[2]), 0);
    return out;
}

void ExpectGains(const Gains& actual, const Gains& expected) {
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_NEAR(actual[i], expected[i], kTolerance) << "channel "
                                                        << "RGB"[i];
    }
}

std::size_t Occurrences(const std::string& text, const std::string& piece) {
    std::size_t count = 0;
    for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
        ++count;
    }
    return count;
}

}  // namespace

// The table lives as long as the library: every case starts from an empty one.
class NatureColorMerge : public ExportTest {
  protected:
    void SetUp() override {
        ExportTest::SetUp();
        TW(ClearMappingInfo)();
    }
};

// ---- the table's gains for the stored sensor CCT ----

struct LookupCase {
    const char* name;
    const char* sensorLines;
    Gains expected;  // already normalised: each row's largest gain is 1
};

void PrintTo(const LookupCase& c, std::ostream* out) {
    *out << c.name;
}

class TableLookup : public NatureColorMerge, public ::testing::WithParamInterface<LookupCase> {};

TEST_P(TableLookup, PicksOrInterpolatesTheRowsAroundTheStoredCct) {
    WriteIni(NatureColorIni(GetParam().sensorLines));
    LoadThreeRowTable();
    ExpectGains(Merge(1.0f, 1.0f, 1.0f), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    StoredReadings, TableLookup,
    ::testing::Values(
        LookupCase{"BelowTheFirstRow", "SensorColor=2000\r\nSensorLight=300\r\n", {1.0, 0.8, 0.6}},
        LookupCase{"AboveTheLastRow", "SensorColor=9000\r\nSensorLight=300\r\n", {0.9, 0.95, 1.0}},
        LookupCase{"OnARow", "SensorColor=5000\r\nSensorLight=300\r\n", {1.0, 0.9, 0.8}},
        LookupCase{"BetweenTwoRows", "SensorColor=4000\r\nSensorLight=300\r\n", {1.0, 0.85, 0.7}},
        LookupCase{"NoReadingStoredMeans5000K", "", {1.0, 0.9, 0.8}},
        LookupCase{"ANegativeLightDiscardsTheCctToo",
                   "SensorColor=3000\r\nSensorLight=-1\r\n",
                   {1.0, 0.9, 0.8}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NatureColorMerge, OneRowServesEveryCctAndTwoRowsOfOneCctDivideByNothing) {
    WriteIni(NatureColorIni("SensorColor=8000\r\nSensorLight=300\r\n"));
    TW(AddCctMappingInfo)(5000.0f, 0.5, 1.0, 0.25);
    ExpectGains(Merge(1.0f, 1.0f, 1.0f), {0.5, 1.0, 0.25});

    TW(AddCctMappingInfo)(5000.0f, 1.0, 0.5, 0.5);
    ExpectGains(Merge(1.0f, 1.0f, 1.0f), {0.5, 1.0, 0.25});
}

TEST_F(NatureColorMerge, AnEmptyOrClearedTableLeavesTheCircleGains) {
    WriteIni(NatureColorIni("SensorColor=3000\r\nSensorLight=300\r\n"));
    ExpectGains(Merge(0.5f, 1.0f, 0.25f), {0.5, 1.0, 0.25});
    LoadThreeRowTable();
    TW(ClearMappingInfo)();
    ExpectGains(Merge(0.5f, 1.0f, 0.25f), {0.5, 1.0, 0.25});
}

// ---- how the three sources combine ----

TEST_F(NatureColorMerge, WithBothSourcesOffTheCircleGainsAreOnlyNormalised) {
    LoadThreeRowTable();
    ExpectGains(Merge(0.5f, 1.0f, 0.25f), {0.5, 1.0, 0.25});
    ExpectGains(Merge(2.0f, 1.0f, 1.0f), {1.0, 0.5, 0.5});
}

TEST_F(NatureColorMerge, CircleWhitePointAndTableGainsMultiply) {
    WriteIni(NatureColorIni("SensorColor=3000\r\nSensorLight=300\r\n") +
             "[WHITEPOINT]\r\nIsEnableWhitePointAdjust=1\r\nWhitePointR=0.5\r\n"
             "WhitePointG=1\r\nWhitePointB=0.75\r\n");
    LoadThreeRowTable();
    // (1, 0.5, 1) x (0.5, 1, 0.75) x (1, 0.8, 0.6) = (0.5, 0.4, 0.45)
    ExpectGains(Merge(1.0f, 0.5f, 1.0f), {1.0, 0.8, 0.9});
}

TEST_F(NatureColorMerge, AWhitePointSwitchedOffIsNotApplied) {
    WriteIni("[WHITEPOINT]\r\nIsEnableWhitePointAdjust=0\r\nWhitePointR=0.5\r\n");
    ExpectGains(Merge(1.0f, 1.0f, 1.0f), {1.0, 1.0, 1.0});
}

TEST_F(NatureColorMerge, ZeroGainsStayZeroAndTheMergeSaysWhy) {
    ExpectGains(Merge(0.0f, 0.0f, 0.0f), {0.0, 0.0, 0.0});
    const auto records = LogRecords();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back().level, 3);
    EXPECT_EQ(records.back().text, "maxVal is 0, use default(RGBToxyForAMD::RgbNormalize)");
}

TEST_F(NatureColorMerge, AMergeWithNowhereToWriteIsRefused) {
    double g = -7.0;
    double b = -7.0;
    EXPECT_EQ(TW(MergeCircleCtAndSensorCt)(1.0f, 1.0f, 1.0f, nullptr, &g, &b), -1);
    EXPECT_EQ(g, -7.0);
    EXPECT_EQ(b, -7.0);
}

// ---- what the table and the configuration log ----

TEST_F(NatureColorMerge, EveryAddedRowLogsTheWholeTableSoFar) {
    TW(AddCctMappingInfo)(3000.0f, 1.0, 0.8, 0.6);
    TW(AddCctMappingInfo)(6500.5f, 0.9, 0.95, 1.0);
    std::string log;
    for (const std::string& line : LogLinesRaw()) {
        log += line + "\n";
    }
    const std::string first = "cct, r, g, b = 3000.000000, 1.000000, 0.800000, 0.600000";
    const std::string second = "cct, r, g, b = 6500.500000, 0.900000, 0.950000, 1.000000";
    EXPECT_EQ(Occurrences(log, first), 2u);
    EXPECT_EQ(Occurrences(log, second), 1u);
    EXPECT_EQ(Occurrences(log, "(NaturalTone::PrintCctMappingTable)"), 2u);
}

TEST_F(NatureColorMerge, ConfiguringNatureColourSaysSo) {
    TW(SetNatureColorAll)(30, 50, 1, 150.0f, 3500.0f, 40.0f);
    const auto records = LogRecords();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back().level, 1);
    EXPECT_EQ(records.back().text, "SetNatureColorAll Success.(SetNatureColorAll)");
}

}  // namespace tw_test
