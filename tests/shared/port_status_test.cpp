// Port status and data report through the exports. On Linux the
// simulated reference laptop has the maker's firmware; on Windows (and under
// Wine) the firmware WMI interface does not exist and the component refuses.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "test_platform.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include "sim/machine.h"
#endif

namespace tw_test {

namespace {

#if defined(_WIN32)
// WBEM_E_INVALID_CLASS: the firmware's WMI class is missing.
constexpr int kFirmwareMissing = static_cast<int>(0x80041010u);

// ctest runs two Wine tests at a time and the harness gives them one log
// file; the warnings these tests cause go to a log of this process instead,
// so that neither these tests nor others count lines of a neighbour.
class OwnLog {
  public:
    OwnLog()
        : path_("C:\\tintwell-tests\\port-status-" + std::to_string(GetCurrentProcessId()) +
                ".log") {
        char previous[MAX_PATH] = {};
        const DWORD length = GetEnvironmentVariableA("TINTWELL_LOG_FILE", previous, MAX_PATH);
        previous_ = std::string(previous, length < MAX_PATH ? length : 0);
        DeleteFileA(path_.c_str());
        SetEnvironmentVariableA("TINTWELL_LOG_FILE", path_.c_str());
    }
    ~OwnLog() {
        SetEnvironmentVariableA("TINTWELL_LOG_FILE",
                                previous_.empty() ? nullptr : previous_.c_str());
        DeleteFileA(path_.c_str());
    }
    OwnLog(const OwnLog&) = delete;
    OwnLog& operator=(const OwnLog&) = delete;

    std::vector<LogRecord> Records() const {
        static const std::regex kShape(
            R"(^\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}\.\d{3}Z \[(-?\d+)\] (.*)$)");
        std::ifstream in(path_, std::ios::binary);
        std::vector<LogRecord> records;
        for (const auto& line : SplitLines(std::string{std::istreambuf_iterator<char>(in),
                                                       std::istreambuf_iterator<char>()})) {
            std::smatch match;
            if (!std::regex_match(line, match, kShape)) {
                ADD_FAILURE() << "log line of the wrong shape: " << line;
                continue;
            }
            records.push_back({std::stoi(match[1].str()), match[2].str()});
        }
        return records;
    }

