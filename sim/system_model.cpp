#include "sim/system_model.h"

#include <nlohmann/json.hpp>

namespace sim {

void SystemModel::Load(const nlohmann::json&) {}

}  // namespace sim
