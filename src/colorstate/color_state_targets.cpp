#include "colorstate/color_state_targets.h"

#include <windows.h>

#include <cstring>
#include <cwchar>
#include <optional>

#include "platform/display_handles.h"
#include "platform/dxva2_library.h"
#include "platform/mscms_library.h"
#include "platform/physical_monitors.h"
#include "temperature/gamma_ramp_readback.h"
#include "temperature/operate_color.h"
#include "tintwell/tintwell.h"

namespace {

constexpr WCS_PROFILE_MANAGEMENT_SCOPE kUserScope = WCS_PROFILE_MANAGEMENT_SCOPE_CURRENT_USER;
constexpr MC_GAIN_TYPE kGainTypes[] = {MC_RED_GAIN, MC_GREEN_GAIN, MC_BLUE_GAIN};
constexpr const wchar_t* kGainNames[] = {L"red", L"green", L"blue"};

using Held = TargetCheck::Held;

UniqueDc DisplayDc(const std::wstring& display) {
    return UniqueDc(CreateDCW(nullptr, display.c_str(), nullptr, nullptr));
}

TargetCheck CheckRamp(const std::wstring& display, const RecordedRamp& loaded) {
    TargetCheck check{TW_COLOR_STATE_GAMMA_RAMP, display, Held::Unread, L""};
    const UniqueDc dc = DisplayDc(display);
    RecordedRamp held{};
    if (!dc || !GetDeviceGammaRamp(dc.get(), held.data())) {
        check.detail = L"the ramp could not be read";
        return check;
    }
    const auto difference = FirstDifference(held, loaded);
    check.held = difference ? Held::No : Held::Yes;
    check.detail = difference.value_or(L"");
    return check;
}

bool PutRampBack(const std::wstring& display, RecordedRamp ramp) {
    const UniqueDc dc = DisplayDc(display);
    return dc && SetDeviceGammaRamp(dc.get(), ramp.data());
}

// The display monitor (HMONITOR) whose device is `name`.
HMONITOR DisplayMonitorNamed(const std::wstring& name) {
    struct Search {
        const std::wstring& name;
        HMONITOR found = nullptr;
    } search{name};
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
            auto& search = *reinterpret_cast<Search*>(data);
            MONITORINFOEXW info{};
            info.cbSize = sizeof info;
            if (GetMonitorInfoW(monitor, &info) && search.name == info.szDevice) {
                search.found = monitor;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring MonitorName(const MonitorKey& key) {
    return key.first + L"#" + std::to_wstring(key.second);
}

// Runs `use` on the physical monitor `key` names; false when it is not there.
template <typename Use>
bool OnPhysicalMonitor(const Dxva2Library& dxva2, const MonitorKey& key, Use use) {
    const HMONITOR display = DisplayMonitorNamed(key.first);
    if (display == nullptr || !dxva2.Loaded()) {
        return false;
    }
    const PhysicalMonitors physical(dxva2.EntryPoints(), display);
    const auto monitors = physical.Monitors();
    if (key.second >= monitors.size()) {
        return false;
    }
    return use(monitors[key.second].hPhysicalMonitor);
}

TargetCheck CheckGains(const Dxva2Library& dxva2, const MonitorKey& key,
                       const RecordedGains& sent) {
    TargetCheck check{TW_COLOR_STATE_MONITOR_GAINS, MonitorName(key), Held::Unread, L""};
    const DWORD expected[] = {sent.r, sent.g, sent.b};
    const bool read = OnPhysicalMonitor(dxva2, key, [&](HANDLE monitor) {
        check.held = Held::Yes;
        for (std::size_t c = 0; c < 3; ++c) {
            DWORD minimum = 0, current = 0, maximum = 0;
            if (!dxva2.EntryPoints().GetMonitorRedGreenOrBlueGain(monitor, kGainTypes[c], &minimum,
                                                                  &current, &maximum)) {
                return false;
            }
            if (current != expected[c] && check.held == Held::Yes) {
                check.held = Held::No;
                check.detail = std::wstring(kGainNames[c]) + L" holds " + std::to_wstring(current) +
                               L", sent " + std::to_wstring(expected[c]);
            }
        }
        return true;
    });
    if (!read) {
        check.held = Held::Unread;
        check.detail = L"the monitor did not answer";
    }
    return check;
}

bool PutGainsBack(const Dxva2Library& dxva2, const MonitorKey& key, const RecordedGains& gains) {
    const DWORD values[] = {gains.r, gains.g, gains.b};
    return OnPhysicalMonitor(dxva2, key, [&](HANDLE monitor) {
        bool taken = true;
        for (std::size_t c = 0; c < 3; ++c) {
            taken = dxva2.EntryPoints().SetMonitorRedGreenOrBlueGain(monitor, kGainTypes[c],
                                                                     values[c]) &&
                    taken;
        }
        return taken;
    });
}

std::optional<std::wstring> DefaultProfile(const MscmsLibrary& mscms, const std::wstring& device) {
    WCHAR name[MAX_PATH] = {};
    if (!mscms.Loaded() ||
        !mscms.EntryPoints().WcsGetDefaultColorProfile(
            kUserScope, device.c_str(), CPT_ICC, CPST_RGB_WORKING_SPACE, 0, sizeof name, name)) {
        return std::nullopt;
    }
    return std::wstring(name, wcsnlen(name, MAX_PATH));
}

std::wstring FileNameOf(const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

bool SameFileName(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

TargetCheck CheckProfile(const RecordedProfile& recorded) {
    TargetCheck check{TW_COLOR_STATE_GAMUT_PROFILE, recorded.device, Held::Unread, L""};
    const MscmsLibrary mscms;
    const auto current = DefaultProfile(mscms, recorded.device);
    if (!current) {
        check.detail = L"colour management named no default profile";
        return check;
    }
    const std::wstring name = FileNameOf(*current);
    check.held = SameFileName(name, recorded.fileName) ? Held::Yes : Held::No;
    if (check.held == Held::No) {
        check.detail = L"the default is " + name + L", switched to " + recorded.fileName;
    }
    return check;
}

// The switch's own way of making a profile the default: away, then back.
bool PutProfileBack(const RecordedProfile& recorded) {
    const MscmsLibrary mscms;
    if (!mscms.Loaded()) {
        return false;
    }
    const auto& wcs = mscms.EntryPoints();
    const wchar_t* name = recorded.fileName.c_str();
    wcs.WcsDisassociateColorProfileFromDevice(kUserScope, name, recorded.device.c_str());
    return wcs.WcsAssociateColorProfileWithDevice(kUserScope, name, recorded.device.c_str());
}

std::wstring AmdDisplayName(const AmdGamutKey& key) {
    return L"adapter " + std::to_wstring(std::get<0>(key)) + L" display " +
           std::to_wstring(std::get<1>(key));
}

TargetCheck CheckAmdGamut(const AdlLibrary::Use& adl, const AmdGamutKey& key,
                          const adl::GamutData& set) {
    TargetCheck check{TW_COLOR_STATE_AMD_GAMUT, AmdDisplayName(key), Held::Unread, L""};
    if (!adl) {
        check.road = TW_COLOR_STATE_ADL_NOT_LOADED;
        check.detail = L"ADL is not loaded";
        return check;
    }
    const auto [adapter, display, reference] = key;
    adl::GamutData held{};
    if (adl.EntryPoints().ADL_Display_Gamut_Get(adapter, display, adl::GamutReference{reference},
                                                &held) != adl::kOk) {
        check.detail = L"ADL did not report the gamut";
        return check;
    }
    const bool same = std::memcmp(&held, &set, sizeof held) == 0;
    check.held = same ? Held::Yes : Held::No;
    if (!same) {
        check.detail = L"white point " + std::to_wstring(held.customWhitePoint.x) + L"," +
                       std::to_wstring(held.customWhitePoint.y) + L", set " +
                       std::to_wstring(set.customWhitePoint.x) + L"," +
                       std::to_wstring(set.customWhitePoint.y);
    }
    return check;
}

bool PutAmdGamutBack(const AmdGamutKey& key, const adl::GamutData& gamut) {
    const AdlLibrary::Use adl = OperateColor::Instance().Adl().Acquire();
    const auto [adapter, display, reference] = key;
    return adl && adl.EntryPoints().ADL_Display_Gamut_Set(
                      adapter, display, adl::GamutReference{reference}, &gamut) == adl::kOk;
}

struct UnverifiableName {
    UnverifiableRoad road;
    unsigned bit;
    const wchar_t* what;
};
constexpr UnverifiableName kUnverifiable[] = {
    {UnverifiableRoad::IntelDriver, TW_COLOR_STATE_INTEL_DRIVER,
     L"the Intel driver has no operation that reads its ramps or tables back"},
    {UnverifiableRoad::HardwareLibrary, TW_COLOR_STATE_HARDWARE_LIBRARY,
     L"the maker's hardware library has no read operation"},
};

}  // namespace

std::vector<TargetCheck> CheckTargets(const ColorStateSnapshot& snapshot) {
    std::vector<TargetCheck> checks;
    for (const auto& [display, ramp] : snapshot.ramps) {
        checks.push_back(CheckRamp(display, ramp));
    }
    if (!snapshot.gains.empty()) {
        const Dxva2Library dxva2;
        for (const auto& [monitor, gains] : snapshot.gains) {
            checks.push_back(CheckGains(dxva2, monitor, gains));
        }
    }
    if (snapshot.profile) {
        checks.push_back(CheckProfile(*snapshot.profile));
    }
    if (!snapshot.amdGamuts.empty()) {
        const AdlLibrary::Use adl = OperateColor::Instance().Adl().Acquire();
        for (const auto& [display, gamut] : snapshot.amdGamuts) {
            checks.push_back(CheckAmdGamut(adl, display, gamut));
        }
    }
    for (const auto& road : kUnverifiable) {
        if ((snapshot.unverifiable & static_cast<unsigned>(road.road)) != 0) {
            checks.push_back({road.bit, L"", Held::Unread, road.what});
        }
    }
    return checks;
}

bool PutBack(const ColorStateSnapshot& snapshot, const TargetCheck& check) {
    switch (check.road) {
        case TW_COLOR_STATE_GAMMA_RAMP:
            return PutRampBack(check.target, snapshot.ramps.at(check.target));
        case TW_COLOR_STATE_MONITOR_GAINS:
            for (const auto& [monitor, gains] : snapshot.gains) {
                if (MonitorName(monitor) == check.target) {
                    return PutGainsBack(Dxva2Library(), monitor, gains);
                }
            }
            return false;
        case TW_COLOR_STATE_GAMUT_PROFILE:
            return snapshot.profile && PutProfileBack(*snapshot.profile);
        case TW_COLOR_STATE_AMD_GAMUT:
            for (const auto& [display, gamut] : snapshot.amdGamuts) {
                if (AmdDisplayName(display) == check.target) {
                    return PutAmdGamutBack(display, gamut);
                }
            }
            return false;
        default:
            return false;
    }
}
