#include "sim/adl_model.h"

#include <algorithm>
#include <cstdint>

#include <nlohmann/json.hpp>

#include "sim/wide_text.h"
#include "sim/whole_number.h"

namespace sim {

namespace {

constexpr std::uintptr_t kAdlModuleHandle = 0x7FFB50000000;

// A panel of today: the four predefined gamut spaces (CCIR 709, CCIR 601,
// Adobe RGB, CIE RGB) and the four predefined white points plus a custom one.
constexpr int kDefaultGamutSpaces = 0x0F;
constexpr int kDefaultWhitePoints = 0x1F;
// sRGB primaries (CCIR 709) at 6500 K.
constexpr int kGamutSpaceCcir709 = 0x1;
constexpr int kWhitePoint6500K = 0x2;
// Connected and mapped to the desktop.
constexpr int kDefaultDisplayInfo = 0x1 | adl::kDisplayInfoMapped;

adl::GamutData GamutFromJson(const nlohmann::json& gamut) {
    adl::GamutData data{};
    data.feature = WholeNumber(gamut, "feature", 0);
    data.predefinedGamut = WholeNumber(gamut, "predefinedGamut", kGamutSpaceCcir709);
    data.predefinedWhitePoint = WholeNumber(gamut, "predefinedWhitePoint", kWhitePoint6500K);
    if (const auto point = gamut.find("whitePoint"); point != gamut.end()) {
        data.customWhitePoint = adl::Point{WholeNumber<int>(point->at(0), "whitePoint"),
                                           WholeNumber<int>(point->at(1), "whitePoint")};
    }
    return data;
}

AdlDisplay DisplayFromJson(const nlohmann::json& display) {
    AdlDisplay parsed;
    parsed.logicalAdapterIndex = WholeNumber(display, "logicalAdapterIndex", 0);
    parsed.listedBy = WholeNumber(display, "adapter", parsed.logicalAdapterIndex);
    parsed.logicalDisplayIndex = WholeNumber(display, "logicalDisplayIndex", 0);
    parsed.infoValue = WholeNumber(display, "infoValue", kDefaultDisplayInfo);
    parsed.name = display.value("name", "");
    parsed.caps.supportedGamutSpace = WholeNumber(display, "gamutSpaces", kDefaultGamutSpaces);
    parsed.caps.supportedWhitePoint = WholeNumber(display, "whitePoints", kDefaultWhitePoints);
    parsed.gamut = GamutFromJson(display.value("gamut", nlohmann::json::object()));
    return parsed;
}

}  // namespace

void AdlModel::Load(const nlohmann::json& description) {
    SetModule(WideMember(description, "module"));
    for (const auto& name : description.value("missingEntryPoints", nlohmann::json::array())) {
        RemoveEntryPoint(name.get<std::string>());
    }
    SetCreateResult(WholeNumber(description, "createResult", adl::kOk));
    for (const auto& adapter : description.value("adapters", nlohmann::json::array())) {
        AddAdapter({WholeNumber(adapter, "index", 0), adapter.value("name", "")});
    }
    for (const auto& display : description.value("displays", nlohmann::json::array())) {
        AddDisplay(DisplayFromJson(display));
    }
}

void AdlModel::SetModule(std::wstring fileName) {
    std::lock_guard lock(mutex_);
    moduleName_ = std::move(fileName);
}

std::wstring AdlModel::ModuleName() const {
    std::lock_guard lock(mutex_);
    return moduleName_;
}

void AdlModel::RemoveEntryPoint(std::string name) {
    std::lock_guard lock(mutex_);
    missingEntryPoints_.insert(std::move(name));
}

bool AdlModel::ExportsEntryPoint(std::string_view name) const {
    std::lock_guard lock(mutex_);
    return !missingEntryPoints_.contains(name) && AdlExport(name) != nullptr;
}

HMODULE AdlModel::LoadModule() {
    std::lock_guard lock(mutex_);
    ++moduleReferences_;
    ++moduleLoads_;
    return reinterpret_cast<HMODULE>(kAdlModuleHandle);
}

bool AdlModel::FreeModule(HMODULE module) {
    std::lock_guard lock(mutex_);
    if (module != reinterpret_cast<HMODULE>(kAdlModuleHandle) || moduleReferences_ == 0) {
        return false;
    }
    --moduleReferences_;
    return true;
}

bool AdlModel::IsLoadedModule(HMODULE module) const {
    return module == reinterpret_cast<HMODULE>(kAdlModuleHandle) && ModuleLoaded();
}

bool AdlModel::ModuleLoaded() const {
    std::lock_guard lock(mutex_);
    return moduleReferences_ > 0;
}

int AdlModel::ModuleReferences() const {
    std::lock_guard lock(mutex_);
    return moduleReferences_;
}

int AdlModel::ModuleLoads() const {
    std::lock_guard lock(mutex_);
    return moduleLoads_;
}

void AdlModel::SetCreateResult(int result) {
    std::lock_guard lock(mutex_);
    createResult_ = result;
}

int AdlModel::CreateContext(adl::MallocCallback allocate) {
    std::lock_guard lock(mutex_);
    if (createResult_ == adl::kOk) {
        ++liveContexts_;
        allocate_ = allocate;
    }
    return createResult_;
}

void AdlModel::DestroyContext() {
    std::lock_guard lock(mutex_);
    if (liveContexts_ > 0 && --liveContexts_ == 0) {
        allocate_ = nullptr;
    }
}

int AdlModel::LiveContexts() const {
    std::lock_guard lock(mutex_);
    return liveContexts_;
}

adl::MallocCallback AdlModel::Allocator() const {
    std::lock_guard lock(mutex_);
    return allocate_;
}

void AdlModel::AddAdapter(AdlAdapter adapter) {
    std::lock_guard lock(mutex_);
    adapters_.push_back(std::move(adapter));
}

void AdlModel::AddDisplay(AdlDisplay display) {
    std::lock_guard lock(mutex_);
    displays_.push_back(std::move(display));
}

std::vector<AdlAdapter> AdlModel::Adapters() const {
    std::lock_guard lock(mutex_);
    return adapters_;
}

bool AdlModel::HasAdapter(int index) const {
    std::lock_guard lock(mutex_);
    return std::any_of(adapters_.begin(), adapters_.end(),
                       [index](const AdlAdapter& adapter) { return adapter.index == index; });
}

std::vector<AdlDisplay> AdlModel::DisplaysListedBy(int adapter) const {
    std::lock_guard lock(mutex_);
    std::vector<AdlDisplay> listed;
    std::copy_if(displays_.begin(), displays_.end(), std::back_inserter(listed),
                 [adapter](const AdlDisplay& display) { return display.listedBy == adapter; });
    return listed;
}

// A display is addressed by the adapter it belongs to and its logical index.
std::optional<AdlDisplay> AdlModel::FindDisplay(int adapter, int display) const {
    std::lock_guard lock(mutex_);
    const auto found =
        std::find_if(displays_.begin(), displays_.end(), [&](const AdlDisplay& candidate) {
            return candidate.logicalAdapterIndex == adapter &&
                   candidate.logicalDisplayIndex == display;
        });
    return found == displays_.end() ? std::nullopt : std::optional<AdlDisplay>(*found);
}

std::optional<adl::GamutData> AdlModel::CurrentGamut(int adapter, int display,
                                                     int reference) const {
    const auto found = FindDisplay(adapter, display);
    if (!found) {
        return std::nullopt;
    }
    std::lock_guard lock(mutex_);
    const auto set = gamuts_.find({adapter, display, reference});
    return set == gamuts_.end() ? found->gamut : set->second;
}

void AdlModel::RecordGamutSet(const AdlGamutSet& call) {
    std::lock_guard lock(mutex_);
    gamutSets_.push_back(call);
    if (call.result == adl::kOk) {
        gamuts_[{call.adapter, call.display, call.reference}] = call.gamut;
    }
}

std::vector<AdlGamutSet> AdlModel::GamutSets() const {
    std::lock_guard lock(mutex_);
    return gamutSets_;
}

}  // namespace sim
