// tintwell: drives the library through its C exports, the way a front-end
// application does: a demo of the whole library, settings, what the library detects, colour
// temperature, nature-colour scenes, gamut switches, the factory white point; and, beside the
// exports, what ADL reports, the firmware's LUT blocks and white point records, and the digest
// files of ICC profiles.
#include <iostream>
#include <string>

#include <CLI/CLI.hpp>

#include "adl_command.h"
#include "color_state_command.h"
#include "demo_command.h"
#include "edid_command.h"
#include "gamut_command.h"
#include "hardware_commands.h"
#include "lut_command.h"
#include "nature_command.h"
#include "settings_commands.h"
#include "whitepoint_command.h"

namespace {

constexpr const char* kSettingsExitCodes =
    "Exit codes: 0 done; 1 the library could not write its INI file; 2 an unknown or read-only "
    "key, a value that does not parse as the key's type, or a malformed command line.";
constexpr const char* kInfoExitCodes =
    "Exit codes: 0 the report was printed; 2 a malformed command line.";
constexpr const char* kTemperatureExitCodes =
    "Exit codes: 0 the library applied the gains (result 0); 1 it refused (its result is "
    "printed); 2 an unknown road or a malformed command line.";
constexpr const char* kAdlExitCodes =
    "Exit codes: 0 the adapters were listed; 1 ADL is not there, lacks an entry point the "
    "library needs, or cannot be initialised or describe its adapters; 2 a malformed command "
    "line.";

struct KeyArguments {
    std::string section;
    std::string key;
    std::string value;
};

void AddKeyArguments(CLI::App& command, KeyArguments& arguments) {
    command.add_option("section", arguments.section, "INI section, e.g. TEMPERATURE")->required();
    command.add_option("key", arguments.key, "key in that section, e.g. CurrentTemperature")
        ->required();
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Drives TintwellDll through its exports.", "tintwell"};
    app.require_subcommand(1);
    CLI::App* settings = app.add_subcommand("settings", "the keys of the INI file");
    settings->require_subcommand(1);
    CLI::App* list = settings->add_subcommand("list", "print every key with its value");
    CLI::App* get = settings->add_subcommand("get", "print the value of one key");
    CLI::App* set = settings->add_subcommand("set", "store a value under one key");
    KeyArguments arguments;
    AddKeyArguments(*get, arguments);
    AddKeyArguments(*set, arguments);
    set->add_option("value", arguments.value, "an integer or a decimal number")->required();
    bool json = false;
    list->add_flag("--json", json, "print one JSON object");
    get->add_flag("--json", json, "print one JSON object");
    for (CLI::App* command : {list, get, set}) {
        command->footer(kSettingsExitCodes);
    }

    CLI::App* info = app.add_subcommand("info", "what the library detects on this machine");
    info->add_flag("--json", json, "print one JSON object");
    info->footer(kInfoExitCodes);
    CLI::App* temperature =
        app.add_subcommand("temperature", "apply channel gains on one hardware road");
    tintwell_cli::TemperatureArguments gains;
    temperature->add_option("--road", gains.road, "intel, nvidia, desktop or amd")->required();
    temperature->add_option("r", gains.r, "red gain, 1.0 = unchanged")->required();
    temperature->add_option("g", gains.g, "green gain")->required();
    temperature->add_option("b", gains.b, "blue gain")->required();
    temperature->add_option("--level", gains.level, "blue-protect level, 0 = off");
    temperature->add_option("--ratio", gains.ratio, "blue-protect ratio");
    temperature->add_flag("--json", gains.json, "print one JSON object");
    temperature->footer(kTemperatureExitCodes);
    CLI::App* adl =
        app.add_subcommand("adl", "the AMD adapters and displays ADL reports, with their gamuts");
    adl->add_flag("--json", json, "print one JSON object");
    adl->footer(kAdlExitCodes);
    tintwell_cli::NatureArguments scene;
    CLI::App* nature = tintwell_cli::AddNatureCommand(app, scene);
    tintwell_cli::EdidArguments edidArguments;
    CLI::App* edid = tintwell_cli::AddEdidCommand(app, edidArguments);
    tintwell_cli::LutArguments lutArguments;
    const tintwell_cli::LutCommand lut = tintwell_cli::AddLutCommand(app, lutArguments);
    tintwell_cli::GamutArguments gamutArguments;
    const tintwell_cli::GamutCommand gamut = tintwell_cli::AddGamutCommands(app, gamutArguments);
    tintwell_cli::WhitePointArguments whitePointArguments;
    const tintwell_cli::WhitePointCommand whitePoint =
        tintwell_cli::AddWhitePointCommand(app, whitePointArguments);

    tintwell_cli::ColorStateArguments colorStateArguments;
    const tintwell_cli::ColorStateCommand colorState =
        tintwell_cli::AddColorStateCommands(app, colorStateArguments);

    tintwell_cli::DemoArguments demoArguments;
    CLI::App* demo = tintwell_cli::AddDemoCommand(app, demoArguments);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == tintwell_cli::kExitSuccess ? tintwell_cli::kExitSuccess
                                                             : tintwell_cli::kExitUsage;
    }
    if (demo->parsed()) {
        return tintwell_cli::RunDemo(demoArguments, std::cout, std::cerr);
    }
    if (info->parsed()) {
        return tintwell_cli::PrintInfo(json, std::cout);
    }
    if (adl->parsed()) {
        return tintwell_cli::ListAdl(json, std::cout, std::cerr);
    }
    if (edid->parsed()) {
        return tintwell_cli::RunEdid(edidArguments, std::cout, std::cerr);
    }
    if (gamut.digest->parsed() || gamut.gamut->parsed()) {
        return tintwell_cli::RunGamut(gamut, gamutArguments, std::cout, std::cerr);
    }
    if (lut.lut->parsed()) {
        return tintwell_cli::RunLut(lut, lutArguments, std::cout, std::cerr);
    }
    if (whitePoint.whitepoint->parsed()) {
        return tintwell_cli::RunWhitePoint(whitePoint, whitePointArguments, std::cout, std::cerr);
    }
    if (colorState.verify->parsed() || colorState.guard->parsed()) {
        return tintwell_cli::RunColorState(colorState, colorStateArguments, std::cout, std::cerr);
    }
    if (nature->parsed()) {
        return tintwell_cli::RunNature(scene, std::cout, std::cerr);
    }
    if (temperature->parsed()) {
        return tintwell_cli::ApplyTemperature(gains, std::cout, std::cerr);
    }
    if (list->parsed()) {
        return tintwell_cli::ListSettings(json, std::cout);
    }
    if (get->parsed()) {
        return tintwell_cli::GetSetting(arguments.section, arguments.key, json, std::cout,
                                        std::cerr);
    }
    return tintwell_cli::SetSetting(arguments.section, arguments.key, arguments.value, std::cerr);
}
