#include "naturecolor/sensor_light_event_handle.h"

#include <sensors.h>

#include <cmath>
#include <exception>

#include "log/log_line.h"
#include "naturecolor/callback_gate.h"
#include "naturecolor/natural_tone.h"
#include "naturecolor/nature_color_monitor.h"
#include "platform/scoped_prop_variant.h"
#include "util/no_destructor.h"
#include "util/text_conversion.h"

namespace {

constexpr const char* kOnDataUpdatedSource = "SensorLightEventHandle::OnDataUpdated";
// What a sink answers when it failed in a way COM has no code for.
constexpr HRESULT kUnexpectedFailure = static_cast<HRESULT>(0xFFFFFFFFu);

}  // namespace

SensorLightEventHandle& SensorLightEventHandle::Instance() {
    static NoDestructor<SensorLightEventHandle> instance;
    return instance.Get();
}

HRESULT STDMETHODCALLTYPE SensorLightEventHandle::OnDataUpdated(ISensor* sensor,
                                                                ISensorDataReport* newData) {
    const CallbackGate::Pass pass(CallbackGate::Sensors());
    try {
        if (sensor == nullptr || newData == nullptr) {
            Log(log_level::kError, kOnDataUpdatedSource) << L"pSensor or pNewData is nullptr!";
            return E_POINTER;
        }
        platform::ScopedPropVariant value;
        const HRESULT result =
            newData->GetSensorValue(SENSOR_DATA_TYPE_LIGHT_LEVEL_LUX, value.Receive());
        if (FAILED(result)) {
            Log(log_level::kError, kOnDataUpdatedSource) << L"GetSensorValue Failed!";
            return result;
        }
        if (value.Get().vt == VT_R4) {
            // A light that is not a number is not kept for the firmware's
            // events; the engine refuses it with its line.
            const float light = value.Get().fltVal;
            if (std::isfinite(light)) {
                light_ = light;
            }
            if (Status() != 0 && pass) {
                NaturalTone::Instance().StartCctDimming(
                    static_cast<float>(NatureColorMonitor::Instance().SensorCct()), light);
            }
        }
        return result;
    } catch (const std::exception& error) {
        Log(log_level::kError, kOnDataUpdatedSource)
            << L"OnDataUpdated Exception.msg:" << AnsiToWide(error.what());
        return kUnexpectedFailure;
    }
}
