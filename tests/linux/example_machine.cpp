#include "example_machine.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "../shared/digest_records.h"
#include "sim/machine.h"
#include "sim/machine_clock.h"

namespace tw_test {

namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

fs::path HostFile(const std::string& windowsPath) {
    return sim::Machine::Current().HostPath(std::wstring(windowsPath.begin(), windowsPath.end()));
}

}  // namespace

std::vector<std::string> ExampleMachineFiles() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(TINTWELL_EXAMPLE_MACHINES)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void InstallExampleMachine(const std::string& machineFile) {
    char pattern[] = "/tmp/tintwell-case-XXXXXX";
    const std::string root = mkdtemp(pattern);
    setenv("TINTWELL_ROOT", root.c_str(), 1);
    setenv("TINTWELL_LOG_FILE", (root + "/tintwell.log").c_str(), 1);
    auto machine = sim::Machine::FromFile(fs::path(TINTWELL_EXAMPLE_MACHINES) / machineFile);
    machine->SetRoot(root);
    machine->Clock().SetMode(sim::MachineClock::Mode::Virtual);
    sim::Machine::Install(std::move(machine));
    fs::create_directories(HostFile("C:\\ProgramData\\Vozaz\\OrvLumivex"));
    const std::string profile = ReadFile(fs::path(TINTWELL_TEST_DATA) / "icc" / "sRGB.icc");
    WriteFile(HostFile(kExampleProfile), profile);
    WriteFile(HostFile(kExampleDigest), DigestRecord("sRGB.icc", Sha256Of(profile)));
}

std::string ExampleMachineName(const ::testing::TestParamInfo<std::string>& info) {
    std::string name = fs::path(info.param).stem().string();
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

}  // namespace tw_test
