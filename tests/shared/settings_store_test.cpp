// The settings exports against the INI file, as a front-end uses them. The same
// cases run on the simulated machine and on Wine's real profile functions.
#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "test_platform.h"

namespace tw_test {

using namespace std::string_view_literals;

namespace {

const std::string kIniPath = kIniPathText;

bool HasLine(const std::vector<std::string>& lines, const std::string& wanted) {
    return std::find(lines.begin(), lines.end(), wanted) != lines.end();
}

// True when `wanted` appear in this order (not necessarily adjacent).
bool HasInOrder(const std::vector<std::string>& lines, const std::vector<std::string>& wanted) {
    auto from = lines.begin();
    for (const std::string& line : wanted) {
        from = std::find(from, lines.end(), line);
        if (from == lines.end()) {
            return false;
        }
        ++from;
    }
    return true;
}

std::vector<std::string> IniLines() {
    return SplitLines(ExportTest::ReadIniOrEmpty());
}

}  // namespace

// ---- numeric reads: one stored text, one getter, one expected value ----

struct ReadCase {
    const char* name;
    std::optional<std::string_view> ini;  // none: no INI file at all
    double (*read)();
    double expected;
    // The level-1 line of a missing key, or null when none is expected.
    const char* missingLine;
};

void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << c.name;
}

class SettingsRead : public ExportTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(SettingsRead, ReturnsStoredValueOrDefault) {
    const ReadCase& c = GetParam();
    if (c.ini) {
        WriteIni(*c.ini);
    }
    EXPECT_EQ(c.read(), c.expected);
    const auto records = LogRecords();
    if (c.missingLine == nullptr) {
        EXPECT_TRUE(records.empty()) << records.front().text;
        return;
    }
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].level, 1);
    EXPECT_EQ(records[0].text, c.missingLine);
}

const std::string kMissingTemperature =
    "get key:CurrentTemperature from section:TEMPERATURE failed in file:" + kIniPath +
    "(ConfigIni::GetValue)";
const std::string kMissingCircleR =
    "get key:R from section:CIRCLE failed in file:" + kIniPath + "(ConfigIni::GetDoubleValue)";
