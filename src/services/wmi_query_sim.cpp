// The WMI query against the simulated machine's WMI objects.
#include "services/scoped_variant.h"
#include "services/wmi_util.h"
#include "sim/machine.h"
#include "sim/wmi.h"

namespace OrvSDK {

namespace {

void SetValue(VARIANT& variant, const std::optional<std::wstring>& value) {
    if (value) {
        variant.vt = VT_BSTR;
        variant.bstrVal = SysAllocString(value->c_str());
    } else {
        variant.vt = VT_NULL;
    }
}

}  // namespace

// `flag` asks for the first object's value only.
int WmiQuery::ExcuteQueryImpl(const std::wstring& query, const std::wstring& property, bool flag,
                              const std::function<void(VARIANT&)>& callback) {
    const sim::WmiQueryResult result =
        sim::ExecuteWmiQuery(sim::Machine::Current(), namespace_, query);
    if (result.status != 0) {
        return result.status;
    }
    if (!result.Selects(property)) {
        return sim::kWbemNotFound;
    }
    for (const auto& object : result.objects) {
        services::ScopedVariant value;
        SetValue(value.Get(), sim::WmiProperty(object, property));
        callback(value.Get());
        if (flag) {
            break;
        }
    }
    return 0;
}

}  // namespace OrvSDK
