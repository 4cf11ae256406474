#include "sim/color_model.h"

#include <algorithm>
#include <cwctype>
#include <fstream>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "platform/utf8.h"
#include "sim/machine.h"
#include "sim/wide_text.h"

namespace sim {

namespace {

constexpr const wchar_t* kColorDirectory = L"C:\\Windows\\System32\\spool\\drivers\\color";
constexpr const wchar_t* kStandardProfileName = L"sRGB Color Space Profile.icm";
// Where the machine keeps, beside the profiles, what Windows keeps in the
// registry: which profiles are installed and associated with which device.
constexpr const char* kKeptStateFile = "associations.json";

// Handle values only identify; nothing dereferences them.
constexpr std::uintptr_t kFirstProfileHandle = 0x0C010000;
constexpr std::uintptr_t kProfileHandleStep = 0x10;

RgbColorSpace ColorSpaceNamed(const std::string& make) {
    if (make == "sRGB") {
        return SrgbColorSpace();
    }
    if (make == "DisplayP3") {
        return DisplayP3ColorSpace();
    }
    throw std::invalid_argument(
        "colorManagement: profile make must be \"sRGB\" or \"DisplayP3\", not \"" + make + "\"");
}

WCS_PROFILE_MANAGEMENT_SCOPE ScopeNamed(const std::string& scope) {
    if (scope == "user") {
        return WCS_PROFILE_MANAGEMENT_SCOPE_CURRENT_USER;
    }
    if (scope == "system") {
        return WCS_PROFILE_MANAGEMENT_SCOPE_SYSTEM_WIDE;
    }
    throw std::invalid_argument(
        "colorManagement: association scope must be \"user\" or \"system\", not \"" + scope + "\"");
}

// Device names compare case-blind: the map keeps them upper-cased.
std::wstring DeviceKey(std::wstring_view device) {
    std::wstring key(device);
    std::transform(key.begin(), key.end(), key.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); });
    return key;
}

// A member the description must give.
std::wstring RequiredText(const nlohmann::json& object, const char* key) {
    return WideFromUtf8(object.at(key).get<std::string>());
}

bool Contains(const std::vector<std::wstring>& names, std::wstring_view name) {
    return std::any_of(names.begin(), names.end(),
                       [&](const auto& known) { return EqualsIgnoringCase(known, name); });
}

void AddOnce(std::vector<std::wstring>& names, std::wstring name) {
    if (!Contains(names, name)) {
        names.push_back(std::move(name));
    }
}

}  // namespace

// Every Windows has the standard profile.
ColorModel::ColorModel()
    : preinstalled_{{kStandardProfileName, SrgbColorSpace()}}, installed_{kStandardProfileName} {}

void ColorModel::Load(const nlohmann::json& description) {
    std::lock_guard lock(mutex_);
    for (const auto& profile : description.value("profiles", nlohmann::json::array())) {
        std::wstring name = RequiredText(profile, "name");
        preinstalled_.push_back({name, ColorSpaceNamed(profile.value("make", "sRGB"))});
        AddOnce(installed_, std::move(name));
    }
    elevated_ = description.value("elevated", elevated_);
    for (const auto& association : description.value("associations", nlohmann::json::array())) {
        associations_[{ScopeNamed(association.value("scope", "user")),
                       DeviceKey(RequiredText(association, "device"))}]
            .push_back(RequiredText(association, "profile"));
    }
}

std::wstring ColorModel::ColorDirectory() {
    return kColorDirectory;
}

std::wstring ColorModel::StandardProfilePath() {
    return ColorDirectory() + L"\\" + kStandardProfileName;
}

void ColorModel::AttachColorDirectory(const std::filesystem::path& directory) {
    std::lock_guard lock(mutex_);
    if (writtenIn_ == directory) {
        return;
    }
    for (const auto& profile : preinstalled_) {
        WriteProfileIfMissing(directory / platform::ToUtf8(profile.name), profile.space);
    }
    writtenIn_ = directory;
    RestoreKeptState();
}

