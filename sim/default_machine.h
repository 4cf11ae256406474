#pragma once

namespace sim {

// examples/machines/default-laptop.json, embedded at build time so that the
// built-in default and the documented example cannot drift apart.
extern const char* const kDefaultMachineJson;

}  // namespace sim