  private:
    std::string path_;
    std::string previous_;
};

std::string SpoolPath() {
    char folder[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("ProgramData", folder, MAX_PATH);
    const std::string programData =
        length > 0 && length < MAX_PATH ? std::string(folder, length) : "C:\\ProgramData";
    return programData + "\\Vozaz\\OrvLumivex\\Reports\\DataReport.spool";
}
#else
// Every Linux test has a log of its own already.
class OwnLog {
  public:
    std::vector<LogRecord> Records() const { return ExportTest::LogRecords(); }
};

std::string SpoolPath() {
    return sim::Machine::Current()
        .HostPath(L"C:\\ProgramData\\Vozaz\\OrvLumivex\\Reports\\DataReport.spool")
        .string();
}
#endif

std::vector<std::string> SpoolLines() {
    std::ifstream in(SpoolPath(), std::ios::binary);
    return SplitLines(
        std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
}

// The spool for one test: empty at the start, and gone with its folder at
// the end, because the Wine prefix outlives the tests and the harness expects
// to remove the program-data folder of the INI file when only that file is
// in it. On Windows the tests that spool take turns, as ctest may run two of
// them at the same moment in one prefix.
class Spool {
  public:
    Spool() {
#if defined(_WIN32)
        turn_ = CreateMutexW(nullptr, FALSE, L"Local\\tintwell-tests-data-report-spool");
        if (turn_ != nullptr) {
            WaitForSingleObject(turn_, INFINITE);
        }
#endif
        Remove();
    }
    ~Spool() {
        Remove();
#if defined(_WIN32)
        if (turn_ != nullptr) {
            ReleaseMutex(turn_);
            CloseHandle(turn_);
        }
#endif
    }
    Spool(const Spool&) = delete;
    Spool& operator=(const Spool&) = delete;

    // The fields after the time stamp of each line.
    std::vector<std::string> Reports() const {
        static const std::regex kShape(R"(^\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}\.\d{3}Z\t(.*)$)");
        std::vector<std::string> reports;
        for (const auto& line : SpoolLines()) {
            std::smatch match;
            if (!std::regex_match(line, match, kShape)) {
                ADD_FAILURE() << "spool line of the wrong shape: " << line;
                continue;
            }
            reports.push_back(match[1].str());
        }
        return reports;
    }

  private:
    static void Remove() {
        const std::string file = SpoolPath();
        std::remove(file.c_str());
#if defined(_WIN32)
        RemoveDirectoryA(file.substr(0, file.rfind('\\')).c_str());
#endif
    }

#if defined(_WIN32)
    HANDLE turn_ = nullptr;
#endif
};

}  // namespace

TEST_F(ExportTest, GetDpStatusReturnsTheFirmwareStatusOrMinusOne) {
    const OwnLog log;
#if defined(_WIN32)
    EXPECT_EQ(TW(GetDpStatus)(), -1);
    const auto records = log.Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].level, 2);
    EXPECT_NE(records[0].text.find("(OrvSDK::BiosWmi::GetDpStatus)"), std::string::npos)
        << records[0].text;
#else
    EXPECT_EQ(TW(GetDpStatus)(), 0);  // the reference laptop's status
    EXPECT_TRUE(log.Records().empty());
#endif
}

TEST_F(ExportTest, SetDpStatusReturnsTheComponentResult) {
    const OwnLog log;
#if defined(_WIN32)
    EXPECT_EQ(TW(SetDpStatus)(1), kFirmwareMissing);
    EXPECT_EQ(TW(GetDpStatus)(), -1);
    const auto records = log.Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].level, 2);
    EXPECT_NE(records[0].text.find("(OrvSDK::BiosWmi::SetDpStatus)"), std::string::npos);
#else
    EXPECT_EQ(TW(SetDpStatus)(1), 0);
    EXPECT_EQ(TW(GetDpStatus)(), 1);
    EXPECT_TRUE(log.Records().empty());
#endif
}

TEST_F(ExportTest, DataReportUploadSpoolsOneLine) {
    const OwnLog log;
    const Spool spool;
    EXPECT_EQ(TW(DataReportUpload)("first", "second text"), 1);
    EXPECT_EQ(spool.Reports(), (std::vector<std::string>{"first\tsecond text"}));
    EXPECT_EQ(TW(DataReportUpload)("again", "more"), 1);
    EXPECT_EQ(spool.Reports(), (std::vector<std::string>{"first\tsecond text", "again\tmore"}));
    EXPECT_TRUE(log.Records().empty());
}

TEST_F(ExportTest, DataReportUploadSendsEmptyTexts) {
    const Spool spool;
    EXPECT_EQ(TW(DataReportUpload)("", ""), 1);
    EXPECT_EQ(spool.Reports(), (std::vector<std::string>{"\t"}));
}

TEST_F(ExportTest, DataReportUploadTakesANullTextAsEmpty) {
    const Spool spool;
    EXPECT_EQ(TW(DataReportUpload)(nullptr, "x"), 1);
    EXPECT_EQ(TW(DataReportUpload)("y", nullptr), 1);
    EXPECT_EQ(spool.Reports(), (std::vector<std::string>{"\tx", "y\t"}));
}

TEST_F(ExportTest, DataReportUploadKeepsOneReportOnOneLine) {
    const Spool spool;
    EXPECT_EQ(TW(DataReportUpload)("a\r\nforged\tline", "x\\y"), 1);
    EXPECT_EQ(spool.Reports(), (std::vector<std::string>{"a\\r\\nforged\\tline\tx\\\\y"}));
}

}  // namespace tw_test
