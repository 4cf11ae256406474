#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace sim {

// A property's value: text, or an integer of one of CIM's 32-bit types.
using WmiValue = std::variant<std::wstring, std::uint32_t>;

// One object of a WMI class: property name to value; a property it lacks is NULL.
using WmiObject = std::map<std::wstring, WmiValue>;

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

    // The objects the description lists for a class of a namespace (both
    // compared case-blind); nothing when it leaves the class to the model.
    std::optional<std::vector<WmiObject>> DescribedWmiObjects(std::wstring_view wmiNamespace,
                                                              std::wstring_view className) const;

    void RecordWmiQuery(WmiQueryRecord query);
    std::vector<WmiQueryRecord> WmiQueries() const;

  private:
    mutable std::mutex mutex_;
    BYTE chassisType_ = kNotebookChassis;
    std::string deviceCodeName_;
    std::string whitePointText_;
    // (namespace, class) to the objects described.
    std::map<std::pair<std::wstring, std::wstring>, std::vector<WmiObject>> wmiClasses_;
    std::vector<WmiQueryRecord> wmiQueries_;
};

}  // namespace sim
