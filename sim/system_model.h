#pragma once

#include <mutex>

#include <nlohmann/json_fwd.hpp>

namespace sim {

// The part of the machine that holds SMBIOS values, the device code name and WMI rows.
class SystemModel {
  public:
    // Reads this part of a machine description; absent keys keep defaults.
    void Load(const nlohmann::json& description);

  private:
    mutable std::mutex mutex_;
};

}  // namespace sim
