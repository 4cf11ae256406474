// File access that the two C runtimes spell differently. Paths are Windows
// paths; on Linux the simulated machine maps them into its directory tree.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Appends bytes to a file, creating the file and its missing folders first.
bool AppendToFile(const std::wstring& path, std::string_view bytes);

std::optional<std::string> ReadWholeFile(const std::wstring& path);

// The value of an environment variable, or nothing when it is unset or
// empty (Windows reads both as absent).
std::optional<std::wstring> EnvironmentValue(const wchar_t* name);

// The machine's program-data folder ("C:\ProgramData" on a standard install).
std::wstring ProgramDataFolder();

}  // namespace platform
