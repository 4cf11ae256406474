#include "sim/intel_driver_model.h"

#include <oleauto.h>

#include <map>
#include <mutex>
#include <optional>

#include <nlohmann/json.hpp>

#include "platform/cui_external8.h"
#include "platform/utf8.h"
#include "sim/com_runtime.h"
#include "sim/machine.h"
#include "sim/machine_clock.h"
#include "sim/whole_number.h"

namespace sim {

struct IntelDriverModel::Server {
    mutable std::mutex mutex;
    bool present = false;
    bool exposesCUIExternal8 = true;
    std::map<std::string, LONG, std::less<>> devices;  // UTF-8 device name -> id
    LONG gammaStatus = 0;
    LONG featureStatus = 0;
    std::vector<DeviceQuery> deviceQueries;
    std::vector<GammaRampCall> gammaRampCalls;
    std::vector<FeatureDataCall> featureDataCalls;
    int liveObjects = 0;
    long references = 0;

    std::optional<LONG> DeviceId(std::wstring_view deviceName) const {
        const auto found = devices.find(platform::ToUtf8(deviceName));
        return found == devices.end() ? std::nullopt : std::optional(found->second);
    }

    bool KnowsDeviceId(LONG deviceId) const {
        for (const auto& [name, id] : devices) {
            if (id == deviceId) {
                return true;
            }
        }
        return false;
    }
};

namespace {

constexpr LONG kGammaRampBytes = 3 * 256 * sizeof(WORD);

std::vector<BYTE> CopyBytes(const BYTE* bytes, LONG size) {
    if (bytes == nullptr || size <= 0) {
        return {};
    }
    return {bytes, bytes + size};
}

// Negative sizes are refused, and a buffer must be there when it has bytes.
HRESULT CheckBuffer(const BYTE* bytes, LONG size) {
    if (size < 0) {
        return E_INVALIDARG;
    }
    return bytes == nullptr && size > 0 ? E_POINTER : S_OK;
}

#define NOT_IMPLEMENTED(slot)                             \
    HRESULT STDMETHODCALLTYPE Reserved##slot() override { \
        return E_NOTIMPL;                                 \
    }

// One object of the driver's server, alive while a reference to it is held
// in any apartment.
struct DriverInstance {
    explicit DriverInstance(std::shared_ptr<IntelDriverModel::Server> server)
        : server(std::move(server)) {
        std::lock_guard lock(this->server->mutex);
        ++this->server->liveObjects;
    }
    ~DriverInstance() {
        std::lock_guard lock(server->mutex);
        --server->liveObjects;
    }
    DriverInstance(const DriverInstance&) = delete;
    DriverInstance& operator=(const DriverInstance&) = delete;

    std::shared_ptr<IntelDriverModel::Server> server;
};

// A reference to a driver object as a client in one apartment holds it: the
// proxy of the driver's local server there. A call from another apartment
// never reaches the driver. The interfaces form a single chain, so one
// pointer serves all of them.
class DriverObject final : public CUIExternal8, public ApartmentBoundObject {
  public:
    DriverObject(std::shared_ptr<DriverInstance> instance, ApartmentId apartment)
        : instance_(std::move(instance)), server_(instance_->server), apartment_(apartment) {
        std::lock_guard lock(server_->mutex);
        ++server_->references;
    }
    DriverObject(const DriverObject&) = delete;
    DriverObject& operator=(const DriverObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (!InItsApartment()) {
            return RPC_E_WRONG_THREAD;
        }
        if (!Implements(iid)) {
            return E_NOINTERFACE;
        }
        AddRef();
        *object = static_cast<CUIExternal8*>(this);
        return S_OK;
    }

    ULONG STDMETHODCALLTYPE AddRef() override {
        std::lock_guard lock(server_->mutex);
        ++server_->references;
        return ++references_;
    }

    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG remaining = ReleaseReference();
        if (remaining == 0) {
            delete this;
        }
        return remaining;
    }

    HRESULT ReferenceInApartment(ApartmentId apartment, REFIID iid, void** object) override {
        if (apartment == apartment_) {
            return QueryInterface(iid, object);
        }
        auto* proxy = new DriverObject(instance_, apartment);
        const HRESULT result = proxy->QueryInterface(iid, object);
        proxy->Release();
        return result;
    }

    HRESULT STDMETHODCALLTYPE EnumActiveDevices(BSTR deviceName, LONG index, LONG* deviceId,
                                                LONG* value) override {
        if (!InItsApartment()) {
            return RPC_E_WRONG_THREAD;
        }
        const std::wstring name =
            deviceName != nullptr ? std::wstring(deviceName, SysStringLen(deviceName)) : L"";
        const HRESULT result = LookUpDevice(deviceName, index, deviceId, value);
        std::lock_guard lock(server_->mutex);
        server_->deviceQueries.push_back({name, index, result});
        return result;
    }

