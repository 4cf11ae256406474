#include "sim/firmware_model.h"

#include <nlohmann/json.hpp>

namespace sim {

void FirmwareModel::Load(const nlohmann::json&) {}

}  // namespace sim
