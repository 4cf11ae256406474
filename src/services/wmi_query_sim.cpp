// The WMI query against the simulated machine's WMI objects.
#include <cstdint>
#include <variant>

#include "services/scoped_variant.h"
#include "services/wmi_util.h"
#include "sim/machine.h"
#include "sim/wmi.h"

namespace OrvSDK {

namespace {

// Text as a BSTR; CIM's 32-bit integers as VT_I4, as WMI hands them out.
void SetValue(VARIANT& variant, const std::optional<sim::WmiValue>& value) {
    if (!value) {
        variant.vt = VT_NULL;
    } else if (const auto* text = std::get_if<std::wstring>(&*value)) {
        variant.vt = VT_BSTR;
        variant.bstrVal = SysAllocString(text->c_str());
    } else {
        variant.vt = VT_I4;
        variant.lVal = static_cast<LONG>(std::get<std::uint32_t>(*value));
    }
}

}  // namespace

// `flag` asks for the first object's values only.
int WmiQuery::ExcuteQueryImpl(const std::wstring& query,
                              const std::vector<std::wstring>& properties, bool flag,
                              const std::function<void(std::size_t, VARIANT&)>& callback) {
    const sim::WmiQueryResult result =
        sim::ExecuteWmiQuery(sim::Machine::Current(), namespace_, query);
    if (result.status != 0) {
        return result.status;
    }
    for (const auto& property : properties) {
        if (!result.Selects(property)) {
            return sim::kWbemNotFound;
        }
    }
    for (const auto& object : result.objects) {
        for (std::size_t index = 0; index < properties.size(); ++index) {
            services::ScopedVariant value;
            SetValue(value.Get(), sim::WmiProperty(object, properties[index]));
            callback(index, value.Get());
        }
        if (flag) {
            break;
        }
    }
    return 0;
}

}  // namespace OrvSDK