    HRESULT STDMETHODCALLTYPE SetGammaRamp(LONG deviceId, LONG size, WORD* ramp,
                                           LONG* status) override {
        if (!InItsApartment()) {
            return RPC_E_WRONG_THREAD;
        }
        GammaRampCall call{deviceId, size, {}, 0, S_OK, Machine::Current().Clock().Now()};
        if (ramp != nullptr && size == kGammaRampBytes) {
            call.ramp.assign(ramp, ramp + size / static_cast<LONG>(sizeof(WORD)));
        }
        call.result = TakeGammaRamp(deviceId, size, ramp, status);
        call.status = status != nullptr ? *status : 0;
        const HRESULT result = call.result;
        std::lock_guard lock(server_->mutex);
        server_->gammaRampCalls.push_back(std::move(call));
        return result;
    }

    HRESULT STDMETHODCALLTYPE SetFeatureData(GUID feature, LONG headerSize, BYTE* header,
                                             LONG dataSize, BYTE* data, LONG* status) override {
        if (!InItsApartment()) {
            return RPC_E_WRONG_THREAD;
        }
        FeatureDataCall call{feature, CopyBytes(header, headerSize), CopyBytes(data, dataSize), 0,
                             S_OK};
        call.result = TakeFeatureData(headerSize, header, dataSize, data, status);
        call.status = status != nullptr ? *status : 0;
        const HRESULT result = call.result;
        std::lock_guard lock(server_->mutex);
        server_->featureDataCalls.push_back(std::move(call));
        return result;
    }

    NOT_IMPLEMENTED(4)
    NOT_IMPLEMENTED(5)
    NOT_IMPLEMENTED(6)
    NOT_IMPLEMENTED(7)
    NOT_IMPLEMENTED(8)
    NOT_IMPLEMENTED(9)
    NOT_IMPLEMENTED(10)
    NOT_IMPLEMENTED(11)
    NOT_IMPLEMENTED(12)
    NOT_IMPLEMENTED(13)
    NOT_IMPLEMENTED(14)
    NOT_IMPLEMENTED(15)
    NOT_IMPLEMENTED(16)
    NOT_IMPLEMENTED(17)
    NOT_IMPLEMENTED(18)
    NOT_IMPLEMENTED(19)
    NOT_IMPLEMENTED(20)
    NOT_IMPLEMENTED(21)
    NOT_IMPLEMENTED(22)
    NOT_IMPLEMENTED(23)
    NOT_IMPLEMENTED(24)
    NOT_IMPLEMENTED(25)
    NOT_IMPLEMENTED(27)
    NOT_IMPLEMENTED(28)
    NOT_IMPLEMENTED(29)
    NOT_IMPLEMENTED(30)
    NOT_IMPLEMENTED(31)
    NOT_IMPLEMENTED(32)
    NOT_IMPLEMENTED(33)
    NOT_IMPLEMENTED(34)
    NOT_IMPLEMENTED(35)
    NOT_IMPLEMENTED(36)
    NOT_IMPLEMENTED(37)
    NOT_IMPLEMENTED(38)
    NOT_IMPLEMENTED(39)
    NOT_IMPLEMENTED(40)
    NOT_IMPLEMENTED(41)
    NOT_IMPLEMENTED(42)
    NOT_IMPLEMENTED(43)
    NOT_IMPLEMENTED(44)
    NOT_IMPLEMENTED(45)

  private:
    ~DriverObject() = default;

    bool InItsApartment() const { return CurrentApartment() == apartment_; }

    bool Implements(REFIID iid) const {
        if (iid == __uuidof(IUnknown) || iid == __uuidof(CUIExternalDevices) ||
            iid == __uuidof(CUIExternalGamma)) {
            return true;
        }
        std::lock_guard lock(server_->mutex);
        return iid == __uuidof(CUIExternal8) && server_->exposesCUIExternal8;
    }

    ULONG ReleaseReference() {
        std::lock_guard lock(server_->mutex);
        --server_->references;
        return --references_;
    }

    HRESULT LookUpDevice(BSTR deviceName, LONG index, LONG* deviceId, LONG* value) {
        if (const auto failure = InjectedComFailure("EnumActiveDevices")) {
            return *failure;
        }
        if (deviceId == nullptr || value == nullptr) {
            return E_POINTER;
        }
        if (deviceName == nullptr || index != 0) {
            return E_INVALIDARG;
        }
        std::lock_guard lock(server_->mutex);
        const auto id = server_->DeviceId({deviceName, SysStringLen(deviceName)});
        if (!id) {
            return E_INVALIDARG;
        }
        *deviceId = *id;
        *value = 0;
        return S_OK;
    }

