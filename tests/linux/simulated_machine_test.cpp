// The simulated machine's own contracts, where the library's exports cannot
// reach them: what Windows does that the library may come to rely on.
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>

#include "../shared/test_platform.h"
#include "sim/machine.h"

namespace tw_test {

namespace {

constexpr const wchar_t* kIni = L"C:\\ProgramData\\Vozaz\\OrvLumivex\\Tintwell.ini";

std::wstring Read(const wchar_t* section, const wchar_t* key, DWORD size = 64,
                  DWORD* length = nullptr) {
    std::wstring buffer(size, L'#');
    const DWORD copied =
        GetPrivateProfileStringW(section, key, L"dflt  ", buffer.data(), size, kIni);
    if (length != nullptr) {
        *length = copied;
    }
    return buffer.substr(0, copied);
}

}  // namespace

TEST_F(ExportTest, PathsMapUnderTheRootWithTheDriveLetter) {
    const auto& machine = sim::Machine::Current();
    EXPECT_EQ(machine.HostPath(L"c:\\a\\b.txt"), machine.Root() / "C" / "a" / "b.txt");
    EXPECT_EQ(machine.HostPath(L"/tmp/x.log"), std::filesystem::path("/tmp/x.log"));
}

TEST_F(ExportTest, ProfileReadTruncatesAndReportsWhatItCopied) {
    WriteIni("[S]\r\nk=abcdef\r\n");
    DWORD length = 0;
    EXPECT_EQ(Read(L"S", L"k", 4, &length), L"abc");
    EXPECT_EQ(length, 3u);
    wchar_t unused = L'#';
    EXPECT_EQ(GetPrivateProfileStringW(L"S", L"k", L"", &unused, 0, kIni), 0u);
    EXPECT_EQ(unused, L'#');
}

TEST_F(ExportTest, ProfileDefaultLosesTrailingBlanksAndSetsLastError) {
    WriteIni("[S]\r\nk=1\r\n");
    EXPECT_EQ(Read(L"S", L"other"), L"dflt");
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(ExportTest, ProfileNameListsAreDoublyTerminated) {
    WriteIni("[A]\r\nx=1\r\ny=2\r\n[B]\r\n");
    wchar_t buffer[32];
    const DWORD sections = GetPrivateProfileStringW(nullptr, nullptr, L"", buffer, 32, kIni);
    EXPECT_EQ(std::wstring(buffer, sections + 1), std::wstring(L"A\0B\0\0", 5));
    const DWORD keys = GetPrivateProfileStringW(L"a", nullptr, L"", buffer, 32, kIni);
    EXPECT_EQ(std::wstring(buffer, keys + 1), std::wstring(L"x\0y\0\0", 5));
    EXPECT_EQ(GetPrivateProfileStringW(L"A", nullptr, L"", buffer, 3, kIni), 1u);
}

TEST_F(ExportTest, UnicodeFileStaysUnicode) {
    WriteIni(std::string("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\x2D\x4E\r\0\n\0", 22));
    EXPECT_EQ(Read(L"S", L"k"), L"\u4e2d");
    ASSERT_TRUE(WritePrivateProfileStringW(L"S", L"j", L"\u00e9", kIni));
    const std::string bytes = ReadIniOrEmpty();
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(Read(L"S", L"j"), L"\u00e9");
}

TEST_F(ExportTest, AnsiFileLosesWhatTheCodePageCannotHold) {
    ASSERT_TRUE(WritePrivateProfileStringW(L"S", L"k", L"caf\u00e9\u4e2d", kIni));
    EXPECT_EQ(ReadIniOrEmpty(), "[S]\r\nk=caf\xe9?\r\n");
}

TEST_F(ExportTest, ProfileDeletesKeysAndSections) {
    WriteIni("[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n");
    ASSERT_TRUE(WritePrivateProfileStringW(L"A", L"x", nullptr, kIni));
    ASSERT_TRUE(WritePrivateProfileStringW(L"B", nullptr, nullptr, kIni));
    EXPECT_EQ(ReadIniOrEmpty(), "[A]\r\ny=2\r\n");
}

TEST_F(ExportTest, UnterminatedLastLineGetsItsEndBeforeAnAppend) {
    WriteIni("[A]\nx=1");
    ASSERT_TRUE(WritePrivateProfileStringW(L"A", L"y", L"2", kIni));
    EXPECT_EQ(ReadIniOrEmpty(), "[A]\nx=1\r\ny=2\r\n");
}

TEST_F(ExportTest, InjectedFailuresComeFromTheMachineDescription) {
    auto machine = sim::Machine::FromJson(nlohmann::json::parse(R"({
        "name": "flaky disk",
        "failures": [{"call": "WritePrivateProfileStringW", "error": 5}]
    })"));
    machine->SetRoot(sim::Machine::Current().Root());
    sim::Machine::Install(std::move(machine));
    EXPECT_EQ(sim::Machine::Current().Name(), "flaky disk");
    EXPECT_EQ(TW(SetCircleR)(0.5), -1);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(TW(SetCircleR)(0.5), 0);
}

TEST_F(ExportTest, AlwaysFailingReadGivesEveryDefault) {
    WriteIni("[CIRCLE]\r\nR=0.5\r\n");
    sim::Machine::Current().FailCall("GetPrivateProfileStringW", ERROR_ACCESS_DENIED, true);
    EXPECT_EQ(TW(GetCircleR)(-1.0), -1.0);
    EXPECT_EQ(TW(GetCircleR)(-2.0), -2.0);
    sim::Machine::Current().ClearFailures();
    EXPECT_EQ(TW(GetCircleR)(-1.0), 0.5);
}

TEST_F(ExportTest, MachineFileNamedByTheEnvironmentIsLoaded) {
    const auto file = sim::Machine::Current().Root() / "machine.json";
    std::ofstream(file) << R"({"name": "desk machine"})";
    setenv("TINTWELL_MACHINE", file.c_str(), 1);
    sim::Machine::Install(nullptr);
    EXPECT_EQ(sim::Machine::Current().Name(), "desk machine");
    unsetenv("TINTWELL_MACHINE");
}

TEST_F(ExportTest, BuiltInMachineIsTheDocumentedExample) {
    EXPECT_EQ(sim::Machine::BuiltInDefault()->Name(), "Tintwell reference laptop");
}

TEST_F(ExportTest, DebugOutputIsRecordedAndEchoedOnRequest) {
    setenv("TINTWELL_DEBUG_OUTPUT", "1", 1);
    ::testing::internal::CaptureStderr();
    OutputDebugStringW(L"[LCD MonitorEnumProc Enter] \n");
    const std::string echoed = ::testing::internal::GetCapturedStderr();
    unsetenv("TINTWELL_DEBUG_OUTPUT");
    OutputDebugStringW(L"quiet\n");
    EXPECT_EQ(echoed, "[LCD MonitorEnumProc Enter] \n");
    const auto recorded = sim::Machine::Current().DebugOutput();
    ASSERT_EQ(recorded.size(), 2u);
    EXPECT_EQ(recorded[1], L"quiet\n");
}

}  // namespace tw_test

namespace tw_test {

TEST_F(ExportTest, BrokenMachineDescriptionStopsWithTheReason) {
    const auto file = sim::Machine::Current().Root() / "broken.json";
    std::ofstream(file) << R"({"name": )";
    setenv("TINTWELL_MACHINE", file.c_str(), 1);
    sim::Machine::Install(nullptr);
    EXPECT_EXIT(TW(SetCircleR)(0.5), ::testing::ExitedWithCode(EXIT_FAILURE),
                "cannot use TINTWELL_MACHINE=.*broken.json");
    unsetenv("TINTWELL_MACHINE");
}

}  // namespace tw_test
