// tintwell: reads and writes the library's settings through its C exports,
// the way a front-end application does.
#include <iostream>
#include <string>

#include <CLI/CLI.hpp>

#include "settings_commands.h"

namespace {

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
    CLI::App app{"Reads and writes the settings TintwellDll keeps in its INI file.", "tintwell"};
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

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == tintwell_cli::kExitSuccess ? tintwell_cli::kExitSuccess
                                                             : tintwell_cli::kExitUsage;
    }
    if (list->parsed()) {
        return tintwell_cli::ListSettings(std::cout);
    }
    if (get->parsed()) {
        return tintwell_cli::GetSetting(arguments.section, arguments.key, std::cout, std::cerr);
    }
    return tintwell_cli::SetSetting(arguments.section, arguments.key, arguments.value, std::cerr);
}
