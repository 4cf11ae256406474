#include "sim/registry_model.h"

#include <nlohmann/json.hpp>

namespace sim {

void RegistryModel::Load(const nlohmann::json&) {}

}  // namespace sim
