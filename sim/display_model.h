#pragma once

#include <mutex>

#include <nlohmann/json_fwd.hpp>

namespace sim {

// The part of the machine that holds adapters, monitors, device contexts and gamma ramps (user32,
// gdi32).
class DisplayModel {
  public:
    // Reads this part of a machine description; absent keys keep defaults.
    void Load(const nlohmann::json& description);

  private:
    mutable std::mutex mutex_;
};

}  // namespace sim
