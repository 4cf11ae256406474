// A number as printf's "%f" writes it in the C locale (fixed notation, six
// decimals, "nan" and "inf" for the values that are no number), sized for
// every double: the largest takes 309 digits before the point.
#pragma once

#include <string>

std::wstring FixedDecimals(double value);
