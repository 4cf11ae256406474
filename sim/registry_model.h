#pragma once

#include <mutex>

#include <nlohmann/json_fwd.hpp>

namespace sim {

// The part of the machine that holds the registry (advapi32).
class RegistryModel {
  public:
    // Reads this part of a machine description; absent keys keep defaults.
    void Load(const nlohmann::json& description);

  private:
    mutable std::mutex mutex_;
};

}  // namespace sim
