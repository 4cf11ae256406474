#include <windows.h>

#include <algorithm>
#include <memory>
#include <mutex>

#include "../shared/test_platform.h"
#include "colour_association_stand_in_win32.h"
#include "monitor_configuration_stand_in_win32.h"
#include "system_stand_ins_win32.h"

namespace tw_test {

namespace {

constexpr const wchar_t* kIniFolder = L"C:\\ProgramData\\Vozaz\\OrvLumivex";
constexpr const wchar_t* kIniFile = L"C:\\ProgramData\\Vozaz\\OrvLumivex\\Tintwell.ini";
constexpr const wchar_t* kScratchFolder = L"C:\\tintwell-tests";
constexpr const wchar_t* kTestLogFile = L"C:\\tintwell-tests\\tintwell.log";
constexpr const wchar_t* kDefaultLogFile = L"C:\\ProgramData\\Vozaz\\Logs\\TintwellDll.log";

const wchar_t* g_logFile = kTestLogFile;

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

UniqueHandle OpenFile(const wchar_t* path, DWORD access, DWORD disposition) {
    HANDLE handle = CreateFileW(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

std::optional<std::string> ReadAll(const wchar_t* path) {
    UniqueHandle file = OpenFile(path, GENERIC_READ, OPEN_EXISTING);
    if (!file) {
        return std::nullopt;
    }
    std::string bytes;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0) {
        bytes.append(chunk, read);
    }
    return bytes;
}

void DeleteIfPresent(const wchar_t* path) {
    SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path);
}

void CreateFolders(const std::wstring& path) {
    for (auto slash = path.find(L'\\', 3); slash != std::wstring::npos;
         slash = path.find(L'\\', slash + 1)) {
        CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
    }
    CreateDirectoryW(path.c_str(), nullptr);
}

// The DLL stays loaded for the process: its singletons live as long.
HMODULE Library() {
    static HMODULE library = LoadTintwellWithStandIns();
    return library;
}

// Without a debugger, OutputDebugString raises an exception that carries
// the narrow text (Windows falls back to it when the wide one goes
// unhandled); a vectored handler sees it first, on whichever thread wrote.
std::mutex g_debugOutputMutex;
std::vector<std::string> g_debugOutput;

LONG CALLBACK CaptureDebugOutput(EXCEPTION_POINTERS* exception) {
    const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
    if (record.ExceptionCode == DBG_PRINTEXCEPTION_C && record.NumberParameters >= 2) {
        std::lock_guard lock(g_debugOutputMutex);
        g_debugOutput.emplace_back(reinterpret_cast<const char*>(record.ExceptionInformation[1]));
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

void StartCapturingDebugOutput() {
    static const PVOID handler = AddVectoredExceptionHandler(1, &CaptureDebugOutput);
    static_cast<void>(handler);
}

}  // namespace

void* ExportAddress(const char* name) {
    if (Library() == nullptr) {
        ADD_FAILURE() << "TintwellDll.dll did not load, error " << GetLastError();
        return nullptr;
    }
    return reinterpret_cast<void*>(GetProcAddress(Library(), name));
}

// Walks the export directory of the loaded image.
std::vector<std::string> ExportedNames() {
    const auto* base = reinterpret_cast<const BYTE*>(Library());
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const auto* directory =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
    const auto* nameOffsets = reinterpret_cast<const DWORD*>(base + directory->AddressOfNames);
    std::vector<std::string> names;
    for (DWORD i = 0; i < directory->NumberOfNames; ++i) {
        names.emplace_back(reinterpret_cast<const char*>(base + nameOffsets[i]));
    }
    return names;
}

bool OnWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Wine 8 registers no class for the Sensor API.
void UnregisterSensorManager() {}

std::string HardwareRecord() {
    return std::string();
}

std::vector<std::string> DebugOutputTexts() {
    std::lock_guard lock(g_debugOutputMutex);
    return g_debugOutput;
}

void ExportTest::SetUp() {
    StartCapturingDebugOutput();
    ColourAssociationStandIn::Reset();
    MonitorConfigurationStandIn::Reset();
    CreateFolders(kScratchFolder);
    g_logFile = kTestLogFile;
    DeleteIfPresent(kTestLogFile);
    SetEnvironmentVariableW(L"TINTWELL_LOG_FILE", kTestLogFile);
    CreateFolders(kIniFolder);
    DeleteIfPresent(kIniFile);
    ASSERT_NE(Library(), nullptr) << "TintwellDll.dll did not load, error " << GetLastError();
}

void ExportTest::TearDown() {
    DeleteIfPresent(kIniFile);
    CreateFolders(kIniFolder);
}

void ExportTest::WriteIni(std::string_view bytes) {
    UniqueHandle file = OpenFile(kIniFile, GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_TRUE(file);
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::optional<std::string> ExportTest::ReadIni() {
    return ReadAll(kIniFile);
}

void ExportTest::RemoveIniFolder() {
    DeleteIfPresent(kIniFile);
    RemoveDirectoryW(kIniFolder);
}

bool ExportTest::IniFolderExists() {
    const DWORD attributes = GetFileAttributesW(kIniFolder);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void ExportTest::UseDefaultLogFile() {
    SetEnvironmentVariableW(L"TINTWELL_LOG_FILE", nullptr);
    DeleteIfPresent(kDefaultLogFile);
    g_logFile = kDefaultLogFile;
}

bool ExportTest::MakeIniReadOnly() {
    SetFileAttributesW(kIniFile, FILE_ATTRIBUTE_READONLY);
    // Wine maps the attribute to Unix permissions, which do not bind root.
    return !OpenFile(kIniFile, GENERIC_WRITE, OPEN_EXISTING);
}

std::vector<std::string> ExportTest::LogLinesRaw() {
    return SplitLines(ReadAll(g_logFile).value_or(""));
}

}  // namespace tw_test
