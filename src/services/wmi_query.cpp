// What the WMI query object does alike on both platforms; the query itself
// runs in wmi_query_win32.cpp (COM) or wmi_query_sim.cpp (the machine model).
#include <cstdint>

#include "services/wmi_util.h"

namespace OrvSDK {

namespace {

std::optional<std::wstring> ValueText(const VARIANT& value) {
    if (value.vt == VT_BSTR && value.bstrVal != nullptr) {
        return std::wstring(value.bstrVal, SysStringLen(value.bstrVal));
    }
    if (value.vt == VT_I4) {
        return std::to_wstring(static_cast<std::uint32_t>(value.lVal));
    }
    return std::nullopt;
}

}  // namespace

WmiQuery::WmiQuery(std::wstring wmiNamespace) : namespace_(std::move(wmiNamespace)) {}

WmiQuery::~WmiQuery() = default;

int WmiQuery::ExcuteQueryRows(const std::wstring& query,
                              const std::vector<std::wstring>& properties, std::vector<Row>& rows) {
    rows.clear();
    const int status = ExcuteQueryImpl(query, properties, false,
                                       [&rows, &properties](std::size_t index, VARIANT& value) {
                                           if (index == 0) {
                                               rows.emplace_back(properties.size());
                                           }
                                           rows.back()[index] = ValueText(value);
                                       });
    return (status == 0 && rows.empty()) ? kNoResult : status;
}

// Text values are kept; NULL and values of other types add nothing.
void WmiQuery::GetResult(VARIANT& value, std::vector<std::wstring>& result) {
    if (value.vt == VT_BSTR && value.bstrVal != nullptr) {
        result.emplace_back(value.bstrVal, SysStringLen(value.bstrVal));
    }
}

}  // namespace OrvSDK
