#include <elf.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "../shared/test_platform.h"
#include "platform/utf8.h"
#include "sim/machine.h"
#include "sim/adl_model.h"
#include "sim/color_model.h"
#include "sim/display_model.h"
#include "sim/firmware_model.h"
#include "sim/intel_driver_model.h"
#include "sim/machine_clock.h"
#include "sim/registry_model.h"
#include "sim/sensor_model.h"

namespace tw_test {

namespace {

namespace fs = std::filesystem;

fs::path g_root;
bool g_defaultLogFile = false;

const std::map<std::string, void*, std::less<>>& ExportAddresses() {
    static const std::map<std::string, void*, std::less<>> addresses = {
#define TW_EXPORT(name) {#name, reinterpret_cast<void*>(&::name)},
#include "frame/export_list.h"
#undef TW_EXPORT
    };
    return addresses;
}

fs::path IniFile() {
    return sim::Machine::Current().HostPath(L"C:\\ProgramData\\Vozaz\\OrvLumivex\\Tintwell.ini");
}

fs::path LogFile() {
    if (g_defaultLogFile) {
        return sim::Machine::Current().HostPath(L"C:\\ProgramData\\Vozaz\\Logs\\TintwellDll.log");
    }
    return g_root / "tintwell.log";
}

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

void* ExportAddress(const char* name) {
    const auto found = ExportAddresses().find(name);
    return found == ExportAddresses().end() ? nullptr : found->second;
}

// Reads the dynamic symbol table of the shared library the build produced.
std::vector<std::string> ExportedNames() {
    const std::string image = ReadAll(TINTWELL_SHARED_LIBRARY);
    const auto* header = reinterpret_cast<const Elf64_Ehdr*>(image.data());
    const auto* sections = reinterpret_cast<const Elf64_Shdr*>(image.data() + header->e_shoff);
    std::vector<std::string> names;
    for (int i = 0; i < header->e_shnum; ++i) {
        if (sections[i].sh_type != SHT_DYNSYM) {
            continue;
        }
        const char* strings = image.data() + sections[sections[i].sh_link].sh_offset;
        const auto* symbols =
            reinterpret_cast<const Elf64_Sym*>(image.data() + sections[i].sh_offset);
        const std::size_t count = sections[i].sh_size / sizeof(Elf64_Sym);
        for (std::size_t s = 0; s < count; ++s) {
            const bool defined = symbols[s].st_shndx != SHN_UNDEF;
            const bool global = ELF64_ST_BIND(symbols[s].st_info) != STB_LOCAL;
            if (defined && global && symbols[s].st_name != 0) {
                names.emplace_back(strings + symbols[s].st_name);
            }
        }
    }
    return names;
}

bool OnWine() {
    return false;
}

std::vector<std::string> DebugOutputTexts() {
    std::vector<std::string> texts;
    for (const auto& text : sim::Machine::Current().DebugOutput()) {
        texts.push_back(platform::ToUtf8(text));
    }
    return texts;
}

void ExportTest::SetUp() {
    char pattern[] = "/tmp/tintwell-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    g_root = pattern;
    g_defaultLogFile = false;
    setenv("TINTWELL_ROOT", g_root.c_str(), 1);
    setenv("TINTWELL_LOG_FILE", LogFile().c_str(), 1);
    auto machine = sim::Machine::BuiltInDefault();
    machine->SetRoot(g_root);
    machine->Clock().SetMode(sim::MachineClock::Mode::Virtual);
    sim::Machine::Install(std::move(machine));
    fs::create_directories(IniFile().parent_path());
}

void ExportTest::TearDown() {
    std::error_code ignored;
    fs::permissions(IniFile(), fs::perms::owner_all, ignored);
    fs::remove_all(g_root, ignored);
}

void ExportTest::WriteIni(std::string_view bytes) {
    std::ofstream(IniFile(), std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::optional<std::string> ExportTest::ReadIni() {
    if (!fs::exists(IniFile())) {
        return std::nullopt;
    }
    return ReadAll(IniFile());
}

void ExportTest::RemoveIniFolder() {
    fs::remove_all(IniFile().parent_path());
}

bool ExportTest::IniFolderExists() {
    return fs::exists(IniFile().parent_path());
}

void ExportTest::UseDefaultLogFile() {
    unsetenv("TINTWELL_LOG_FILE");
    g_defaultLogFile = true;
}

bool ExportTest::MakeIniReadOnly() {
    fs::permissions(IniFile(),
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    return true;
}

void UnregisterSensorManager() {
    sim::Machine::Current().Sensors().SetManagerRegistered(false);
}

std::string HardwareRecord() {
    sim::Machine& machine = sim::Machine::Current();
    const sim::DisplayModel& displays = machine.Displays();
    const sim::IntelDriverModel& driver = machine.IntelDriver();
    std::string record = "ramps " + std::to_string(displays.RampHistory().size()) + ", gains " +
                         std::to_string(displays.GainWrites().size()) + ", vcp " +
                         std::to_string(displays.VcpWrites().size()) + ", hal " +
                         std::to_string(machine.Firmware().HalSetInformationCalls().size()) +
                         ", driver " + std::to_string(driver.GammaRampCalls().size()) + "/" +
                         std::to_string(driver.FeatureDataCalls().size()) + ", adl " +
                         std::to_string(machine.Adl().GamutSets().size()) + ", profiles " +
                         std::to_string(machine.Colors().InstalledProfiles().size()) +
                         ", associations " +
                         std::to_string(machine.Colors().AssociationHistory().size()) + ", printer";
    constexpr std::wstring_view kPrinterKey =
        L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane\\Lumivex\\Printer";
    for (const wchar_t* name : {L"r", L"g", L"b", L"SensorCCT"}) {
        const auto value = machine.Registry().Value(kPrinterKey, name);
        record += value ? " " + std::string(value->data.begin(), value->data.end()) : " -";
    }
    return record;
}

std::vector<std::string> ExportTest::LogLinesRaw() {
    return SplitLines(ReadAll(LogFile()));
}

}  // namespace tw_test
