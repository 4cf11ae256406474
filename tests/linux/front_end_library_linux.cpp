// The shared library as a front-end loads it, with dlopen, on a machine
// description of its own.
#include <dlfcn.h>
#include <link.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <utility>

#include "../shared/test_platform.h"
#include "desktop_test_machines.h"

extern char** environ;

namespace tw_test {

namespace {

namespace fs = std::filesystem;

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds Since(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

const fs::path& LibraryPath() {
    static const fs::path path = fs::canonical(TINTWELL_SHARED_LIBRARY);
    return path;
}

int SeeIfLibrary(dl_phdr_info* info, std::size_t, void* found) {
    std::error_code ignored;
    if (info->dlpi_name != nullptr && *info->dlpi_name != '\0' &&
        fs::equivalent(info->dlpi_name, LibraryPath(), ignored)) {
        *static_cast<bool*>(found) = true;
    }
    return 0;
}

nlohmann::json DesktopWithMakersMonitor() {
    return {{"displays",
             {{"adapters", {Display(1, {Monitor(kMakerMonitorId)}, {Physical("ORV2016")})}}}},
            {"system", {{"chassisType", kDesktopChassis}}},
            {"clock", "real"}};
}

}  // namespace

FrontEndLibrary::FrontEndLibrary()
    : handle_(dlopen(LibraryPath().c_str(), RTLD_NOW | RTLD_LOCAL)) {}

FrontEndLibrary::~FrontEndLibrary() {
    if (handle_ != nullptr) {
        dlclose(handle_);
    }
}

void* FrontEndLibrary::Address(const char* name) const {
    return handle_ != nullptr ? dlsym(handle_, name) : nullptr;
}

std::chrono::milliseconds FrontEndLibrary::Unload() {
    const auto start = Clock::now();
    dlclose(std::exchange(handle_, nullptr));
    return Since(start);
}

bool LibraryIsMapped() {
    bool found = false;
    dl_iterate_phdr(&SeeIfLibrary, &found);
    return found;
}

void PrepareFrontEndMachine() {
    char pattern[] = "/tmp/tintwell-front-end-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const fs::path root = pattern;
    fs::create_directories(root / "C/ProgramData/Vozaz/OrvLumivex");
    std::ofstream(root / "machine.json") << DesktopWithMakersMonitor().dump();
    setenv("TINTWELL_ROOT", root.c_str(), 1);
    setenv("TINTWELL_MACHINE", (root / "machine.json").c_str(), 1);
    setenv("TINTWELL_LOG_FILE", (root / "tintwell.log").c_str(), 1);
}

bool FrontEndMachineWritesGainsSlowly() {
    return true;
}

std::size_t ThreadCount() {
    const fs::directory_iterator tasks("/proc/self/task");
    return static_cast<std::size_t>(std::distance(begin(tasks), end(tasks)));
}

std::optional<int> RunTestInChildProcess(const std::string& testName,
                                         std::chrono::milliseconds patience) {
    std::string program = fs::read_symlink("/proc/self/exe");
    std::string filter = "--gtest_filter=" + testName;
    std::string disabled = "--gtest_also_run_disabled_tests";
    char* arguments[] = {program.data(), filter.data(), disabled.data(), nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr, arguments, environ) != 0) {
        return std::nullopt;
    }
    const auto start = Clock::now();
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (Since(start) > patience) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace tw_test
