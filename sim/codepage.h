// Windows-1252, the ANSI code page of the simulated machine.
#pragma once

#include <optional>

namespace sim {

wchar_t Cp1252ToWide(unsigned char byte);
// Nothing when the character has no place in the code page.
std::optional<unsigned char> WideToCp1252(wchar_t character);

constexpr char kCp1252DefaultChar = '?';

}  // namespace sim
