#pragma once

#include <mutex>

#include <nlohmann/json_fwd.hpp>

namespace sim {

// The part of the machine that holds the maker's firmware interfaces: hardware library, firmware
// WMI blocks, port status, data reports.
class FirmwareModel {
  public:
    // Reads this part of a machine description; absent keys keep defaults.
    void Load(const nlohmann::json& description);

  private:
    mutable std::mutex mutex_;
};

}  // namespace sim
