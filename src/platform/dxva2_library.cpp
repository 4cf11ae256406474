#include "platform/dxva2_library.h"

#include <string>
#include <utility>

namespace {

constexpr const wchar_t* kDxva2InSystemDirectory = L"\\dxva2.dll";

bool ResolveAll(HMODULE module, Dxva2EntryPoints& e) {
    return ResolveEntryPoint(module, "GetNumberOfPhysicalMonitorsFromHMONITOR",
                             e.GetNumberOfPhysicalMonitorsFromHMONITOR) &&
           ResolveEntryPoint(module, "GetPhysicalMonitorsFromHMONITOR",
                             e.GetPhysicalMonitorsFromHMONITOR) &&
           ResolveEntryPoint(module, "DestroyPhysicalMonitors", e.DestroyPhysicalMonitors) &&
           ResolveEntryPoint(module, "SetMonitorRedGreenOrBlueGain",
                             e.SetMonitorRedGreenOrBlueGain);
}

}  // namespace

Dxva2Library::Dxva2Library() {
    const auto directory = SystemDirectory();
    if (!directory) {
        return;
    }
    UniqueModule module(LoadLibraryW((*directory + kDxva2InSystemDirectory).c_str()));
    Dxva2EntryPoints entryPoints;
    if (module && ResolveAll(module.get(), entryPoints)) {
        module_ = std::move(module);
        entryPoints_ = entryPoints;
    }
}
