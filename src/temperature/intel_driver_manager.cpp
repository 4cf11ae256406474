#include "temperature/intel_driver_manager.h"

IntelDriverManager& IntelDriverManager::Instance() {
    static IntelDriverManager instance;
    return instance;
}

IntelDriverManager::IntelDriverManager()
    : driver_(IntelDriverInterface::OleInitFailure::IsIgnored) {}

IntelDriverManager::~IntelDriverManager() = default;
