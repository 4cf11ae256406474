#include "temperature/intel_driver_manager.h"

#include "discovery/display_detection.h"

IntelDriverManager& IntelDriverManager::Instance() {
    static IntelDriverManager instance;
    return instance;
}

IntelDriverManager::IntelDriverManager()
    : driver_(IntelDriverInterface::OleInitFailure::IsIgnored) {}

IntelDriverManager::~IntelDriverManager() = default;

std::wstring IntelDriverManager::GetMainActiveDeviceName() {
    return discovery::GetMainActiveDeviceName("IntelDriverManager::GetMainActiveDeviceName");
}

std::int32_t IntelDriverManager::GetIntelDeviceId() {
    const std::wstring name = discovery::FirstAdapterName();
    if (name.empty()) {
        return 0;
    }
    return driver_.EnumActiveDevices(name).value_or(0);
}
