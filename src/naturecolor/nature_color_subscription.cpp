#include "naturecolor/nature_color_subscription.h"

#include <objbase.h>
#include <sensors.h>

#include <cstdint>
#include <exception>
#include <mutex>

#include "log/log_line.h"
#include "naturecolor/light_event.h"
#include "naturecolor/natural_tone.h"
#include "naturecolor/nature_color_monitor.h"
#include "naturecolor/sensor_color_data_reader.h"
#include "naturecolor/sensor_light_event_handle.h"
#include "platform/com_ptr.h"
#include "platform/module_reference.h"
#include "platform/process_end.h"
#include "util/text_conversion.h"

namespace {

constexpr int kFailed = -1;
// The firmware's event that announces a new ambient colour temperature.
constexpr unsigned int kSensorColorEvent = 705;

// The manager and the light sensors, kept from the first subscription to the
// uninstall so that a repeated subscription re-uses them, and with them a
// reference to the library: the sensors hold its sinks and call them on
// threads of their own. While the reference is held the library stays
// loaded, so it is destroyed holding one only when the process ends: the
// reference is then abandoned, and so are the Sensor API's objects when the
// system has ended the process's threads (the API may be gone already).
struct SensorSubscription {
    ~SensorSubscription() {
        library.Abandon();
        if (platform::ProcessIsEnding()) {
            collection.Abandon();
            manager.Abandon();
        }
    }

    std::mutex mutex;
    ComPtr<ISensorManager> manager;
    ComPtr<ISensorCollection> collection;
    platform::ModuleReference library;
};

SensorSubscription& Subscription() {
    static SensorSubscription subscription;
    return subscription;
}

// COM initialisations that subscriptions on this thread left in place, for
// the uninstall on the same thread to undo.
thread_local int t_comLeftInitialised = 0;

int Fail(const wchar_t* message) {
    Log(log_level::kError, "StartMonitorNatureColorSensorEventImpl") << message;
    return kFailed;
}

int AttachToLightSensors(SensorSubscription& subscription, ISensorEvents* events) {
    std::lock_guard lock(subscription.mutex);
    if (!subscription.manager &&
        FAILED(CoCreateInstance(CLSID_SensorManager, nullptr, CLSCTX_INPROC_SERVER,
                                IID_ISensorManager, subscription.manager.Receive()))) {
        return Fail(L"::CoCreateInstance NatureColor SensorManager Faild");
    }
    if (!subscription.collection &&
        FAILED(subscription.manager->GetSensorsByCategory(
            SENSOR_CATEGORY_LIGHT, subscription.collection.ReceiveTyped()))) {
        return Fail(L"GetSensorsByCategory SensorCollection Faild");
    }
    ULONG count = 0;
    if (FAILED(subscription.collection->GetCount(&count)) || count == 0) {
        return Fail(L"get count Faild!");
    }
    if (!subscription.library) {
        subscription.library = platform::ModuleReference::Take();
    }
    for (ULONG index = 0; index < count; ++index) {
        ComPtr<ISensor> sensor;
        if (FAILED(subscription.collection->GetAt(index, sensor.ReceiveTyped()))) {
            return Fail(L"get sensor Faild");
        }
        if (FAILED(sensor->SetEventSink(events))) {
            return Fail(L"SetEventSink Faild");
        }
    }
    return 0;
}

// Lets go of the sensors, and so of the sinks they hold, then of the library.
void ReleaseLightSensors(SensorSubscription& subscription) {
    std::lock_guard lock(subscription.mutex);
    subscription.collection.Reset();
    subscription.manager.Reset();
    subscription.library.Reset();
}

ComPtr<ISensorEvents> SinkOfType(unsigned int type) {
    ComPtr<ISensorEvents> events;
    if (type == kMonitorLightSensor) {
        LightEvent::Instance().QueryInterface(IID_ISensorEvents, events.Receive());
    } else if (type == kMonitorLightSensorAndFirmware) {
        SensorLightEventHandle::Instance().QueryInterface(IID_ISensorEvents, events.Receive());
    }
    return events;
}

}  // namespace

int StartMonitorNatureColorSensorEvent(unsigned int type) {
    const ComPtr<ISensorEvents> events = SinkOfType(type);
    if (!events) {
        Log(log_level::kError, "StartMonitorNatureColorSensorEvent")
            << L"ISensor QueryInterface Faild";
        return kFailed;
    }
    return StartMonitorNatureColorSensorEventImpl(events.Get());
}

// COM is entered for the subscription and left entered after a successful
// one; a thread that was in another apartment already is used as it is,
// and left as it was.
int StartMonitorNatureColorSensorEventImpl(ISensorEvents* events) {
    if (events == nullptr) {
        Log(log_level::kError, "StartMonitorNatureColorSensorEventImpl") << L"pEvents is nullptr!";
        return kFailed;
    }
    const bool comInitialised = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    const int result = AttachToLightSensors(Subscription(), events);
    if (comInitialised) {
        if (result == 0) {
            ++t_comLeftInitialised;
        } else {
            CoUninitialize();
        }
    }
    return result;
}

int UninstallNatureColorSensorEvent(unsigned int type) {
    if (type != kMonitorLightSensor && type != kMonitorLightSensorAndFirmware) {
        Log(log_level::kError, "UninstallNatureColorObject") << L"monitorType Error,type:" << type;
        return kFailed;
    }
    ReleaseLightSensors(Subscription());
    if (t_comLeftInitialised > 0) {
        --t_comLeftInitialised;
        CoUninitialize();
    }
    return type == kMonitorLightSensorAndFirmware
               ? NatureColorMonitor::Instance().StopEventMonitor()
               : 0;
}

// On the monitor's thread: an exception must not end the process from there.
void OnNatureColorFirmwareEvent(unsigned int event) {
    if (event != kSensorColorEvent) {
        return;
    }
    try {
        std::uint32_t value = 0;
        if (SensorColorDataReader::Instance().ReadSensorColorData(&value) != 0) {
            return;
        }
        NatureColorMonitor& monitor = NatureColorMonitor::Instance();
        monitor.SetSensorCct(value);
        if (monitor.Status() != 0) {
            NaturalTone::Instance().StartCctDimming(static_cast<float>(value),
                                                    SensorLightEventHandle::Instance().Light());
        }
    } catch (const std::exception& error) {
        Log(log_level::kError, "OnNatureColorFirmwareEvent")
            << L"firmware event not handled: " << AnsiToWide(error.what());
    }
}
