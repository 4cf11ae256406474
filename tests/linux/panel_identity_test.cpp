// Whose factory data the panel gets: both holders of the panel's identity
// (the 3D tables and the white point record) compare it with the EDID of
// the built-in panel, field by field, and a docked laptop must read that
// panel's EDID, not that of the monitor WMI happens to list first.
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include "../shared/test_platform.h"
#include "display_test_machines.h"
#include "lut_block.h"
#include "sim/default_machine.h"
#include "sim/intel_driver_model.h"
#include "white_point_record.h"

namespace tw_test {

namespace {

namespace fs = std::filesystem;
using Description = nlohmann::json;
using Edid = std::vector<std::uint8_t>;

constexpr unsigned kSrgb = 1;
constexpr unsigned kFirmwareLut = 1;
constexpr int kChanged = 0;
constexpr int kUnchanged = -1;
constexpr std::size_t kVendorLow = 9;
constexpr std::size_t kSerialFirst = 12;
constexpr std::size_t kWeek = 16;
constexpr std::size_t kYear = 17;
constexpr const char* kGoldenLutName = "\\golden.bin";
constexpr const wchar_t* kGoldenLutPath = L"C:\\Program Files\\Vozaz\\OrvLumivex\\golden.bin";

// The firmware's white point needs no correction; the golden one does, so the
// gains stored tell which record served.
white_point_record::Measurement SrgbPanel(white_point_record::Chromaticity white) {
    return {white, {0.64, 0.33}, {0.30, 0.60}, {0.15, 0.06}};
}
const std::array<float, 3> kFirmwareGains{1.0f, 1.0f, 1.0f};
const std::array<float, 3> kGoldenGains{1.0f, 0.9915f, 0.9157f};

// The golden 3D table maps nothing onto the panel's primaries, unlike the
// firmware's, so the table the driver got tells which source served.
const lut_block::ColourTransform kGoldenTransform{};

Description Parse(const std::string& text) {
    return nlohmann::json::parse(text);
}

Description ReadDescription(const std::string& file) {
    std::ifstream in(std::string(TINTWELL_EXAMPLE_MACHINES) + "/" + file);
    return nlohmann::json::parse(in);
}

Description& PanelOf(Description& machine) {
    return machine["displays"]["adapters"][0]["monitors"][0];
}

Edid Bytes(const std::string& hex) {
    Edid bytes;
    std::istringstream in(hex);
    for (unsigned value = 0; in >> std::hex >> value;) {
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes;
}

std::string Hex(const Edid& bytes) {
    std::ostringstream out;
    for (const std::uint8_t byte : bytes) {
        out << std::hex << std::setw(2) << std::setfill('0') << int{byte} << ' ';
    }
    return out.str();
}

// The built-in laptop whose panel reports another value of one EDID byte.
std::function<Description()> LaptopWithEdidByte(std::size_t offset, std::uint8_t value) {
    return [offset, value] {
        Description machine = Parse(sim::kDefaultMachineJson);
        Edid edid = Bytes(PanelOf(machine)["edid"]);
        edid.at(offset) = value;
        PanelOf(machine)["edid"] = Hex(edid);
        return machine;
    };
}

Description DockedLaptop() {
    return ReadDescription("docked-laptop.json");
}

Description WithoutConnections(Description machine) {
    for (auto& adapter : machine["displays"]["adapters"]) {
        for (auto& monitor : adapter["monitors"]) {
            monitor.erase("connection");
        }
    }
    return machine;
}

Description WithConnectionParams(Description machine, Description objects) {
    machine["system"]["wmi"]["ROOT\\WMI:WmiMonitorConnectionParams"] = std::move(objects);
    return machine;
}

struct PanelCase {
    const char* name;
    std::function<Description()> machine;
    bool panelChanged;
};

void PrintTo(const PanelCase& panel, std::ostream* out) {
    *out << panel.name;
}

const std::vector<PanelCase>& Cases() {
    static const std::vector<PanelCase> cases = {
        {"EveryFieldEqual", [] { return Parse(sim::kDefaultMachineJson); }, false},
        {"Vendor", LaptopWithEdidByte(kVendorLow, 0xE6), true},  // BOF
        {"SerialNumber", LaptopWithEdidByte(kSerialFirst, 0x69), true},
        {"Week", LaptopWithEdidByte(kWeek, 37), true},
        {"Year", LaptopWithEdidByte(kYear, 34), true},  // 2024
        {"DockedPanelInternalInWmi", DockedLaptop, false},
        {"DockedPanelInternalInTheDisplayConfiguration",
         [] { return WithConnectionParams(DockedLaptop(), Description::array()); }, false},
        {"DockedPanelEmbeddedDisplayPort",
         [] {
             Description machine = DockedLaptop();
             PanelOf(machine)["connection"] = "displayPortEmbedded";
             return machine;
         },
         false},
        // WMI's instance names keep the case of the device node, PNP ids may not.
        {"DockedInstanceNameInAnotherCase",
         [] {
             return WithConnectionParams(WithoutConnections(DockedLaptop()), Parse(R"([
                     {"InstanceName": "DISPLAY\\DEL41B3\\5&2c3d4e5f&0&UID4353_0",
                      "VideoOutputTechnology": 10},
                     {"InstanceName": "display\\boe0c8b\\4&1A2B3C4D&0&uid265988_0",
                      "VideoOutputTechnology": 2147483648}])"));
         },
         false},
        {"DockedWithoutConnectionInfoTakesTheFirstMonitor",
         [] { return WithoutConnections(DockedLaptop()); }, true},
        {"DockedWhenTheDisplayConfigurationFailsTakesTheFirstMonitor",
         [] {
             Description machine = WithConnectionParams(DockedLaptop(), Description::array());
             machine["failures"] = Parse(R"([{"call": "QueryDisplayConfig", "always": true}])");
             return machine;
         },
         true},
    };
    return cases;
}

void ExpectGains(const std::array<float, 3>& expected) {
    const std::array<float, 3> stored{TW(GetWhitePointR)(-1.0f), TW(GetWhitePointG)(-1.0f),
                                      TW(GetWhitePointB)(-1.0f)};
    for (std::size_t i = 0; i < stored.size(); ++i) {
        EXPECT_NEAR(stored[i], expected[i], 5e-5) << "channel " << i;
    }
}

std::vector<std::uint32_t> LastTableLoaded() {
    const auto calls = sim::Machine::Current().IntelDriver().FeatureDataCalls();
    if (calls.empty()) {
        return {};
    }
    std::vector<std::uint32_t> words(calls.back().data.size() / sizeof(std::uint32_t));
    std::memcpy(words.data(), calls.back().data.data(), words.size() * sizeof(std::uint32_t));
    return words;
}

// The machine, its firmware white point record and the front-end's golden
// data: a golden 3D table file beside the host and a golden record.
void Prepare(Description machine) {
    const lut_block::PanelIdentity panel;
    machine["system"]["whitePoint"] =
        white_point_record::MakeRecord(panel, SrgbPanel({0.3127, 0.3290}));
    InstallDescription(std::move(machine));
    StoreNeutralNatureColourSettings();
    TW(SetIsNatureColor)(0);

    const auto golden =
        lut_block::MakeGoldenFile({lut_block::MakeTable(panel, kSrgb, kGoldenTransform)});
    const fs::path goldenFile = sim::Machine::Current().HostPath(kGoldenLutPath);
    fs::create_directories(goldenFile.parent_path());
    std::ofstream(goldenFile, std::ios::binary)
        .write(reinterpret_cast<const char*>(golden.data()),
               static_cast<std::streamsize>(golden.size()));
    ASSERT_EQ(TW(SetColorFieldGoldenFilePath)(kGoldenLutName), 0);
    const std::string goldenRecord = white_point_record::MakeRecord(panel, SrgbPanel({0.30, 0.31}));
    ASSERT_EQ(TW(SetWhitePointGoldenData)(goldenRecord.c_str()), 0);
}

class PanelIdentity : public ExportTest, public ::testing::WithParamInterface<PanelCase> {};

}  // namespace

TEST_P(PanelIdentity, BothHoldersOfTheFactoryDataCompareItWithTheBuiltInPanel) {
    const bool changed = GetParam().panelChanged;
    Prepare(GetParam().machine());

    // The 3D tables.
    EXPECT_EQ(TW(IsLcdChanged)(kSrgb, kFirmwareLut), changed ? kChanged : kUnchanged);
    EXPECT_EQ(LoggedContaining(3, "LCD Invalid! Bios SN:"), changed);
    ASSERT_EQ(TW(SetDisplayerColorField)(kSrgb, kFirmwareLut), 0);
    EXPECT_EQ(LastTableLoaded(),
              changed ? lut_block::DriverTable(kGoldenTransform) : lut_block::DriverTable(kSrgb));

    // The white point record.
    ASSERT_EQ(TW(InitWhitePointInfo)(), 0);
    EXPECT_EQ(Logged(2, "Lcd changed!(OperateColor::IsLcdChanged)"), changed);
    ASSERT_EQ(TW(SetWhitePointForIntel)(), 0);
    ExpectGains(changed ? kGoldenGains : kFirmwareGains);
}

INSTANTIATE_TEST_SUITE_P(Panels, PanelIdentity, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace tw_test
