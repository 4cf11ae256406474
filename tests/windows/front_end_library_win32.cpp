// TintwellDll.dll as a front-end loads it, with LoadLibrary, on the machine
// Wine (or Windows) provides, with the test process's stand-ins for what
// Wine lacks (system_stand_ins_win32.h).
#include <windows.h>

#include <tlhelp32.h>

#include <memory>
#include <string>
#include <utility>

#include "../shared/test_platform.h"
#include "system_stand_ins_win32.h"

namespace tw_test {

namespace {

constexpr const wchar_t* kLibrary = L"TintwellDll.dll";

using Clock = std::chrono::steady_clock;

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

std::wstring ThisProgram() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

}  // namespace

FrontEndLibrary::FrontEndLibrary() : handle_(LoadTintwellWithStandIns()) {}

FrontEndLibrary::~FrontEndLibrary() {
    if (handle_ != nullptr) {
        FreeLibrary(static_cast<HMODULE>(handle_));
    }
}

void* FrontEndLibrary::Address(const char* name) const {
    return handle_ != nullptr
               ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name))
               : nullptr;
}

std::chrono::milliseconds FrontEndLibrary::Unload() {
    const auto start = Clock::now();
    FreeLibrary(static_cast<HMODULE>(std::exchange(handle_, nullptr)));
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

bool LibraryIsMapped() {
    return GetModuleHandleW(kLibrary) != nullptr;
}

void PrepareFrontEndMachine() {
    for (const wchar_t* folder : {L"C:\\tintwell-tests", L"C:\\ProgramData\\Vozaz",
                                  L"C:\\ProgramData\\Vozaz\\OrvLumivex"}) {
        CreateDirectoryW(folder, nullptr);
    }
    SetEnvironmentVariableW(L"TINTWELL_LOG_FILE", L"C:\\tintwell-tests\\front-end.log");
}

bool FrontEndMachineWritesGainsSlowly() {
    return false;
}

std::size_t ThreadCount() {
    const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    std::size_t count = 0;
    for (BOOL more = Thread32First(snapshot.get(), &entry); more;
         more = Thread32Next(snapshot.get(), &entry)) {
        count += entry.th32OwnerProcessID == GetCurrentProcessId() ? 1 : 0;
    }
    return count;
}

std::optional<int> RunTestInChildProcess(const std::string& testName,
                                         std::chrono::milliseconds patience) {
    const std::wstring program = ThisProgram();
    std::wstring commandLine = L"\"" + program + L"\" --gtest_filter=" + Widen(testName) +
                               L" --gtest_also_run_disabled_tests";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return std::nullopt;
    }
    const UniqueHandle child(process.hProcess);
    CloseHandle(process.hThread);
    if (WaitForSingleObject(child.get(), static_cast<DWORD>(patience.count())) != WAIT_OBJECT_0) {
        TerminateProcess(child.get(), 1);
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(child.get(), &code);
    return static_cast<int>(code);
}

}  // namespace tw_test
