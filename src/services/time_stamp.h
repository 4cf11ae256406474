#pragma once

#include <string>

namespace services {

// Now, as ISO-8601 UTC with milliseconds: 2026-12-06T07:41:49.123Z.
std::string Iso8601UtcNow();

}  // namespace services
