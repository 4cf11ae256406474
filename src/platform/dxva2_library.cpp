#include "platform/dxva2_library.h"

#include <utility>

namespace {

constexpr const wchar_t* kDxva2 = L"dxva2.dll";

bool ResolveAll(HMODULE module, Dxva2EntryPoints& e) {
    return ResolveEntryPoint(module, "GetNumberOfPhysicalMonitorsFromHMONITOR",
                             e.GetNumberOfPhysicalMonitorsFromHMONITOR) &&
           ResolveEntryPoint(module, "GetPhysicalMonitorsFromHMONITOR",
                             e.GetPhysicalMonitorsFromHMONITOR) &&
           ResolveEntryPoint(module, "DestroyPhysicalMonitors", e.DestroyPhysicalMonitors) &&
           ResolveEntryPoint(module, "SetMonitorRedGreenOrBlueGain",
                             e.SetMonitorRedGreenOrBlueGain) &&
           ResolveEntryPoint(module, "GetMonitorRedGreenOrBlueGain",
                             e.GetMonitorRedGreenOrBlueGain) &&
           ResolveEntryPoint(module, "SetVCPFeature", e.SetVCPFeature) &&
           ResolveEntryPoint(module, "SaveCurrentSettings", e.SaveCurrentSettings);
}

}  // namespace

Dxva2Library::Dxva2Library() {
    UniqueModule module = LoadSystemLibrary(kDxva2);
    Dxva2EntryPoints entryPoints;
    if (module && ResolveAll(module.get(), entryPoints)) {
        module_ = std::move(module);
        entryPoints_ = entryPoints;
    }
}
