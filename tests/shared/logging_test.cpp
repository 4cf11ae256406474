#include <iterator>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "test_platform.h"

namespace tw_test {

TEST_F(ExportTest, LogLineCarriesTimeLevelAndText) {
    EXPECT_EQ(TW(LcdLogMessage)(2, L"Lcd changed!(ColorField::IsLcdChanged)"), 0);
    const auto records = LogRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].level, 2);
    EXPECT_EQ(records[0].text, "Lcd changed!(ColorField::IsLcdChanged)");
}

TEST_F(ExportTest, LevelsPassThroughUnclamped) {
    TW(LcdLogMessage)(5, L"five");
    TW(LcdLogMessage)(-1, L"minus one");
    const auto records = LogRecords();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].level, 5);
    EXPECT_EQ(records[1].level, -1);
}

TEST_F(ExportTest, StopLoggerDoesNotStopLogging) {
    TW(StopLogger)();
    TW(LcdLogMessage)(1, L"still here");
    const auto records = LogRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].text, "still here");
}

TEST_F(ExportTest, NonAsciiTextIsWrittenAsUtf8) {
    TW(LcdLogMessage)(0, L"caf\u00e9 \u4e2d");
    const auto records = LogRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].text, "caf\xc3\xa9 \xe4\xb8\xad");
}

// Whatever a caller's text holds, one call writes one line: control
// characters are written escaped, so none can forge a line or reach a
// terminal raw.
TEST_F(ExportTest, ControlCharactersInACallersTextAreEscaped) {
    struct Case {
        const wchar_t* text;
        const char* written;
    };
    const Case cases[] = {
        {L"a\r\nFAKE [3] line", "a\\x0d\\x0aFAKE [3] line"},
        {L"\x1b[31mred\x1b[0m", "\\x1b[31mred\\x1b[0m"},
        {L"tab\there\x7f\x85", "tab\\x09here\\x7f\\x85"},
        {L"next\u2028para\u2029", "next\\u2028para\\u2029"},
        {L"C:\\Profiles\\P3.icc", "C:\\Profiles\\P3.icc"},
    };
    for (const Case& c : cases) {
        TW(LcdLogMessage)(1, c.text);
    }
    const auto records = LogRecords();
    ASSERT_EQ(records.size(), std::size(cases));
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].text, cases[i].written);
    }
}

TEST_F(ExportTest, NullTextLogsAnEmptyLine) {
    EXPECT_EQ(TW(LcdLogMessage)(1, nullptr), 0);
    const auto records = LogRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].text, "");
}

TEST_F(ExportTest, LinesFromManyThreadsStayWhole) {
    constexpr int kThreads = 8;
    constexpr int kLinesEach = 200;
    const std::wstring padding(120, L'.');
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kLinesEach; ++i) {
                const std::wstring text =
                    L"thread " + std::to_wstring(t) + L" line " + std::to_wstring(i) + padding;
                TW(LcdLogMessage)(1, text.c_str());
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    const auto records = LogRecords();
    ASSERT_EQ(records.size(), std::size_t{kThreads * kLinesEach});
    const std::string tail(120, '.');
    std::set<std::string> distinct;
    for (const auto& record : records) {
        ASSERT_EQ(record.text.substr(record.text.size() - tail.size()), tail) << record.text;
        distinct.insert(record.text);
    }
    EXPECT_EQ(distinct.size(), records.size());
}

TEST_F(ExportTest, ObjectBracketsHaveNoEffect) {
    TW(ExitColorObject)();
    TW(EnterColorObject)();
    TW(EnterColorObject)();
    TW(ExitColorObject)();
    EXPECT_FALSE(ReadIni().has_value());
    EXPECT_TRUE(LogLinesRaw().empty());
}

}  // namespace tw_test
