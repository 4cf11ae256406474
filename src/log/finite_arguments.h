// Numbers from a caller are checked before anything is stored or sent: a
// value that is not a finite number would read back as 0 from the INI file,
// or reach the hardware as a wrapped-around gain.
#pragma once

#include <initializer_list>

struct NamedNumber {
    const wchar_t* name;
    double value;
};

// True, after one error line from `source` that names the first argument
// that is not finite and its value, when any of `arguments` is not.
bool RefusedAsNotFinite(const char* source, std::initializer_list<NamedNumber> arguments);
