#include "temperature/intel_driver_manager.h"

#include "discovery/display_detection.h"

IntelDriverManager& IntelDriverManager::Instance() {
    static IntelDriverManager instance;
    return instance;
}

IntelDriverManager::IntelDriverManager()
    : driver_(IntelDriverInterface::OleInitFailure::IsIgnored) {}

// At unload: the driver object stays with the process (see
// IntelDriverInterface::Abandon).
IntelDriverManager::~IntelDriverManager() {
    driver_.Abandon();
}

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