// A kept state replaces the description's: it is what the description's
// machine became since.
void ColorModel::RestoreKeptState() {
    std::ifstream in(*writtenIn_ / kKeptStateFile);
    if (!in) {
        return;
    }
    const auto kept = nlohmann::json::parse(in, nullptr, false);
    if (kept.is_discarded()) {
        return;
    }
    for (const auto& name : kept.value("installed", nlohmann::json::array())) {
        AddOnce(installed_, WideFromUtf8(name.get<std::string>()));
    }
    associations_.clear();
    for (const auto& association : kept.value("associations", nlohmann::json::array())) {
        auto& profiles = associations_[{ScopeNamed(association.value("scope", "user")),
                                        RequiredText(association, "device")}];
        for (const auto& profile : association.value("profiles", nlohmann::json::array())) {
            profiles.push_back(WideFromUtf8(profile.get<std::string>()));
        }
    }
}

void ColorModel::KeepState() const {
    if (!writtenIn_) {
        return;
    }
    nlohmann::json kept{{"installed", nlohmann::json::array()},
                        {"associations", nlohmann::json::array()}};
    for (const auto& name : installed_) {
        kept["installed"].push_back(platform::ToUtf8(name));
    }
    for (const auto& [key, profiles] : associations_) {
        nlohmann::json names = nlohmann::json::array();
        for (const auto& profile : profiles) {
            names.push_back(platform::ToUtf8(profile));
        }
        const bool user = key.first == WCS_PROFILE_MANAGEMENT_SCOPE_CURRENT_USER;
        kept["associations"].push_back({{"scope", user ? "user" : "system"},
                                        {"device", platform::ToUtf8(key.second)},
                                        {"profiles", names}});
    }
    std::error_code ignored;
    std::filesystem::create_directories(*writtenIn_, ignored);
    std::ofstream(*writtenIn_ / kKeptStateFile) << kept.dump(2) << '\n';
}

std::vector<std::wstring> ColorModel::InstalledProfiles() const {
    std::lock_guard lock(mutex_);
    return installed_;
}

bool ColorModel::Elevated() const {
    std::lock_guard lock(mutex_);
    return elevated_;
}

void ColorModel::SetElevated(bool elevated) {
    std::lock_guard lock(mutex_);
    elevated_ = elevated;
}

bool ColorModel::IsInstalled(std::wstring_view fileName) const {
    std::lock_guard lock(mutex_);
    return Contains(installed_, fileName);
}

void ColorModel::RecordInstall(std::wstring fileName) {
    std::lock_guard lock(mutex_);
    AddOnce(installed_, std::move(fileName));
    KeepState();
}

std::vector<std::wstring> ColorModel::Associations(WCS_PROFILE_MANAGEMENT_SCOPE scope,
                                                   std::wstring_view device) const {
    std::lock_guard lock(mutex_);
    const auto found = associations_.find({scope, DeviceKey(device)});
    return found == associations_.end() ? std::vector<std::wstring>{} : found->second;
}

void ColorModel::Associate(WCS_PROFILE_MANAGEMENT_SCOPE scope, std::wstring_view device,
                           std::wstring fileName) {
    std::lock_guard lock(mutex_);
    auto& profiles = associations_[{scope, DeviceKey(device)}];
    std::erase_if(profiles,
                  [&](const auto& profile) { return EqualsIgnoringCase(profile, fileName); });
    profiles.push_back(std::move(fileName));
    KeepState();
}

bool ColorModel::Disassociate(WCS_PROFILE_MANAGEMENT_SCOPE scope, std::wstring_view device,
                              std::wstring_view fileName) {
    std::lock_guard lock(mutex_);
    const auto found = associations_.find({scope, DeviceKey(device)});
    if (found == associations_.end() || std::erase_if(found->second, [&](const auto& profile) {
                                            return EqualsIgnoringCase(profile, fileName);
                                        }) == 0) {
        return false;
    }
    KeepState();
    return true;
}

std::optional<std::wstring> ColorModel::DefaultProfile(WCS_PROFILE_MANAGEMENT_SCOPE scope,
                                                       std::wstring_view device) const {
    std::lock_guard lock(mutex_);
    const auto last = [&](WCS_PROFILE_MANAGEMENT_SCOPE of) -> std::optional<std::wstring> {
        const auto found = associations_.find({of, DeviceKey(device)});
        if (found == associations_.end() || found->second.empty()) {
            return std::nullopt;
        }
        return found->second.back();
    };
    if (scope == WCS_PROFILE_MANAGEMENT_SCOPE_CURRENT_USER) {
        if (auto own = last(WCS_PROFILE_MANAGEMENT_SCOPE_CURRENT_USER)) {
            return own;
        }
    }
    return last(WCS_PROFILE_MANAGEMENT_SCOPE_SYSTEM_WIDE);
}

