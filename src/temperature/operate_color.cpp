#include "temperature/operate_color.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <mutex>
#include <new>
#include <string>

#include "colorstate/color_state_record.h"
#include "discovery/edid_registry.h"
#include "log/finite_arguments.h"
#include "log/log_line.h"
#include "naturecolor/printer_reg.h"
#include "services/hardware_hal.h"
#include "settings/settings_accessors.h"
#include "temperature/amd_temperature.h"
#include "temperature/current_blue_protect.h"
#include "temperature/gamma_ramp_library.h"
#include "util/text_conversion.h"

namespace {

constexpr int kHardwareClass = 16;
constexpr int kTemperatureClass = 2;
constexpr int kColorAdjustClass = 5;
constexpr int kChannelGainsClass = 6;
// The hardware library's block starts with a header the library skips.
constexpr std::ptrdiff_t kHalContextHeader = 8;

constexpr int kHardwareRefused = -101;
constexpr int kDriverUnavailable = -2;
constexpr int kDriverCallFailed = -4;
constexpr int kNoIntelDevice = -7;
constexpr int kOutOfMemory = -101;
constexpr int kDriverCallRaised = -101;

constexpr double kBlueProtectLevelFull = 255.0;

// A request with a number that is not finite reaches neither the INI file
// nor any hardware.
bool RequestRefused(const char* source, const ColorRequest& request) {
    return RefusedAsNotFinite(source, {{L"r", request.r},
                                       {L"g", request.g},
                                       {L"b", request.b},
                                       {L"blueProtectRatio", request.blueProtectRatio}});
}

// The hardware library and the ramp take floats; a double beyond their
// range is carried as the largest float of its sign.
float SaturatedFloat(double value) {
    constexpr double kLargest = std::numeric_limits<float>::max();
    return static_cast<float>(std::clamp(value, -kLargest, kLargest));
}

// The monitors found by the last display enumeration; the desktop road
// rebuilds it on its worker while callers may read it.
std::mutex g_displayListMutex;
std::vector<DisplayDeviceRecord> g_displayDeviceList;

}  // namespace

void OperateColor::FreeWithCRuntime::operator()(void* block) const {
    std::free(block);
}

OperateColor& OperateColor::Instance() {
    static OperateColor instance;
    return instance;
}

OperateColor::OperateColor() {
    if (IsDesktopComputer()) {
        BuildDisplayDeviceList();
    }
    void* context = nullptr;
    if (HalInit(kHardwareClass, &context) == 0) {
        OutputDebugStringW(L"[OperateColor::OperateColor] HalInit Failed ...\n");
    }
    halContext_.reset(context);
}

// At unload: the driver object stays with the process (see
// IntelDriverInterface::Abandon). The desktop worker, which the member
// destructors wait for, never reaches the driver.
OperateColor::~OperateColor() {
    driver_.Abandon();
}

void OperateColor::GetDeviceType(char* buffer) {
    discovery::CopyDeviceType(buffer);
}

bool OperateColor::IsDesktopComputer() {
    return discovery::IsDesktopComputer();
}

bool OperateColor::HaveOrvMonitor() {
    std::lock_guard lock(g_displayListMutex);
    return discovery::HaveOrvMonitor(g_displayDeviceList);
}

void OperateColor::BuildDisplayDeviceList() {
    std::lock_guard lock(g_displayListMutex);
    discovery::BuildDisplayDeviceList(g_displayDeviceList);
}

std::vector<DisplayDeviceRecord> OperateColor::RebuildDisplayDeviceList() {
    std::lock_guard lock(g_displayListMutex);
    g_displayDeviceList.clear();
    discovery::BuildDisplayDeviceList(g_displayDeviceList);
    return g_displayDeviceList;
}

std::wstring OperateColor::GetMainActiveDeviceName() {
    return discovery::GetMainActiveDeviceName("OperateColor::GetMainActiveDeviceName");
}

std::int32_t OperateColor::GetMainActiveDeviceId() {
    const std::wstring name = GetMainActiveDeviceName();
    if (name.empty()) {
        return -1;
    }
    return EnumActiveDevices(name).value_or(-1);
}

