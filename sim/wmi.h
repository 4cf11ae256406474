// WMI as the machine answers it: a small WQL reader over the objects that the
// description lists or that the model derives from its adapters and monitors.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/system_model.h"

namespace sim {

class Machine;

// WMI's own result codes for the failures the model reproduces.
constexpr HRESULT kWbemFailed = static_cast<HRESULT>(0x80041001);
constexpr HRESULT kWbemNotFound = static_cast<HRESULT>(0x80041002);
constexpr HRESULT kWbemInvalidNamespace = static_cast<HRESULT>(0x8004100E);
constexpr HRESULT kWbemInvalidQuery = static_cast<HRESULT>(0x80041017);

struct WmiQueryResult {
    HRESULT status = 0;
    bool allProperties = false;
    std::vector<std::wstring> properties;
    std::vector<WmiObject> objects;

    // Reading a property the query did not select fails, as in WMI.
    bool Selects(std::wstring_view property) const;
};

// A property of an object: nothing when it is NULL. Names compare case-blind.
std::optional<WmiValue> WmiProperty(const WmiObject& object, std::wstring_view property);

// Runs "SELECT <property>[, ...] | * FROM <class> [WHERE <property> IS NOT NULL]"
// in ROOT\CIMV2 or ROOT\WMI, the namespaces the model holds. The query is
// recorded first; "ExecQuery" injects a failure whose error is the query's
// result. A class the model neither lists nor derives has no objects.
WmiQueryResult ExecuteWmiQuery(Machine& machine, std::wstring_view wmiNamespace,
                               std::wstring_view query);

}  // namespace sim