void ColorModel::RecordAssociationEvent(AssociationEvent event) {
    std::lock_guard lock(mutex_);
    associationHistory_.push_back(std::move(event));
}

std::vector<AssociationEvent> ColorModel::AssociationHistory() const {
    std::lock_guard lock(mutex_);
    return associationHistory_;
}

void ColorModel::RecordDefaultProfileQuery(std::wstring device) {
    std::lock_guard lock(mutex_);
    defaultProfileQueries_.push_back(std::move(device));
}

std::vector<std::wstring> ColorModel::DefaultProfileQueries() const {
    std::lock_guard lock(mutex_);
    return defaultProfileQueries_;
}

HPROFILE ColorModel::OpenProfile(std::vector<std::uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    const auto profile = reinterpret_cast<HPROFILE>(
        kFirstProfileHandle + kProfileHandleStep * static_cast<std::uintptr_t>(openedProfiles_));
    ++openedProfiles_;
    openProfiles_.emplace(profile, std::move(bytes));
    return profile;
}

void ColorModel::SetBeforeProfileFileOpens(std::function<void(const std::filesystem::path&)> hook) {
    std::lock_guard lock(mutex_);
    beforeProfileFileOpens_ = std::move(hook);
}

// The hook runs without the model's lock: it may call back into the machine.
void ColorModel::RunBeforeProfileFileOpens(const std::filesystem::path& file) const {
    std::function<void(const std::filesystem::path&)> hook;
    {
        std::lock_guard lock(mutex_);
        hook = beforeProfileFileOpens_;
    }
    if (hook) {
        hook(file);
    }
}

std::optional<std::vector<std::uint8_t>> ColorModel::ProfileBytes(HPROFILE profile) const {
    std::lock_guard lock(mutex_);
    const auto found = openProfiles_.find(profile);
    return found == openProfiles_.end() ? std::nullopt
                                        : std::optional<std::vector<std::uint8_t>>(found->second);
}

bool ColorModel::CloseProfile(HPROFILE profile) {
    std::lock_guard lock(mutex_);
    return openProfiles_.erase(profile) == 1;
}

std::size_t ColorModel::OpenProfileCount() const {
    std::lock_guard lock(mutex_);
    return openProfiles_.size();
}

std::size_t ColorModel::OpenedProfileCount() const {
    std::lock_guard lock(mutex_);
    return openedProfiles_;
}

void ColorModel::RecordIcmCall(IcmCall call) {
    std::lock_guard lock(mutex_);
    icmCalls_.push_back(std::move(call));
}

std::vector<IcmCall> ColorModel::IcmCalls() const {
    std::lock_guard lock(mutex_);
    return icmCalls_;
}

void ColorModel::RecordGdiFlush() {
    std::lock_guard lock(mutex_);
    ++gdiFlushes_;
}

std::size_t ColorModel::GdiFlushes() const {
    std::lock_guard lock(mutex_);
    return gdiFlushes_;
}

void WriteProfileIfMissing(const std::filesystem::path& file, const RgbColorSpace& space) {
    std::error_code error;
    if (std::filesystem::exists(file, error)) {
        return;
    }
    std::filesystem::create_directories(file.parent_path(), error);
    const auto bytes = MakeRgbProfile(space);
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::wstring ProfileFileName(std::wstring_view name) {
    const auto separator = name.find_last_of(L"\\/");
    return std::wstring(separator == std::wstring_view::npos ? name : name.substr(separator + 1));
}

std::filesystem::path ProfileHostPath(Machine& machine, std::wstring_view name) {
    const auto directory = machine.HostPath(ColorModel::ColorDirectory());
    machine.Colors().AttachColorDirectory(directory);
    if (name.find_first_of(L"\\/") == std::wstring_view::npos) {
        return directory / platform::ToUtf8(name);
    }
    return machine.HostPath(name);
}

}  // namespace sim