std::optional<std::int32_t> OperateColor::EnumActiveDevices(const std::wstring& deviceName) {
    if (!EnsureDriverInterface()) {
        return std::nullopt;
    }
    try {
        return driver_.EnumActiveDevices(deviceName);
    } catch (...) {
        Log(3, "OperateColor::EnumActiveDevices") << L"EnumActiveDevices fail";
        return std::nullopt;
    }
}

bool OperateColor::EnsureDriverInterface() {
    return driver_.EnsureDriverInterface();
}

std::optional<std::int32_t> OperateColor::SetIntelGammaRamp(std::int32_t deviceId,
                                                            const GammaRamp& ramp) {
    return driver_.SetGammaRamp(deviceId, ramp);
}

std::int32_t OperateColor::GetIntelDeviceId() {
    const std::wstring name = discovery::FirstAdapterName();
    if (name.empty()) {
        return 0;
    }
    return EnumActiveDevices(name).value_or(0);
}

std::string OperateColor::GetPnpDeviceID() {
    return discovery::GetPnpDeviceID();
}

std::string OperateColor::GetEdidDataPath() {
    return discovery::GetEdidDataPath(discovery::EdidOwner::OperateColor);
}

bool OperateColor::GetLcdEdidData() {
    const std::lock_guard lock(whitePointMutex_);
    const auto value = discovery::ReadEdidValue(discovery::EdidOwner::OperateColor);
    return value && discovery::ParseEdidText(
                        value->data(), static_cast<unsigned int>(value->size()), lcdIdentity_);
}

std::string OperateColor::GetLcdVendor() const {
    const std::lock_guard lock(whitePointMutex_);
    return lcdIdentity_.vendor;
}

std::string OperateColor::GetLcdSerialNumber() const {
    const std::lock_guard lock(whitePointMutex_);
    return lcdIdentity_.serialNumber;
}

std::string OperateColor::GetLcdYear() const {
    const std::lock_guard lock(whitePointMutex_);
    return lcdIdentity_.year;
}

std::string OperateColor::GetLcdWeek() const {
    const std::lock_guard lock(whitePointMutex_);
    return lcdIdentity_.week;
}

bool OperateColor::CallHardwareLibrary(int informationClass, void* data, int size) {
    void* context =
        halContext_ ? static_cast<char*>(halContext_.get()) + kHalContextHeader : nullptr;
    DWORD out = 0;
    if (HalSetInformation(kHardwareClass, context, informationClass, data, size, &out) == 0) {
        Log(log_level::kError, "OperateColor::CallHardwareLibrary")
            << L"HalSetInformation refused information class " << informationClass;
        return false;
    }
    return true;
}

int OperateColor::SetTemperature(int first, int second) {
    std::int32_t values[] = {first, second};
    return CallHardwareLibrary(kTemperatureClass, values, sizeof values) ? 0 : kHardwareRefused;
}

int OperateColor::SetColorAdjust(int first, int second) {
    std::int32_t values[] = {first, second};
    return CallHardwareLibrary(kColorAdjustClass, values, sizeof values) ? 0 : kHardwareRefused;
}

int OperateColor::SetTemperatureForIntel(const ColorRequest& request) {
    if (RequestRefused("OperateColor::SetTemperatureForIntel", request)) {
        return kHardwareRefused;
    }
    if (PrinterReg::Instance().SetRGB(request.r, request.g, request.b) != 0) {
        Log(3, "OperateColor::SetTemperatureForIntel") << L"SetRGB Fail!";
    }
    float gains[] = {request.r, request.g, request.b, static_cast<float>(request.blueProtectLevel),
                     SaturatedFloat(request.blueProtectRatio)};
    if (!CallHardwareLibrary(kChannelGainsClass, gains, sizeof gains)) {
        return kHardwareRefused;
    }
    // The maker's library has no read operation; on a generic machine its
    // replacement records the ramp it loaded as well.
    ColorStateRecord::Instance().RecordUnverifiable(UnverifiableRoad::HardwareLibrary);
    WriteCurrentBlueProtect(request.blueProtectRatio);
    return 0;
}

