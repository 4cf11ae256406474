#pragma once

#include <windows.h>

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace sim {

// One object of a WMI class: property name to value; a property it lacks is NULL.
using WmiObject = std::map<std::wstring, std::wstring>;

// A query as the library asked it.
struct WmiQueryRecord {
    std::wstring wmiNamespace;
    std::wstring query;
};

// The part of the machine that holds the system's identity (SMBIOS chassis
// type, the device code name, the factory white point text) and the WMI
// objects that the description gives instead of deriving them.
class SystemModel {
  public:
    static constexpr BYTE kNotebookChassis = 10;

    // Reads this part of a machine description; absent keys keep defaults.
    void Load(const nlohmann::json& description);

    BYTE ChassisType() const;
    std::string DeviceCodeName() const;
    std::string WhitePointText() const;

    // The objects the description lists for a class (compared case-blind);
    // nothing when it leaves the class to the model.
    std::optional<std::vector<WmiObject>> DescribedWmiObjects(std::wstring_view className) const;

    void RecordWmiQuery(WmiQueryRecord query);
    std::vector<WmiQueryRecord> WmiQueries() const;

  private:
    mutable std::mutex mutex_;
    BYTE chassisType_ = kNotebookChassis;
    std::string deviceCodeName_;
    std::string whitePointText_;
    std::map<std::wstring, std::vector<WmiObject>> wmiClasses_;
    std::vector<WmiQueryRecord> wmiQueries_;
};

}  // namespace sim
