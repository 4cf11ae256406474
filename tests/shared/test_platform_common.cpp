#include <algorithm>
#include <regex>

#include "test_platform.h"

namespace tw_test {

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(current);
            current.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            current += c;
        }
    }
    if (!current.empty()) {
        lines.push_back(current);
    }
    return lines;
}

std::vector<LogRecord> ExportTest::LogRecords() {
    static const std::regex kShape(
        R"(^\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}\.\d{3}Z \[(-?\d+)\] (.*)$)");
    std::vector<LogRecord> records;
    for (const std::string& line : LogLinesRaw()) {
        std::smatch match;
        if (std::regex_match(line, match, kShape)) {
            records.push_back({std::stoi(match[1].str()), match[2].str()});
        } else if (!records.empty()) {
            // A text of several lines, such as the CCT mapping table's.
            records.back().text += "\n" + line;
        } else {
            ADD_FAILURE() << "log line of the wrong shape: " << line;
        }
    }
    return records;
}

bool ExportTest::Logged(int level, std::string_view text) {
    const auto records = LogRecords();
    return std::any_of(records.begin(), records.end(), [&](const LogRecord& record) {
        return record.level == level && record.text == text;
    });
}

bool ExportTest::LoggedContaining(int level, std::string_view part, std::size_t fromRecord) {
    const auto records = LogRecords();
    return std::any_of(
        records.begin() + static_cast<std::ptrdiff_t>(std::min(fromRecord, records.size())),
        records.end(), [&](const LogRecord& record) {
            return record.level == level && record.text.find(part) != std::string::npos;
        });
}

void StoreNeutralNatureColourSettings() {
    TW(SetCircleR)(1.0);
    TW(SetCircleG)(1.0);
    TW(SetCircleB)(1.0);
    TW(SetEyeProtect)(0);
    TW(SetBlueProtect)(1000);
    TW(SetIsNatureColor)(1);
}

void SubscribeFrontEndToTheLightSensor(const FrontEndLibrary& library, unsigned frames,
                                       unsigned intervalMs) {
    EXPECT_EQ(FE(library, SetCircleR)(1.0), 0);
    EXPECT_EQ(FE(library, SetCircleG)(1.0), 0);
    EXPECT_EQ(FE(library, SetCircleB)(1.0), 0);
    EXPECT_EQ(FE(library, SetEyeProtect)(0), 0);
    EXPECT_EQ(FE(library, SetBlueProtect)(1000), 0);
    EXPECT_EQ(FE(library, SetIsNatureColor)(1), 0);
    EXPECT_EQ(FE(library, SetSensorColor)(5000.0f), 0);
    FE(library, ClearMappingInfo)();
    FE(library, AddCctMappingInfo)(3000.0f, 1.0, 0.7, 0.4);
    FE(library, AddCctMappingInfo)(7000.0f, 0.8, 0.9, 1.0);
    FE(library, SetNatureColorAll)(frames, intervalMs, 0, 100.0f, 4000.0f, 50.0f);
    FE(library, SetNatureColorStatus)(1);
    ASSERT_EQ(FE(library, StartMonitorNatureColor)(0), 0);
}

}  // namespace tw_test
