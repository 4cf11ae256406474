#include "sim/display_model.h"

#include <nlohmann/json.hpp>

namespace sim {

void DisplayModel::Load(const nlohmann::json&) {}

}  // namespace sim
