// What the WMI query object does alike on both platforms; the query itself
// runs in wmi_query_win32.cpp (COM) or wmi_query_sim.cpp (the machine model).
#include "services/wmi_util.h"

namespace OrvSDK {

WmiQuery::WmiQuery(std::wstring wmiNamespace) : namespace_(std::move(wmiNamespace)) {}

WmiQuery::~WmiQuery() = default;

// Text values are kept; NULL and values of other types add nothing.
void WmiQuery::GetResult(VARIANT& value, std::vector<std::wstring>& result) {
    if (value.vt == VT_BSTR && value.bstrVal != nullptr) {
        result.emplace_back(value.bstrVal, SysStringLen(value.bstrVal));
    }
}

}  // namespace OrvSDK
