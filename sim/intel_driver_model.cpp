#include "sim/intel_driver_model.h"

#include <nlohmann/json.hpp>

namespace sim {

void IntelDriverModel::Load(const nlohmann::json&) {}

}  // namespace sim
