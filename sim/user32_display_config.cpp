// user32's display configuration: the active paths from the desktop's
// sources (the adapters attached to it) to their targets (the adapters'
// active monitors), and each target's name and connection.
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <optional>
#include <vector>

#include "sim/display_model.h"
#include "sim/error_codes.h"
#include "sim/machine.h"

namespace {

// Identifiers only name; the model gives each adapter an adapter LUID of its
// own, its monitors are targets 0, 1, ... of it and the adapter is source 0.
constexpr DWORD kFirstAdapterLuid = 0x0000D000;
constexpr UINT32 kSourceId = 0;
constexpr DWORD kTargetMonitorFlags = DISPLAY_DEVICE_ACTIVE | DISPLAY_DEVICE_ATTACHED;

struct Target {
    LUID adapterId{};
    UINT32 id = 0;
    sim::MonitorDevice monitor;
};

bool SameAdapter(const LUID& a, const LUID& b) {
    return a.LowPart == b.LowPart && a.HighPart == b.HighPart;
}

std::vector<Target> ActiveTargets(const sim::DisplayModel& displays) {
    std::vector<Target> targets;
    const auto adapters = displays.Adapters();
    for (std::size_t a = 0; a < adapters.size(); ++a) {
        if ((adapters[a].stateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) == 0) {
            continue;
        }
        const LUID luid{kFirstAdapterLuid + static_cast<DWORD>(a), 0};
        const auto& monitors = adapters[a].monitors;
        for (std::size_t m = 0; m < monitors.size(); ++m) {
            if ((monitors[m].stateFlags & kTargetMonitorFlags) == kTargetMonitorFlags) {
                targets.push_back({luid, static_cast<UINT32>(m), monitors[m]});
            }
        }
    }
    return targets;
}

// One source mode per adapter with an active target, one target mode per path.
std::vector<DISPLAYCONFIG_MODE_INFO> Modes(const std::vector<Target>& targets) {
    std::vector<DISPLAYCONFIG_MODE_INFO> modes;
    for (const Target& target : targets) {
        const bool sourceListed = std::any_of(modes.begin(), modes.end(), [&](const auto& mode) {
            return SameAdapter(mode.adapterId, target.adapterId);
        });
        if (!sourceListed) {
            modes.push_back({DISPLAYCONFIG_MODE_INFO_TYPE_SOURCE, kSourceId, target.adapterId, {}});
        }
        modes.push_back({DISPLAYCONFIG_MODE_INFO_TYPE_TARGET, target.id, target.adapterId, {}});
    }
    return modes;
}

UINT32 ModeIndex(const std::vector<DISPLAYCONFIG_MODE_INFO>& modes,
                 DISPLAYCONFIG_MODE_INFO_TYPE type, const Target& target) {
    const auto found = std::find_if(modes.begin(), modes.end(), [&](const auto& mode) {
        return mode.infoType == type && SameAdapter(mode.adapterId, target.adapterId) &&
               (type == DISPLAYCONFIG_MODE_INFO_TYPE_SOURCE || mode.id == target.id);
    });
    return static_cast<UINT32>(found - modes.begin());
}

DISPLAYCONFIG_PATH_INFO Path(const std::vector<DISPLAYCONFIG_MODE_INFO>& modes,
                             const Target& target) {
    DISPLAYCONFIG_PATH_INFO path{};
    path.sourceInfo = {target.adapterId, kSourceId,
                       ModeIndex(modes, DISPLAYCONFIG_MODE_INFO_TYPE_SOURCE, target),
                       DISPLAYCONFIG_SOURCE_IN_USE};
    path.targetInfo.adapterId = target.adapterId;
    path.targetInfo.id = target.id;
    path.targetInfo.modeInfoIdx = ModeIndex(modes, DISPLAYCONFIG_MODE_INFO_TYPE_TARGET, target);
    path.targetInfo.outputTechnology = static_cast<DISPLAYCONFIG_VIDEO_OUTPUT_TECHNOLOGY>(
        target.monitor.connection.value_or(sim::kConnectionOther));
    path.targetInfo.targetAvailable = TRUE;
    path.targetInfo.statusFlags = DISPLAYCONFIG_TARGET_IN_USE;
    path.flags = DISPLAYCONFIG_PATH_ACTIVE;
    return path;
}

template <std::size_t N>
void CopyText(WCHAR (&field)[N], const std::wstring& text) {
    const std::size_t count = std::min(text.size(), N - 1);
    std::copy_n(text.begin(), count, field);
    field[count] = L'\0';
}

// Only the active paths are modelled.
std::optional<LONG> Refusal(std::string_view call, UINT32 flags) {
    if (const auto error = sim::Machine::Current().TakeFailure(call)) {
        return static_cast<LONG>(*error);
    }
    if (flags != QDC_ONLY_ACTIVE_PATHS) {
        return static_cast<LONG>(ERROR_INVALID_PARAMETER);
    }
    return std::nullopt;
}

}  // namespace

