#include "sim/system_model.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "sim/wide_text.h"

namespace sim {

namespace {

WmiObject LoadWmiObject(const nlohmann::json& object) {
    WmiObject loaded;
    for (const auto& [property, value] : object.items()) {
        if (!value.is_null()) {
            loaded.emplace(WideFromUtf8(property), WideFromUtf8(value.get<std::string>()));
        }
    }
    return loaded;
}

}  // namespace

void SystemModel::Load(const nlohmann::json& description) {
    std::lock_guard lock(mutex_);
    chassisType_ = description.value("chassisType", chassisType_);
    deviceCodeName_ = description.value("deviceCodeName", deviceCodeName_);
    whitePointText_ = description.value("whitePoint", whitePointText_);
    const auto classes = description.value("wmi", nlohmann::json::object());
    for (const auto& [className, objects] : classes.items()) {
        auto& loaded = wmiClasses_[WideFromUtf8(className)];
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
    std::wstring_view className) const {
    std::lock_guard lock(mutex_);
    const auto found = std::find_if(wmiClasses_.begin(), wmiClasses_.end(), [&](const auto& entry) {
        return EqualsIgnoringCase(entry.first, className);
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
