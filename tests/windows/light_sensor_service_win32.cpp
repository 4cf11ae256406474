#include "light_sensor_service_win32.h"

#include "com_object_win32.h"

#include <objbase.h>
#include <propidl.h>
#include <sensors.h>
#include <sensorsapi.h>

#include <atomic>
#include <mutex>
#include <thread>

namespace tw_test {

namespace {

constexpr HRESULT kNotInReport = HRESULT_FROM_WIN32(ERROR_NOT_FOUND);

std::atomic<long> g_liveObjects{0};
std::atomic<ULONG> g_sensorCount{1};

// Counted while alive: the manager, its collections and their sensor.
struct Counted {
    Counted() { ++g_liveObjects; }
    ~Counted() { --g_liveObjects; }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;
};

bool SameKey(REFPROPERTYKEY a, REFPROPERTYKEY b) {
    return a.fmtid == b.fmtid && a.pid == b.pid;
}

class Report final : public ComObject<ISensorDataReport> {
  public:
    Report(float lux, float kelvin) : lux_(lux), kelvin_(kelvin) {}

    HRESULT STDMETHODCALLTYPE GetTimestamp(SYSTEMTIME* time) override {
        GetSystemTime(time);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSensorValue(REFPROPERTYKEY key, PROPVARIANT* value) override {
        if (value == nullptr) {
            return E_POINTER;
        }
        PropVariantInit(value);
        if (SameKey(key, SENSOR_DATA_TYPE_LIGHT_LEVEL_LUX)) {
            return Float(lux_, value);
        }
        if (SameKey(key, SENSOR_DATA_TYPE_LIGHT_TEMPERATURE_KELVIN)) {
            return Float(kelvin_, value);
        }
        return kNotInReport;
    }
    HRESULT STDMETHODCALLTYPE GetSensorValues(IPortableDeviceKeyCollection*,
                                              IPortableDeviceValues**) override {
        return E_NOTIMPL;
    }

  private:
    static HRESULT Float(float number, PROPVARIANT* value) {
        value->vt = VT_R4;
        value->fltVal = number;
        return S_OK;
    }

    float lux_;
    float kelvin_;
};

class Sensor;

// The sensor handed out last, while it lives: reports go to its sink.
std::mutex g_liveMutex;
Sensor* g_live = nullptr;

class Sensor final : public ComObject<ISensor> {
  public:
    Sensor() {
        std::lock_guard lock(g_liveMutex);
        g_live = this;
    }
    ~Sensor() override {
        {
            std::lock_guard lock(g_liveMutex);
            if (g_live == this) {
                g_live = nullptr;
            }
        }
        SetEventSink(nullptr);
    }

    HRESULT STDMETHODCALLTYPE GetID(SENSOR_ID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCategory(SENSOR_CATEGORY_ID* category) override {
        *category = SENSOR_CATEGORY_LIGHT;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetType(SENSOR_TYPE_ID* type) override {
        *type = SENSOR_TYPE_AMBIENT_LIGHT;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetFriendlyName(BSTR*) override { return E_NOTIMPL; }
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
        *state = SENSOR_STATE_READY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetData(ISensorDataReport**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SupportsEvent(REFGUID, VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetEventInterest(GUID**, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetEventInterest(GUID*, ULONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetEventSink(ISensorEvents* sink) override {
        if (sink != nullptr) {
            sink->AddRef();
        }
        ISensorEvents* old = nullptr;
        {
            std::lock_guard lock(sinkMutex_);
            old = sink_;
            sink_ = sink;
        }
        if (old != nullptr) {
            old->Release();
        }
        return S_OK;
    }

    bool HasSink() {
        std::lock_guard lock(sinkMutex_);
        return sink_ != nullptr;
    }
    HRESULT Deliver(float lux, float kelvin) {
        ISensorEvents* sink = nullptr;
        {
            std::lock_guard lock(sinkMutex_);
            sink = sink_;
            if (sink == nullptr) {
                return E_FAIL;
            }
            sink->AddRef();
        }
        Report* report = new Report(lux, kelvin);
        const HRESULT result = sink->OnDataUpdated(this, report);
        report->Release();
        sink->Release();
        return result;
    }

  private:
    const Counted counted_;
    std::mutex sinkMutex_;
    ISensorEvents* sink_ = nullptr;
};

class Collection final : public ComObject<ISensorCollection> {
  public:
    ~Collection() override { sensor_->Release(); }

    HRESULT STDMETHODCALLTYPE GetAt(ULONG index, ISensor** sensor) override {
        if (sensor == nullptr) {
            return E_POINTER;
        }
        if (index != 0) {
            return E_INVALIDARG;
        }
        sensor_->AddRef();
        *sensor = sensor_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCount(ULONG* count) override {
        *count = g_sensorCount;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Add(ISensor*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Remove(ISensor*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveByID(REFSENSOR_ID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clear() override { return E_NOTIMPL; }

  private:
    const Counted counted_;
    Sensor* sensor_ = new Sensor;
};

class Manager final : public ComObject<ISensorManager> {
  public:
    HRESULT STDMETHODCALLTYPE GetSensorsByCategory(REFSENSOR_CATEGORY_ID category,
                                                   ISensorCollection** found) override {
        if (found == nullptr) {
            return E_POINTER;
        }
        if (category != SENSOR_CATEGORY_LIGHT) {
            return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
        }
        *found = new Collection;
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

  private:
    const Counted counted_;
};

}  // namespace

LightSensorService::LightSensorService()
    : cookie_(RegisterClassObject<Manager>(CLSID_SensorManager)) {}

LightSensorService::~LightSensorService() {
    if (cookie_ != 0) {
        CoRevokeClassObject(cookie_);
    }
}

void LightSensorService::SetSensorCount(ULONG count) {
    g_sensorCount = count;
}

long LightSensorService::LiveObjects() {
    return g_liveObjects.load();
}

bool LightSensorService::HasSink() const {
    std::lock_guard lock(g_liveMutex);
    return g_live != nullptr && g_live->HasSink();
}

HRESULT LightSensorService::Deliver(float lux, float kelvin) {
    HRESULT result = E_FAIL;
    std::thread([&] {
        std::lock_guard lock(g_liveMutex);
        if (g_live != nullptr) {
            result = g_live->Deliver(lux, kelvin);
        }
    }).join();
    return result;
}

}  // namespace tw_test
