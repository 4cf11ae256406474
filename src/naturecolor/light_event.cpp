#include "naturecolor/light_event.h"

#include <sensors.h>

#include <optional>

#include "log/log_line.h"
#include "naturecolor/callback_gate.h"
#include "naturecolor/natural_tone.h"
#include "platform/library_hold.h"
#include "platform/scoped_prop_variant.h"
#include "util/no_destructor.h"

namespace {

constexpr const char* kDataSource = "LightEvent::OnDataUpdated";

// A value read from a report as a float; nothing when it has another type.
std::optional<float> FloatValue(const PROPVARIANT& value) {
    return value.vt == VT_R4 ? std::optional(value.fltVal) : std::nullopt;
}

}  // namespace

LightEvent& LightEvent::Instance() {
    static NoDestructor<LightEvent> instance;
    return instance.Get();
}

HRESULT STDMETHODCALLTYPE LightEvent::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (iid != IID_IUnknown && iid != __uuidof(ISensorEvents)) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    *object = static_cast<ISensorEvents*>(this);
    return S_OK;
}

ULONG STDMETHODCALLTYPE LightEvent::AddRef() {
    platform::LibraryHold::Instance().Take();
    return ++references_;
}

// The holder may be a thread of the Sensor API, which returns through this
// code after the last hold is back.
ULONG STDMETHODCALLTYPE LightEvent::Release() {
    const ULONG remaining = --references_;
    platform::LibraryHold::Instance().GiveBackOnSystemThread();
    return remaining;
}

HRESULT STDMETHODCALLTYPE LightEvent::OnStateChanged(ISensor* sensor, SensorState state) {
    const CallbackGate::Pass pass(CallbackGate::Sensors());
    if (sensor == nullptr) {
        return E_INVALIDARG;
    }
    if (state == SENSOR_STATE_READY) {
        Log(log_level::kInfo, "LightEvent::OnStateChanged") << L"Light sensor is now ready.";
    } else if (state == SENSOR_STATE_ACCESS_DENIED) {
        Log(log_level::kError, "LightEvent::OnStateChanged")
            << L"No permission for the time sensor.";
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LightEvent::OnDataUpdated(ISensor* sensor, ISensorDataReport* newData) {
    const CallbackGate::Pass pass(CallbackGate::Sensors());
    if (status_ == 0) {
        return S_OK;
    }
    try {
        if (sensor == nullptr || newData == nullptr) {
            Log(log_level::kError, kDataSource) << L"pSensor or pNewData is nullptr!";
            return E_POINTER;
        }
        platform::ScopedPropVariant value;
        HRESULT result = newData->GetSensorValue(SENSOR_DATA_TYPE_LIGHT_LEVEL_LUX, value.Receive());
        if (FAILED(result)) {
            return result;
        }
        const float lux = FloatValue(value.Get()).value_or(0.0f);
        result =
            newData->GetSensorValue(SENSOR_DATA_TYPE_LIGHT_TEMPERATURE_KELVIN, value.Receive());
        const auto kelvin = FloatValue(value.Get());
        if (SUCCEEDED(result) && kelvin && pass) {
            try {
                NaturalTone::Instance().StartCctDimming(*kelvin, lux);
            } catch (...) {
                Log(log_level::kError, kDataSource)
                    << L"NaturalTone::Instance().StartThreadForCctDimming Exception.";
            }
        }
        return result;
    } catch (...) {
        Log(log_level::kError, kDataSource) << L"OnDataUpdated Exception.";
        return E_UNEXPECTED;
    }
}

HRESULT STDMETHODCALLTYPE LightEvent::OnEvent(ISensor*, REFGUID, IPortableDeviceValues*) {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE LightEvent::OnLeave(REFSENSOR_ID) {
    return S_OK;
}
