// An example machine installed fresh in this process, as the suites that run
// each case in a child process on every example machine need it.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace tw_test {

// A gamut profile and its digest that the installed machine holds, so that
// a gamut switch can verify and install it.
inline constexpr const char* kExampleProfile = "C:\\Profiles\\sRGB.icc";
inline constexpr const char* kExampleDigest = "C:\\Profiles\\sRGB.icc.sha";

// The file names under the example machine folder, sorted.
std::vector<std::string> ExampleMachineFiles();

// A fresh root, log and machine from `machineFile`, on a virtual clock,
// with the settings folder and the gamut profile in place.
void InstallExampleMachine(const std::string& machineFile);

// A test name from a machine file name: desktop-three-monitors.json gives
// desktop_three_monitors.
std::string ExampleMachineName(const ::testing::TestParamInfo<std::string>& info);

}  // namespace tw_test
