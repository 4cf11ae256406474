#include "log/finite_arguments.h"

#include <algorithm>
#include <cmath>

#include "log/log_line.h"
#include "util/fixed_decimals.h"

bool RefusedAsNotFinite(const char* source, std::initializer_list<NamedNumber> arguments) {
    const auto refused = std::find_if(arguments.begin(), arguments.end(),
                                      [](const NamedNumber& n) { return !std::isfinite(n.value); });
    if (refused == arguments.end()) {
        return false;
    }
    Log(log_level::kError, source) << L"Refused: " << refused->name << L" is not a finite number: "
                                   << FixedDecimals(refused->value);
    return true;
}
