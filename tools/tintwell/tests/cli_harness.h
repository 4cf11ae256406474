// Runs the built tintwell executable as a user would: one fresh machine folder
// per test, its output and exit code captured.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace cli_test {

namespace fs = std::filesystem;

constexpr int kExitLibraryFailure = 1;
constexpr int kExitUsage = 2;
constexpr const char* kProgramDataFolder = "C/ProgramData/Vozaz/OrvLumivex";
constexpr const char* kIniFileName = "Tintwell.ini";

// A machine folder of its own, removed with everything in it.
class TempRoot {
  public:
    TempRoot() {
        std::string pattern = (fs::temp_directory_path() / "tintwell-cli-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw fs::filesystem_error("mkdtemp", std::make_error_code(std::errc(errno)));
        }
        path_ = pattern;
    }
    ~TempRoot() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    TempRoot(const TempRoot&) = delete;
    TempRoot& operator=(const TempRoot&) = delete;

    const fs::path& Path() const { return path_; }

  private:
    fs::path path_;
};

class SpawnFileActions {
  public:
    SpawnFileActions() { posix_spawn_file_actions_init(&actions_); }
    ~SpawnFileActions() { posix_spawn_file_actions_destroy(&actions_); }
    SpawnFileActions(const SpawnFileActions&) = delete;
    SpawnFileActions& operator=(const SpawnFileActions&) = delete;

    void Redirect(int descriptor, const fs::path& file) {
        posix_spawn_file_actions_addopen(&actions_, descriptor, file.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
    }
    const posix_spawn_file_actions_t* Get() const { return &actions_; }

  private:
    posix_spawn_file_actions_t actions_;
};

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

class TintwellCli : public ::testing::Test {
  protected:
    // The tool sees only this environment: its own machine root and log file,
    // and the machine description when a test names one.
    Outcome Tintwell(std::vector<std::string> arguments) const {
        arguments.insert(arguments.begin(), TINTWELL_CLI_PATH);
        std::vector<std::string> environment = {
            "TINTWELL_ROOT=" + root_.Path().string(),
            "TINTWELL_LOG_FILE=" + (root_.Path() / "tintwell.log").string()};
        if (!machine_.empty()) {
            environment.push_back("TINTWELL_MACHINE=" + machine_);
        }
        if (echoDebugOutput_) {
            environment.push_back("TINTWELL_DEBUG_OUTPUT=1");
        }
        const fs::path out = root_.Path() / "stdout.txt";
        const fs::path err = root_.Path() / "stderr.txt";
        SpawnFileActions actions;
        actions.Redirect(STDOUT_FILENO, out);
        actions.Redirect(STDERR_FILENO, err);

        pid_t child = 0;
        const std::vector<char*> argv = Pointers(arguments);
        const std::vector<char*> envp = Pointers(environment);
        if (posix_spawn(&child, TINTWELL_CLI_PATH, actions.Get(), nullptr, argv.data(),
                        envp.data()) != 0) {
            ADD_FAILURE() << "cannot start " << TINTWELL_CLI_PATH;
            return {};
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out), ReadFile(err)};
    }

    void UseExampleMachine(const std::string& file) {
        machine_ = (fs::path(TINTWELL_EXAMPLE_MACHINES) / file).string();
    }
    void UseMachine(const std::string& path) { machine_ = path; }
    // The library's debug output goes to the tool's stderr as well.
    void EchoDebugOutput() { echoDebugOutput_ = true; }
    fs::path ProgramDataFolder() const { return root_.Path() / kProgramDataFolder; }
    void CreateProgramDataFolder() const { fs::create_directories(ProgramDataFolder()); }
    std::string IniText() const { return ReadFile(ProgramDataFolder() / kIniFileName); }
    std::string WriteScratchFile(const std::string& name, const std::string& text) const {
        const fs::path file = root_.Path() / name;
        std::ofstream(file) << text;
        return file.string();
    }
    std::string ScratchPath(const std::string& name) const {
        return (root_.Path() / name).string();
    }

  private:
    static std::vector<char*> Pointers(std::vector<std::string>& texts) {
        std::vector<char*> pointers;
        for (std::string& text : texts) {
            pointers.push_back(text.data());
        }
        pointers.push_back(nullptr);
        return pointers;
    }

    TempRoot root_;
    std::string machine_;
    bool echoDebugOutput_ = false;
};

}  // namespace cli_test
