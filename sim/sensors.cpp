// sensorsapi: the Sensor API's objects on the simulated machine. The manager
// finds the light sensors; each sensor object a client holds can carry one
// sink, kept until it is cancelled, as the sensor objects of Windows do.
// Each call honours an injected failure under its interface's name
// ("ISensorManager::GetSensorsByCategory", "ISensorCollection::GetCount",
// "ISensorCollection::GetAt", "ISensor::SetEventSink",
// "ISensorDataReport::GetSensorValue").
#include <sensors.h>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "sim/com_runtime.h"
#include "sim/machine.h"
#include "sim/sensor_service.h"

namespace sim {

namespace {

const HRESULT kNotFound = HRESULT_FROM_WIN32(ERROR_NOT_FOUND);

// Reference counting, the live-object count, the apartment and the IUnknown
// answers shared by every object of the service; each object implements one
// interface.
template <typename Interface>
class ServiceObject : public Interface {
  public:
    ServiceObject(const ServiceObject&) = delete;
    ServiceObject& operator=(const ServiceObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (const auto wrong = WrongApartment()) {
            return *wrong;
        }
        if (object == nullptr) {
            return E_POINTER;
        }
        if (iid != IID_IUnknown && iid != __uuidof(Interface)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        this->AddRef();
        *object = static_cast<Interface*>(this);
        return S_OK;
    }

    // A reference counts from any apartment, but one taken or given back
    // from the wrong one is noted: on Windows it reaches a proxy that is
    // not the caller's.
    ULONG STDMETHODCALLTYPE AddRef() override {
        WrongApartment();
        return ++references_;
    }

    ULONG STDMETHODCALLTYPE Release() override {
        WrongApartment();
        const ULONG remaining = --references_;
        if (remaining == 0) {
            delete this;
        }
        return remaining;
    }

  protected:
    // Data reports come from the sensors' threads and are free-threaded;
    // the manager and what it hands out belong to the creator's apartment.
    enum class Threading { Apartment, Free };

    ServiceObject(std::shared_ptr<SensorModel::Service> service, Threading threading)
        : service_(std::move(service)),
          apartment_(threading == Threading::Apartment ? std::optional(CurrentApartment())
                                                       : std::nullopt) {
        ++service_->liveObjects;
    }
    virtual ~ServiceObject() { --service_->liveObjects; }

    // RPC_E_WRONG_THREAD, noted, for a client in another apartment.
    std::optional<HRESULT> WrongApartment() const {
        if (!apartment_ || OnServiceThread() || CurrentApartment() == *apartment_) {
            return std::nullopt;
        }
        ++service_->wrongApartmentCalls;
        return RPC_E_WRONG_THREAD;
    }

    std::shared_ptr<SensorModel::Service> service_;
    std::atomic<ULONG> references_{1};

  private:
    std::optional<ApartmentId> apartment_;
};

// Hands out a new object's first reference as the interface asked for.
template <typename Object>
HRESULT HandOut(Object* created, REFIID iid, void** object) {
    const HRESULT result = created->QueryInterface(iid, object);
    created->Release();
    return result;
}

class DataReport final : public ServiceObject<ISensorDataReport> {
  public:
    DataReport(std::shared_ptr<SensorModel::Service> service, LightReport report)
        : ServiceObject(std::move(service), Threading::Free), report_(report) {}

    HRESULT STDMETHODCALLTYPE GetTimestamp(SYSTEMTIME*) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE GetSensorValue(REFPROPERTYKEY key, PROPVARIANT* value) override {
        if (value == nullptr) {
            return E_POINTER;
        }
        PropVariantInit(value);
        std::function<void()> hook;
        {
            std::lock_guard lock(service_->mutex);
            hook = service_->readHook;
        }
        if (hook) {
            hook();
        }
        if (const auto failure = InjectedComFailure("ISensorDataReport::GetSensorValue")) {
            return *failure;
        }
        const ReportValue* field = Field(key);
        if (field == nullptr) {
            return kNotFound;
        }
        if (FAILED(field->readResult)) {
            return field->readResult;
        }
        Store(*field, *value);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetSensorValues(IPortableDeviceKeyCollection*,
                                              IPortableDeviceValues**) override {
        return E_NOTIMPL;
    }

  private:
    const ReportValue* Field(REFPROPERTYKEY key) const {
        if (IsEqualPropertyKey(key, SENSOR_DATA_TYPE_LIGHT_LEVEL_LUX)) {
            return &report_.lux;
        }
        if (IsEqualPropertyKey(key, SENSOR_DATA_TYPE_LIGHT_TEMPERATURE_KELVIN)) {
            return &report_.kelvin;
        }
        return nullptr;
    }

    static void Store(const ReportValue& field, PROPVARIANT& value) {
        value.vt = field.type;
        switch (field.type) {
            case VT_R4:
                value.fltVal = static_cast<float>(field.value);
                break;
            case VT_R8:
                value.dblVal = field.value;
                break;
            default:
                value.ulVal = static_cast<ULONG>(field.value);
                break;
        }
    }

    LightReport report_;
};

class SensorObject final : public ServiceObject<ISensor> {
  public:
    SensorObject(std::shared_ptr<SensorModel::Service> service, std::size_t index)
        : ServiceObject(std::move(service), Threading::Apartment), index_(index) {}