const std::string kMissingAdjust =
    "get key:IsColorFiledFirstDefaultAdjust from section:COLORFIELD failed in file:" + kIniPath +
    "(ConfigIni::GetValue)";

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsRead,
    ::testing::Values(
        ReadCase{"IntegerKey", "[TEMPERATURE]\r\nCurrentTemperature=6500\r\n",
                 [] { return double(TW(GetTemperatureConfig)(1)); }, 6500, nullptr},
        ReadCase{"NumberFollowedByUnit", "[TEMPERATURE]\r\nCurrentTemperature=6500K\r\n",
                 [] { return double(TW(GetTemperatureConfig)(1)); }, 6500, nullptr},
        ReadCase{"WordReadsAsZeroNotDefault", "[TEMPERATURE]\r\nCurrentTemperature=warm\r\n",
                 [] { return double(TW(GetTemperatureConfig)(7)); }, 0, nullptr},
        ReadCase{"EmptyValueIsMissing", "[TEMPERATURE]\r\nCurrentTemperature=\r\n",
                 [] { return double(TW(GetTemperatureConfig)(7)); }, 7,
                 kMissingTemperature.c_str()},
        ReadCase{"NoFileGivesDefault", std::nullopt,
                 [] { return double(TW(GetTemperatureConfig)(-3)); }, -3,
                 kMissingTemperature.c_str()},
        ReadCase{"KeyInAnotherSectionIsMissing", "[CIRCLE]\r\nCurrentTemperature=6500\r\n",
                 [] { return double(TW(GetTemperatureConfig)(7)); }, 7,
                 kMissingTemperature.c_str()},
        ReadCase{"KeyBeforeAnySectionIsMissing", "CurrentTemperature=6500\r\n[TEMPERATURE]\r\n",
                 [] { return double(TW(GetTemperatureConfig)(7)); }, 7,
                 kMissingTemperature.c_str()},
        ReadCase{"NamesAreCaseBlind", "[temperature]\r\ncurrenttemperature=5000\r\n",
                 [] { return double(TW(GetTemperatureConfig)(1)); }, 5000, nullptr},
        ReadCase{"BlanksAroundKeyAndValue", "[CIRCLE]\r\n  R  =  0.25  \r\n",
                 [] { return TW(GetCircleR)(-1.0); }, 0.25, nullptr},
        ReadCase{"QuotesAroundValue", "[CIRCLE]\r\nR=\"0.5\"\r\n",
                 [] { return TW(GetCircleR)(-1.0); }, 0.5, nullptr},
        ReadCase{"DecimalCommaThroughColourComponent", "[CIRCLE]\r\nR=0,75\r\n",
                 [] { return TW(GetCircleR)(-1.0); }, 0.75, nullptr},
        ReadCase{"DecimalCommaThroughPlainDouble", "[CIRCLE]\r\nAngle=0,75\r\n",
                 [] { return TW(GetCircleAngle)(-1.0); }, 0.0, nullptr},
        ReadCase{"MissingColourComponentNamesItsReader", "[CIRCLE]\r\nG=1\r\n",
                 [] { return TW(GetCircleR)(-1.0); }, -1.0, kMissingCircleR.c_str()},
        ReadCase{"MisspelledKeyIsTheOneRead",
                 "[COLORFIELD]\r\nIsColorFiledFirstDefaultAdjust=1\r\n",
                 [] { return double(TW(GetIsColorFieldFirstDefaultAdjust)(5)); }, 1, nullptr},
        ReadCase{"CorrectlySpelledKeyIsIgnored",
                 "[COLORFIELD]\r\nIsColorFieldFirstDefaultAdjust=1\r\n",
                 [] { return double(TW(GetIsColorFieldFirstDefaultAdjust)(5)); }, 5,
                 kMissingAdjust.c_str()},
        ReadCase{"FloatFromItsWidenedText",
                 "[WHITEPOINT]\r\nWhitePointR=0.89999997615814208984\r\n",
                 [] { return double(TW(GetWhitePointR)(1.0f)); }, double(0.9f), nullptr},
        ReadCase{"StoredMinusOneIsNotTheDefault", "[NATURECOLOR]\r\nMonitorId=-1\r\n",
                 [] { return double(TW(GetMonitorId)(7)); }, -1, nullptr},
        ReadCase{"MonitorIdSaturatesAt32Bits", "[NATURECOLOR]\r\nMonitorId=99999999999\r\n",
                 [] { return double(TW(GetMonitorId)(7)); }, double(INT_MAX), nullptr},
        ReadCase{"FirstOfTwoEqualSectionsWins",
                 "[CIRCLE]\r\nR=0.5\r\n[circle]\r\nR=0.25\r\nG=0.75\r\n",
                 [] { return TW(GetCircleR)(-1.0); }, 0.5, nullptr},
        ReadCase{"LineEndsOfAnyKind", "[CIRCLE]\nAngle=1\rR=0.5\n",
                 [] { return TW(GetCircleR)(-1.0); }, 0.5, nullptr},
        ReadCase{"GarbageFileGivesDefault", "\x01\x02\xff\xfe garbage [ = ] \x80\r\n[[[\r\n=\r\n",
                 [] { return TW(GetCircleR)(-1.0); }, -1.0, kMissingCircleR.c_str()}),
    [](const auto& info) { return std::string(info.param.name); });

