#include "sim/system_model.h"

#include <algorithm>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "sim/wide_text.h"
#include "sim/whole_number.h"

namespace sim {

namespace {

constexpr std::wstring_view kDefaultNamespace = L"ROOT\\CIMV2";
constexpr std::uint64_t kLargestValue = 0xFFFFFFFF;

WmiValue LoadWmiValue(const nlohmann::json& value) {
    if (!value.is_number()) {
        return WideFromUtf8(value.get<std::string>());
    }
    if (!value.is_number_unsigned() || value.get<std::uint64_t>() > kLargestValue) {
        throw std::invalid_argument("system: wmi: a number outside 0 ... 4294967295");
    }
    return static_cast<std::uint32_t>(value.get<std::uint64_t>());
}

WmiObject LoadWmiObject(const nlohmann::json& object) {
    WmiObject loaded;
    for (const auto& [property, value] : object.items()) {
        if (!value.is_null()) {
            loaded.emplace(WideFromUtf8(property), LoadWmiValue(value));
        }
    }
    return loaded;
}

// "<namespace>:<class>" as in a WMI object path; a bare class name is in
// ROOT\CIMV2, WMI's default namespace.
std::pair<std::wstring, std::wstring> NamespaceAndClass(const std::string& key) {
    const std::wstring wide = WideFromUtf8(key);
    const auto colon = wide.rfind(L':');
    if (colon == std::wstring::npos) {
        return {std::wstring(kDefaultNamespace), wide};
    }
    return {wide.substr(0, colon), wide.substr(colon + 1)};
}

}  // namespace

void SystemModel::Load(const nlohmann::json& description) {
    std::lock_guard lock(mutex_);
    chassisType_ = WholeNumber(description, "chassisType", chassisType_);
    deviceCodeName_ = description.value("deviceCodeName", deviceCodeName_);
    whitePointText_ = description.value("whitePoint", whitePointText_);
    const auto classes = description.value("wmi", nlohmann::json::object());
    for (const auto& [className, objects] : classes.items()) {
        auto& loaded = wmiClasses_[NamespaceAndClass(className)];
        for (const auto& object : objects) {
            loaded.push_back(LoadWmiObject(object));
        }
    }
}

BYTE SystemModel::ChassisType() const {
    std::lock_guard lock(mutex_);
    return chassisType_;
}

std::string SystemModel::DeviceCodeName() const {
    std::lock_guard lock(mutex_);
    return deviceCodeName_;
}

std::string SystemModel::WhitePointText() const {
    std::lock_guard lock(mutex_);
    return whitePointText_;
}

std::optional<std::vector<WmiObject>> SystemModel::DescribedWmiObjects(
    std::wstring_view wmiNamespace, std::wstring_view className) const {
    std::lock_guard lock(mutex_);
    const auto found = std::find_if(wmiClasses_.begin(), wmiClasses_.end(), [&](const auto& entry) {
        return EqualsIgnoringCase(entry.first.first, wmiNamespace) &&
               EqualsIgnoringCase(entry.first.second, className);
    });
    return found == wmiClasses_.end() ? std::nullopt
                                      : std::optional<std::vector<WmiObject>>(found->second);
}

void SystemModel::RecordWmiQuery(WmiQueryRecord query) {
    std::lock_guard lock(mutex_);
    wmiQueries_.push_back(std::move(query));
}

std::vector<WmiQueryRecord> SystemModel::WmiQueries() const {
    std::lock_guard lock(mutex_);
    return wmiQueries_;
}

}  // namespace sim