    HRESULT STDMETHODCALLTYPE GetID(SENSOR_ID* id) override {
        if (id == nullptr) {
            return E_POINTER;
        }
        *id = {0x5e150000u + static_cast<DWORD>(index_), 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetCategory(SENSOR_CATEGORY_ID* category) override {
        if (category == nullptr) {
            return E_POINTER;
        }
        *category = SENSOR_CATEGORY_LIGHT;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetType(SENSOR_TYPE_ID*) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE GetFriendlyName(BSTR* name) override {
        if (name == nullptr) {
            return E_POINTER;
        }
        std::lock_guard lock(service_->mutex);
        *name = SysAllocString(service_->sensors.at(index_).description.name.c_str());
        return *name != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT STDMETHODCALLTYPE GetProperty(REFPROPERTYKEY, PROPVARIANT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetProperties(IPortableDeviceKeyCollection*,
                                            IPortableDeviceValues**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetSupportedDataFields(IPortableDeviceKeyCollection**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetProperties(IPortableDeviceValues*,
                                            IPortableDeviceValues**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SupportsDataField(REFPROPERTYKEY, VARIANT_BOOL*) override {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE GetState(SensorState* state) override {
        if (state == nullptr) {
            return E_POINTER;
        }
        *state = SENSOR_STATE_READY;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetData(ISensorDataReport**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SupportsEvent(REFGUID, VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetEventInterest(GUID**, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetEventInterest(GUID*, ULONG) override { return E_NOTIMPL; }

    // A null sink cancels the one attached; the service then lets go of it
    // and of this object, once a delivery in progress has returned.
    HRESULT STDMETHODCALLTYPE SetEventSink(ISensorEvents* events) override {
        if (const auto wrong = WrongApartment()) {
            return *wrong;
        }
        if (const auto failure = InjectedComFailure("ISensor::SetEventSink")) {
            return *failure;
        }
        ISensorEvents* replaced = nullptr;
        std::optional<SensorModel::Service::Attachment> cancelled;
        std::optional<LightReport> firstReport;
        {
            std::lock_guard lock(service_->mutex);
            const LightSensorDescription& description = service_->sensors.at(index_).description;
            if (events != nullptr) {
                if (FAILED(description.sinkResult)) {
                    return description.sinkResult;
                }
                events->AddRef();
                replaced = service_->AttachLocked(index_, this, events);
                firstReport = description.reportWhenAttached;
            } else {
                cancelled = service_->DetachLocked(index_, this);
            }
        }
        if (firstReport) {
            service_->QueueTo({index_}, {*firstReport, SENSOR_STATE_READY});
        }
        if (replaced != nullptr) {
            replaced->Release();
        }
        if (cancelled) {
            cancelled->sink->Release();
            cancelled->sensor->Release();
        }
        return S_OK;
    }

  private:
    std::size_t index_;
};

class SensorCollection final : public ServiceObject<ISensorCollection> {
  public:
    SensorCollection(std::shared_ptr<SensorModel::Service> service, std::size_t count)
        : ServiceObject(std::move(service), Threading::Apartment) {
        for (std::size_t index = 0; index < count; ++index) {
            sensors_.push_back(new SensorObject(service_, index));
        }
    }
    ~SensorCollection() override {
        for (ISensor* sensor : sensors_) {
            sensor->Release();
        }
    }

    HRESULT STDMETHODCALLTYPE GetAt(ULONG index, ISensor** sensor) override {
        if (const auto wrong = WrongApartment()) {
            return *wrong;
        }
        if (sensor == nullptr) {
            return E_POINTER;
        }
        *sensor = nullptr;
        if (const auto failure = InjectedComFailure("ISensorCollection::GetAt")) {
            return *failure;
        }
        if (index >= sensors_.size()) {
            return E_INVALIDARG;
        }
        sensors_[index]->AddRef();
        *sensor = sensors_[index];
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetCount(ULONG* count) override {
        if (const auto wrong = WrongApartment()) {
            return *wrong;
        }
        if (count == nullptr) {
            return E_POINTER;
        }
        if (const auto failure = InjectedComFailure("ISensorCollection::GetCount")) {
            return *failure;
        }
        *count = static_cast<ULONG>(sensors_.size());
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Add(ISensor*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Remove(ISensor*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveByID(REFSENSOR_ID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clear() override { return E_NOTIMPL; }

  private:
    std::vector<ISensor*> sensors_;
};

class SensorManager final : public ServiceObject<ISensorManager> {
  public:
    explicit SensorManager(std::shared_ptr<SensorModel::Service> service)
        : ServiceObject(std::move(service), Threading::Apartment) {}

    // A collection of new sensor objects; none of the category is an error,
    // as on Windows.
    HRESULT STDMETHODCALLTYPE GetSensorsByCategory(REFSENSOR_CATEGORY_ID category,
                                                   ISensorCollection** found) override {
        if (const auto wrong = WrongApartment()) {
            return *wrong;
        }
        if (found == nullptr) {
            return E_POINTER;
        }
        *found = nullptr;
        if (const auto failure = InjectedComFailure("ISensorManager::GetSensorsByCategory")) {
            return *failure;
        }
        std::size_t count = 0;
        {
            std::lock_guard lock(service_->mutex);
            count = service_->sensors.size();
        }
        if (category != SENSOR_CATEGORY_LIGHT || count == 0) {
            return kNotFound;
        }
        *found = new SensorCollection(service_, count);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetSensorsByType(REFSENSOR_TYPE_ID, ISensorCollection**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetSensorByID(REFSENSOR_ID, ISensor**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetEventSink(ISensorManagerEvents*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RequestPermissions(HWND, ISensorCollection*, BOOL) override {
        return E_NOTIMPL;
    }
};

}  // namespace

ISensorDataReport* NewDataReport(const std::shared_ptr<SensorModel::Service>& service,
                                 const LightReport& report) {
    return new DataReport(service, report);
}

HRESULT NewSensorManager(const std::shared_ptr<SensorModel::Service>& service, REFIID iid,
                         void** object) {
    return HandOut(new SensorManager(service), iid, object);
}

}  // namespace sim