    HRESULT TakeGammaRamp(LONG deviceId, LONG size, const WORD* ramp, LONG* status) {
        if (const auto failure = InjectedComFailure("SetGammaRamp")) {
            return *failure;
        }
        if (ramp == nullptr || status == nullptr) {
            return E_POINTER;
        }
        std::lock_guard lock(server_->mutex);
        if (size != kGammaRampBytes || !server_->KnowsDeviceId(deviceId)) {
            return E_INVALIDARG;
        }
        *status = server_->gammaStatus;
        return S_OK;
    }

    HRESULT TakeFeatureData(LONG headerSize, const BYTE* header, LONG dataSize, const BYTE* data,
                            LONG* status) {
        if (const auto failure = InjectedComFailure("SetFeatureData")) {
            return *failure;
        }
        if (status == nullptr) {
            return E_POINTER;
        }
        if (const HRESULT refusal = CheckBuffer(header, headerSize); FAILED(refusal)) {
            return refusal;
        }
        if (const HRESULT refusal = CheckBuffer(data, dataSize); FAILED(refusal)) {
            return refusal;
        }
        std::lock_guard lock(server_->mutex);
        *status = server_->featureStatus;
        return S_OK;
    }

    std::shared_ptr<DriverInstance> instance_;
    std::shared_ptr<IntelDriverModel::Server> server_;
    ApartmentId apartment_;
    ULONG references_ = 1;
};

#undef NOT_IMPLEMENTED

}  // namespace

IntelDriverModel::IntelDriverModel() : server_(std::make_shared<Server>()) {}

IntelDriverModel::~IntelDriverModel() = default;

void IntelDriverModel::Load(const nlohmann::json& description) {
    std::lock_guard lock(server_->mutex);
    server_->present = description.value("present", server_->present);
    server_->exposesCUIExternal8 =
        description.value("exposesCUIExternal8", server_->exposesCUIExternal8);
    const auto devices = description.value("devices", nlohmann::json::object());
    for (const auto& [name, id] : devices.items()) {
        server_->devices[name] = WholeNumber<LONG>(id, "intelDriver: devices");
    }
    server_->gammaStatus = WholeNumber(description, "gammaStatus", server_->gammaStatus);
    server_->featureStatus = WholeNumber(description, "featureStatus", server_->featureStatus);
}

bool IntelDriverModel::Present() const {
    std::lock_guard lock(server_->mutex);
    return server_->present;
}

void IntelDriverModel::SetPresent(bool present) {
    std::lock_guard lock(server_->mutex);
    server_->present = present;
}

void IntelDriverModel::SetExposesCUIExternal8(bool exposes) {
    std::lock_guard lock(server_->mutex);
    server_->exposesCUIExternal8 = exposes;
}

void IntelDriverModel::SetDevice(const std::wstring& deviceName, LONG deviceId) {
    std::lock_guard lock(server_->mutex);
    server_->devices[platform::ToUtf8(deviceName)] = deviceId;
}

void IntelDriverModel::SetGammaStatus(LONG status) {
    std::lock_guard lock(server_->mutex);
    server_->gammaStatus = status;
}

void IntelDriverModel::SetFeatureStatus(LONG status) {
    std::lock_guard lock(server_->mutex);
    server_->featureStatus = status;
}

HRESULT IntelDriverModel::CreateInstance(REFIID iid, void** object) {
    auto* created = new DriverObject(std::make_shared<DriverInstance>(server_), CurrentApartment());
    const HRESULT result = created->QueryInterface(iid, object);
    created->Release();
    return result;
}

std::vector<DeviceQuery> IntelDriverModel::DeviceQueries() const {
    std::lock_guard lock(server_->mutex);
    return server_->deviceQueries;
}

std::vector<GammaRampCall> IntelDriverModel::GammaRampCalls() const {
    std::lock_guard lock(server_->mutex);
    return server_->gammaRampCalls;
}

std::vector<FeatureDataCall> IntelDriverModel::FeatureDataCalls() const {
    std::lock_guard lock(server_->mutex);
    return server_->featureDataCalls;
}

void IntelDriverModel::ForgetCalls() {
    std::lock_guard lock(server_->mutex);
    server_->deviceQueries.clear();
    server_->gammaRampCalls.clear();
    server_->featureDataCalls.clear();
}

int IntelDriverModel::LiveObjects() const {
    std::lock_guard lock(server_->mutex);
    return server_->liveObjects;
}

long IntelDriverModel::OutstandingReferences() const {
    std::lock_guard lock(server_->mutex);
    return server_->references;
}

}  // namespace sim