// Files edited by hand, read as Wine reads them; Windows is not known to differ.
INSTANTIATE_TEST_SUITE_P(
    HandEdited, SettingsRead,
    ::testing::Values(ReadCase{"UnclosedBracketIsAKeyOfItsSection",
                               "[CIRCLE]\r\nR=1\r\n[garbage\r\nG=0.25\r\n",
                               [] { return TW(GetCircleG)(-1.0); }, 0.25, nullptr},
                      ReadCase{"UnclosedHeaderStartsNoSection",
                               "[TEMPERATURE]\r\nCurrentTemperature=6500\r\n[CIRCLE\r\nR=0.5\r\n",
                               [] { return TW(GetCircleR)(-1.0); }, -1.0, kMissingCircleR.c_str()},
                      ReadCase{"HeaderEndsAtTheLastBracket", "[CIRCLE]]\r\nR=0.5\r\n",
                               [] { return TW(GetCircleR)(-1.0); }, -1.0, kMissingCircleR.c_str()},
                      ReadCase{"KeyWithoutEqualsHidesALaterValue", "[CIRCLE]\r\nR\r\nR=0.5\r\n",
                               [] { return TW(GetCircleR)(-1.0); }, -1.0, kMissingCircleR.c_str()},
                      ReadCase{"VerticalTabAndFormFeedAreBlanks",
                               "\v[\fCIRCLE\v]\f\r\n\vR\f=\f0.25\v\r\n",
                               [] { return TW(GetCircleR)(-1.0); }, 0.25, nullptr},
                      ReadCase{"DosEndOfFileMarkIsABlank", "\x1a[CIRCLE]\r\n\x1aR\x1a=0.5\r\n\x1a",
                               [] { return TW(GetCircleR)(-1.0); }, 0.5, nullptr},
                      ReadCase{"NulEndsTheKeyName", "[CIRCLE]\r\nR\0note=0.5\r\n"sv,
                               [] { return TW(GetCircleR)(-1.0); }, 0.5, nullptr},
                      ReadCase{"NulEndsTheValue",
                               "[CIRCLE]\r\nR=\0"
                               "0.5\r\n"sv,
                               [] { return TW(GetCircleR)(-1.0); }, -1.0, kMissingCircleR.c_str()}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- writes: what reaches the file ----

struct WriteCase {
    const char* name;
    const char* ini;  // null: no INI file before the write
    int (*write)();
    std::vector<std::string> linesInOrder;
};

void PrintTo(const WriteCase& c, std::ostream* out) {
    *out << c.name;
}

class SettingsWrite : public ExportTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(SettingsWrite, StoresTheValueText) {
    const WriteCase& c = GetParam();
    if (c.ini != nullptr) {
        WriteIni(c.ini);
    }
    ASSERT_EQ(c.write(), 0);
    const auto lines = IniLines();
    EXPECT_TRUE(HasInOrder(lines, c.linesInOrder)) << ReadIniOrEmpty();
    EXPECT_TRUE(LogRecords().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsWrite,
    ::testing::Values(
        WriteCase{"DoubleWithTwentyDigits",
                  nullptr,
                  [] { return TW(SetCircleR)(0.1); },
                  {"[CIRCLE]", "R=0.10000000000000000555"}},
        WriteCase{"ShortDoubleStaysShort",
                  nullptr,
                  [] { return TW(SetCircleAngle)(2.5); },
                  {"[CIRCLE]", "Angle=2.5"}},
        WriteCase{"FloatWidenedToDouble",
                  nullptr,
                  [] { return TW(SetWhitePointR)(0.9f); },
                  {"[WHITEPOINT]", "WhitePointR=0.89999997615814208984"}},
        WriteCase{"NegativeInteger",
                  nullptr,
                  [] { return TW(SetMonitorId)(-1); },
                  {"[NATURECOLOR]", "MonitorId=-1"}},
        WriteCase{"OddlyNamedSetterWritesTheModeKey",
                  nullptr,
                  [] { return TW(SetGetCurrentColorFieldMode)(2); },
                  {"[COLORFIELD]", "CurrentColorFieldMode=2"}},
        WriteCase{"MisspelledKeyIsTheOneWritten",
                  nullptr,
                  [] { return TW(SetIsColorFieldFirstDefaultAdjust)(1); },
                  {"[COLORFIELD]", "IsColorFiledFirstDefaultAdjust=1"}},
        WriteCase{"CommentsAndUnknownKeysKept",
                  "; written by hand\r\n[CIRCLE]\r\nR=1\r\nLegacy=yes\r\n[X]\r\na=1\r\n",
                  [] { return TW(SetCircleR)(0.5); },
                  {"; written by hand", "[CIRCLE]", "R=0.5", "Legacy=yes", "[X]", "a=1"}},
        WriteCase{"NewKeyJoinsItsSection",
                  "[CIRCLE]\r\nR=1\r\n[TEMPERATURE]\r\nCurrentTemperature=6500\r\n",
                  [] { return TW(SetCircleG)(0.5); },
                  {"[CIRCLE]", "R=1", "G=0.5", "[TEMPERATURE]", "CurrentTemperature=6500"}},
        WriteCase{"NewSectionAfterTheOthers",
                  "[CIRCLE]\r\nR=1\r\n",
                  [] { return TW(SetEyeProtect)(40); },
                  {"[CIRCLE]", "R=1", "[EYEPROTECT]", "EyeProtectValue=40"}},
        WriteCase{"ExistingKeyUpdatedCaseBlind",
                  "[circle]\r\nr=1\r\n",
                  [] { return TW(SetCircleR)(0.5); },
                  {"[circle]", "r=0.5"}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- writes into files edited by hand: the whole file, byte for byte ----

struct EditCase {
    const char* name;
    std::string_view before;
    int (*write)();
    std::string_view after;
    // Where Wine is known to write other bytes than Windows does.
    std::optional<std::string_view> afterOnWine = std::nullopt;
};

void PrintTo(const EditCase& c, std::ostream* out) {
    *out << c.name;
}

class SettingsEdit : public ExportTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(SettingsEdit, ChangesOnlyWhatItMust) {
    const EditCase& c = GetParam();
    WriteIni(c.before);
    ASSERT_EQ(c.write(), 0);
    EXPECT_EQ(ReadIni(), OnWine() ? c.afterOnWine.value_or(c.after) : c.after);
    EXPECT_TRUE(LogRecords().empty());
}

INSTANTIATE_TEST_SUITE_P(
    HandEdited, SettingsEdit,
    ::testing::Values(
        EditCase{"KeyWithoutEqualsTakesTheValue", "[CIRCLE]\r\nR\r\nR=1\r\n",
                 [] { return TW(SetCircleR)(0.5); }, "[CIRCLE]\r\nR=0.5\r\nR=1\r\n"},
        EditCase{"NewKeyGoesPastAnUnclosedBracket", "[CIRCLE]\r\nR=1\r\n[garbage\r\n[X]\r\na=1\r\n",
                 [] { return TW(SetCircleG)(0.5); },
                 "[CIRCLE]\r\nR=1\r\n[garbage\r\nG=0.5\r\n[X]\r\na=1\r\n"},
        EditCase{"DoubleBracketIsNotTheSection", "[CIRCLE]]\r\nR=1\r\n",
                 [] { return TW(SetCircleR)(0.5); }, "[CIRCLE]]\r\nR=1\r\n[CIRCLE]\r\nR=0.5\r\n"},
        EditCase{"ChangedLineLosesItsBlanks", "[CIRCLE]\r\n\vR\f=\f1\v\r\n",
                 [] { return TW(SetCircleR)(0.5); }, "[CIRCLE]\r\nR=0.5\r\n"},
        EditCase{"SameValueLeavesTheFileAlone", "; by hand\n\n[CIRCLE]\n  R =  0.5  \n",
                 [] { return TW(SetCircleR)(0.5); }, "; by hand\n\n[CIRCLE]\n  R =  0.5  \n"},
        // Windows edits the text in place and keeps the NUL bytes of lines it
        // does not change (Wine's own conformance test expects this of Windows
        // and marks Wine as failing it); Wine rewrites the whole file from what
        // it parsed, each name cut at its NUL.
        EditCase{"NulBytesOfAnUntouchedLineSurvive", "note\0 by hand"sv,
                 [] { return TW(SetCircleR)(0.5); }, "note\0 by hand\r\n[CIRCLE]\r\nR=0.5\r\n"sv,
                 "note\r\n[CIRCLE]\r\nR=0.5\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ExportTest, CaseBlindUpdateAddsNoSecondSectionOrKey) {
    WriteIni("[circle]\r\nr=1\r\n");
    ASSERT_EQ(TW(SetCircleR)(0.5), 0);
    EXPECT_EQ(IniLines().size(), 2u) << ReadIniOrEmpty();
}

// ---- round trips through the typed exports ----

TEST_F(ExportTest, ValuesSurviveTheirRoundTrip) {
    ASSERT_EQ(TW(SetTemperatureConfig)(6500), 0);
    ASSERT_EQ(TW(SetCircleR)(0.1), 0);
    ASSERT_EQ(TW(SetCircleRadiusScale)(1.0 / 3.0), 0);
    ASSERT_EQ(TW(SetWhitePointR)(0.9f), 0);
    ASSERT_EQ(TW(SetSensorColor)(5321.75f), 0);
    ASSERT_EQ(TW(SetMonitorId)(INT_MIN), 0);
    ASSERT_EQ(TW(SetGetCurrentColorFieldMode)(2), 0);

    EXPECT_EQ(TW(GetTemperatureConfig)(-1), 6500);
    EXPECT_EQ(TW(GetCircleR)(-1.0), 0.1);
    EXPECT_EQ(TW(GetCircleRadiusScale)(-1.0), 1.0 / 3.0);
    EXPECT_EQ(TW(GetWhitePointR)(1.0f), 0.9f);
    EXPECT_EQ(TW(GetSensorColor)(-1.0f), 5321.75f);
    EXPECT_EQ(TW(GetMonitorId)(7), INT_MIN);
    EXPECT_EQ(TW(GetCurrentColorFieldMode)(-1), 2);
}

TEST_F(ExportTest, EachSettingKeepsItsOwnKey) {
    ASSERT_EQ(TW(SetSensorR)(0.25f), 0);
    ASSERT_EQ(TW(SetSensorG)(0.5f), 0);
    ASSERT_EQ(TW(SetSensorB)(0.75f), 0);
    ASSERT_EQ(TW(SetBlueProtect)(3), 0);
    ASSERT_EQ(TW(SetBlueProtectSlider)(4), 0);
    EXPECT_EQ(TW(GetSensorR)(0.0f), 0.25f);
    EXPECT_EQ(TW(GetSensorG)(0.0f), 0.5f);
    EXPECT_EQ(TW(GetSensorB)(0.0f), 0.75f);
    EXPECT_EQ(TW(GetBlueProtect)(-1), 3);
    EXPECT_EQ(TW(GetBlueProtectSlider)(-1), 4);
    EXPECT_EQ(TW(GetBlueProtectDefault)(-9), -9);
}

// ---- text getters ----

TEST_F(ExportTest, TextGetterReturnsStoredTextExactly) {
    ASSERT_EQ(TW(SetCircleR)(0.1), 0);
    char buffer[64] = {};
    ASSERT_EQ(TW(GetCircleStrR)(buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "0.10000000000000000555");
}

TEST_F(ExportTest, TextGetterNeedsRoomForTheTerminatingZero) {
    WriteIni("[CIRCLE]\r\nR=0.5\r\nG=0.12345\r\nB=123\r\n");
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(TW(GetCircleStrR)(buffer, 4), 0);
    EXPECT_STREQ(buffer, "0.5");

    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(TW(GetCircleStrG)(buffer, 4), -1);
    EXPECT_EQ(TW(GetCircleStrB)(buffer, 3), -1);
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(sizeof buffer, 'x'));
}

TEST_F(ExportTest, TextGetterRefusesBadBuffers) {
    WriteIni("[CIRCLE]\r\nAngle=30\r\n");
    char buffer[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(TW(GetCircleStrAngle)(nullptr, 64), -1);
    EXPECT_EQ(TW(GetCircleStrAngle)(buffer, 0), -1);
    EXPECT_EQ(TW(GetCircleStrAngle)(buffer, -5), -1);
    EXPECT_EQ(TW(GetCircleStrAngle)(buffer, INT_MIN), -1);
    EXPECT_EQ(std::string(buffer, 4), "xxxx");
}

TEST_F(ExportTest, NullTextBufferDoesNotTouchTheFile) {
    EXPECT_EQ(TW(GetCircleStrRadiusScale)(nullptr, 64), -1);
    EXPECT_FALSE(ReadIni().has_value());
    EXPECT_TRUE(LogRecords().empty());
}

TEST_F(ExportTest, MissingTextIsRefusedWithoutALine) {
    WriteIni("[CIRCLE]\r\nR=\r\n");
    char buffer[32];
    EXPECT_EQ(TW(GetCircleStrR)(buffer, sizeof buffer), -1);
    EXPECT_EQ(TW(GetCircleStrG)(buffer, sizeof buffer), -1);
    EXPECT_TRUE(LogRecords().empty());
}

TEST_F(ExportTest, LongValueIsReadAs259Characters) {
    WriteIni("[CIRCLE]\r\nR=" + std::string(300, '7') + "\r\n");
    char buffer[1024];
    ASSERT_EQ(TW(GetCircleStrR)(buffer, sizeof buffer), 0);
    EXPECT_EQ(std::string(buffer), std::string(259, '7'));
    ASSERT_EQ(TW(GetCircleStrR)(buffer, 260), 0);
    EXPECT_EQ(TW(GetCircleStrR)(buffer, 259), -1);
}

TEST_F(ExportTest, QuotesComeOffOnlyWhenTheQuotedValueNearlyFits) {
    // The reader's buffer holds 259 characters: the closing quote is dropped
    // after the copy is cut, taking the last character copied with it.
    const auto quoted = [](std::size_t length) {
        WriteIni("[CIRCLE]\r\nR=\"" + std::string(length, '7') + "\"\r\n");
        char buffer[1024] = {};
        EXPECT_EQ(TW(GetCircleStrR)(buffer, sizeof buffer), 0);
        return std::string(buffer).size();
    };
    EXPECT_EQ(quoted(258), 258u);
    EXPECT_EQ(quoted(259), 258u);
    EXPECT_EQ(quoted(260), 259u);
}

// ---- failures of the file ----

TEST_F(ExportTest, WriteIntoMissingFolderFailsWithErrorLine) {
    RemoveIniFolder();
    EXPECT_EQ(TW(SetCircleR)(0.5), -1);
    EXPECT_EQ(TW(SetTemperatureConfig)(6500), -1);
    const auto records = LogRecords();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].level, 3);
    EXPECT_EQ(records[0].text,
              "set key:R in section:CIRCLE failed in file:" + kIniPath + "(ConfigIni::SetValue)");
    EXPECT_EQ(records[1].text, "set key:CurrentTemperature in section:TEMPERATURE failed in file:" +
                                   kIniPath + "(ConfigIni::SetValue)");
    EXPECT_FALSE(ReadIni().has_value());
}

TEST_F(ExportTest, WriteToReadOnlyFileFailsAndLeavesItAlone) {
    const std::string before = "[CIRCLE]\r\nR=1\r\n";
    WriteIni(before);
    if (!MakeIniReadOnly()) {
        GTEST_SKIP() << "this platform lets the current user write read-only files (Wine as root)";
    }
    EXPECT_EQ(TW(SetCircleR)(0.5), -1);
    EXPECT_EQ(ReadIni(), before);
    const auto records = LogRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].level, 3);
    EXPECT_EQ(TW(GetCircleR)(-1.0), 1.0);
}

TEST_F(ExportTest, FirstSuccessfulWriteCreatesTheFile) {
    ASSERT_FALSE(ReadIni().has_value());
    ASSERT_EQ(TW(SetIsNatureColor)(1), 0);
    EXPECT_TRUE(HasLine(IniLines(), "IsNatureColor=1"));
}

}  // namespace tw_test