int OperateColor::SetTemperatureForNvidia(const ColorRequest& request) {
    if (RequestRefused("OperateColor::SetTemperatureForNvidia", request)) {
        return -1;
    }
    float blue = request.b;
    if (request.blueProtectLevel != 0) {
        blue = SaturatedFloat(request.b * request.blueProtectRatio * request.blueProtectLevel /
                              kBlueProtectLevelFull);
    }
    const float largest = std::max(std::max(request.r, request.g), blue);
    // Without a positive gain there is nothing to normalise by: the ramp
    // would be garbage or black.
    if (!(largest > 0.0f) || !std::isfinite(largest)) {
        Log(3, "OperateColor::SetTemperatureForNvidia")
            << L"no positive finite gain, r:" << request.r << L" g:" << request.g << L" b:" << blue;
        return -1;
    }
    GammaRampLibrary gdi;
    if (!gdi.LoadLinearRamp(request.r / largest, request.g / largest, blue / largest)) {
        Log(log_level::kError, "OperateColor::SetTemperatureForNvidia")
            << L"the gamma ramp was not loaded";
        return -1;
    }
    return 0;
}

void OperateColor::InitAdlGamut() {
    adl_.Load();
}

void OperateColor::UninitAdlGamut() {
    adl_.Unload();
}

int OperateColor::SetTemperatureForAMD(const ColorRequest& request) {
    if (RequestRefused("OperateColor::SetTemperatureForAMD", request)) {
        return -1;
    }
    return SetAmdTemperature(adl_, request);
}

int OperateColor::SetTemperatureForDesktopComputer(const ColorRequest& request) {
    if (RequestRefused("OperateColor::SetTemperatureForDesktopComputer", request)) {
        return 0;
    }
    desktopWorker_.Post(request);
    ColorStateRecord::Instance().RecordChange(ChangeKind::Temperature, [request] {
        return Instance().SetTemperatureForDesktopComputer(request);
    });
    return 0;
}

int OperateColor::SetColorEnhance(bool enable) {
    constexpr const char* kSource = "OperateColor::SetColorEnhance";
    if (!EnsureDriverInterface()) {
        Log(log_level::kError, kSource) << L"no Intel driver interface";
        return kDriverUnavailable;
    }
    std::vector<std::uint8_t> table;
    try {
        table = BuildColorEnhanceTable(enhanceMatrix_);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    const std::int32_t deviceId = GetIntelDeviceId();
    if (deviceId == 0) {
        Log(log_level::kError, kSource) << L"no Intel device id";
        return kNoIntelDevice;
    }
    try {
        const auto result = driver_.SetFeatureData(
            kColorEnhanceFeature, BuildColorEnhanceHeader(enable, deviceId), table);
        if (!result.succeeded || result.status != 0) {
            Log(log_level::kError, kSource)
                << L"the driver refused the table, status:" << result.status;
            return kDriverCallFailed;
        }
        return 0;
    } catch (...) {
        return kDriverCallRaised;
    }
}

int OperateColor::GetCurrentColorConfigInfo(ColorConfigInfo& info) {
    try {
        const int level = EyeProtectSettings().GetEyeProtect(-1);
        const int blueProtect = EyeProtectSettings().GetBlueProtect(-1);
        const double r = TemperatureSettings().GetCircleR(-1.0);
        const double g = TemperatureSettings().GetCircleG(-1.0);
        const double b = TemperatureSettings().GetCircleB(-1.0);
        // NaN fails every comparison, so !(x >= 0) refuses it too.
        if (level < 0 || blueProtect < 0 || !(r >= 0) || !(g >= 0) || !(b >= 0)) {
            return -1;
        }
        info = ColorConfigInfo{level, blueProtect, r, g, b};
        return 0;
    } catch (const std::exception& error) {
        Log(3, "OperateColor::GetCurrentColorConfigInfo")
            << L"GetCurrentColorConfigInfo Exception.msg:" << AnsiToWide(error.what());
        return -1;
    }
}
