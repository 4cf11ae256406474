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