LONG WINAPI GetDisplayConfigBufferSizes(UINT32 flags, UINT32* numPathArrayElements,
                                        UINT32* numModeInfoArrayElements) {
    if (const auto refusal = Refusal("GetDisplayConfigBufferSizes", flags)) {
        return *refusal;
    }
    if (numPathArrayElements == nullptr || numModeInfoArrayElements == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    const auto targets = ActiveTargets(sim::Machine::CurrentCaughtUp().Displays());
    *numPathArrayElements = static_cast<UINT32>(targets.size());
    *numModeInfoArrayElements = static_cast<UINT32>(Modes(targets).size());
    return ERROR_SUCCESS;
}

// The topology is reported only for the database's configuration, which
// this model does not hold.
LONG WINAPI QueryDisplayConfig(UINT32 flags, UINT32* numPathArrayElements,
                               DISPLAYCONFIG_PATH_INFO* pathArray, UINT32* numModeInfoArrayElements,
                               DISPLAYCONFIG_MODE_INFO* modeInfoArray,
                               DISPLAYCONFIG_TOPOLOGY_ID* currentTopologyId) {
    if (const auto refusal = Refusal("QueryDisplayConfig", flags)) {
        return *refusal;
    }
    if (numPathArrayElements == nullptr || pathArray == nullptr ||
        numModeInfoArrayElements == nullptr || modeInfoArray == nullptr ||
        currentTopologyId != nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    const auto targets = ActiveTargets(sim::Machine::CurrentCaughtUp().Displays());
    const auto modes = Modes(targets);
    if (*numPathArrayElements < targets.size() || *numModeInfoArrayElements < modes.size()) {
        return ERROR_INSUFFICIENT_BUFFER;
    }
    for (std::size_t i = 0; i < targets.size(); ++i) {
        pathArray[i] = Path(modes, targets[i]);
    }
    std::copy(modes.begin(), modes.end(), modeInfoArray);
    *numPathArrayElements = static_cast<UINT32>(targets.size());
    *numModeInfoArrayElements = static_cast<UINT32>(modes.size());
    return ERROR_SUCCESS;
}

// Only target names are modelled; the EDID's ids are not reported.
LONG WINAPI DisplayConfigGetDeviceInfo(DISPLAYCONFIG_DEVICE_INFO_HEADER* requestPacket) {
    if (const auto error = sim::Machine::Current().TakeFailure("DisplayConfigGetDeviceInfo")) {
        return static_cast<LONG>(*error);
    }
    if (requestPacket == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    if (requestPacket->type != DISPLAYCONFIG_DEVICE_INFO_GET_TARGET_NAME) {
        return static_cast<LONG>(sim::kErrorNotSupported);
    }
    if (requestPacket->size != sizeof(DISPLAYCONFIG_TARGET_DEVICE_NAME)) {
        return ERROR_INVALID_PARAMETER;
    }
    const auto targets = ActiveTargets(sim::Machine::CurrentCaughtUp().Displays());
    const auto target = std::find_if(targets.begin(), targets.end(), [&](const Target& t) {
        return SameAdapter(t.adapterId, requestPacket->adapterId) && t.id == requestPacket->id;
    });
    if (target == targets.end()) {
        return ERROR_INVALID_PARAMETER;
    }
    auto& name = *reinterpret_cast<DISPLAYCONFIG_TARGET_DEVICE_NAME*>(requestPacket);
    name.flags.value = 0;
    name.outputTechnology = static_cast<DISPLAYCONFIG_VIDEO_OUTPUT_TECHNOLOGY>(
        target->monitor.connection.value_or(sim::kConnectionOther));
    name.edidManufactureId = 0;
    name.edidProductCodeId = 0;
    name.connectorInstance = 0;
    CopyText(name.monitorFriendlyDeviceName, target->monitor.deviceString);
    CopyText(name.monitorDevicePath, target->monitor.interfaceName);
    return ERROR_SUCCESS;
}
