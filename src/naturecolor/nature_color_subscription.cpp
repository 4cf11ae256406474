#include "naturecolor/nature_color_subscription.h"

#include <objbase.h>
#include <sensors.h>

#include <chrono>
#include <cstdint>
#include <exception>
#include <mutex>
#include <optional>
#include <utility>

#include "log/log_line.h"
#include "naturecolor/callback_gate.h"
#include "naturecolor/light_event.h"
#include "naturecolor/natural_tone.h"
#include "naturecolor/nature_color_monitor.h"
#include "naturecolor/sensor_color_data_reader.h"
#include "naturecolor/sensor_light_event_handle.h"
#include "platform/com_ptr.h"
#include "platform/library_hold.h"
#include "platform/multithreaded_apartment.h"
#include "platform/process_end.h"
#include "util/text_conversion.h"

namespace {

constexpr int kFailed = -1;
// The firmware's event that announces a new ambient colour temperature.
constexpr unsigned int kSensorColorEvent = 705;
// How long a window's thread waits for the Sensor API's work in the
// multithreaded apartment.
constexpr std::chrono::milliseconds kApartmentPatience{30000};
// How long the end of a subscription waits for the callbacks already on
// their way to the engine: at most one frame's work.
constexpr std::chrono::milliseconds kCallbackPatience{5000};

// The manager and the light sensors of a subscription, with the
// multithreaded apartment they were made in kept alive for them: made, used
// and released there alone, whichever thread subscribes or unsubscribes.
// They are kept while the light sensors are subscribed, so that a repeated
// subscription re-uses them; a subscription that fails lets go of what it
// made. Each subscription in place (the sensors', the firmware's) holds the
// library and keeps its callbacks' gate open.
struct SensorSubscription {
    // A subscription holds the library, so this runs with objects still held
    // only where the library cannot be unloading: when a Windows process
    // ends, where COM may not be called and they go with the process; or at
    // exit() on Linux, or with the code linked into a program, where COM is
    // still there and they are released. With exit() the callbacks still
    // run: the gates close first, for the engine is destroyed after this.
    ~SensorSubscription() {
        const bool ending = platform::ProcessIsEnding();
        const auto patience = ending ? std::chrono::milliseconds(0) : kCallbackPatience;
        CallbackGate::Sensors().Close(patience);
        CallbackGate::Firmware().Close(patience);
        if (ending) {
            collection.Abandon();
            manager.Abandon();
            apartment.Abandon();
        }
    }

    std::mutex mutex;
    platform::MtaUsage apartment;
    ComPtr<ISensorManager> manager;
    ComPtr<ISensorCollection> collection;
    bool sensorsSubscribed = false;
    bool firmwareSubscribed = false;
};

SensorSubscription& Subscription() {
    // Everything the callbacks reach is made first, so that it is destroyed
    // after their gates have closed.
    static_cast<void>(NaturalTone::Instance());
    static_cast<void>(NatureColorMonitor::Instance());
    static_cast<void>(SensorColorDataReader::Instance());
    static SensorSubscription subscription;
    return subscription;
}

int Fail(const wchar_t* message) {
    Log(log_level::kError, "StartMonitorNatureColorSensorEventImpl") << message;
    return kFailed;
}

void BeginCallbacks(CallbackGate& gate) {
    platform::LibraryHold::Instance().Take();
    gate.Open();
}

// On the caller's thread, which holds the library: the hold goes here.
void EndCallbacks(CallbackGate& gate) {
    if (!gate.Close(kCallbackPatience)) {
        Log(log_level::kWarning, "UninstallNatureColorObject")
            << L"a callback is still on its way to the engine; the library stays loaded until "
               L"it returns";
    }
    platform::LibraryHold::Instance().GiveBackOnCaller();
}

// Tells each sensor to stop calling its sink: the Sensor API keeps a sink
// that was never cancelled, whoever else lets go of the sensor.
void CancelSinks(ISensorCollection& collection) {
    ULONG count = 0;
    if (FAILED(collection.GetCount(&count))) {
        count = 0;
    }
    for (ULONG index = 0; index < count; ++index) {
        ComPtr<ISensor> sensor;
        if (FAILED(collection.GetAt(index, sensor.ReceiveTyped())) ||
            FAILED(sensor->SetEventSink(nullptr))) {
            Log(log_level::kWarning, "UninstallNatureColorObject")
                << L"sensor " << index << L" keeps its sink";
        }
    }
}

// In the multithreaded apartment, with the subscription's lock held.
void ReleaseSensorsLocked(SensorSubscription& subscription) {
    if (subscription.collection) {
        CancelSinks(*subscription.collection.Get());
    }
    subscription.collection.Reset();
    subscription.manager.Reset();
    subscription.apartment.Reset();
}

int AttachSinksLocked(SensorSubscription& subscription, ISensorEvents* events) {
    if (!subscription.manager) {
        if (!subscription.apartment) {
            subscription.apartment = platform::MtaUsage::Take();
        }
        if (FAILED(CoCreateInstance(CLSID_SensorManager, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_ISensorManager, subscription.manager.Receive()))) {
            return Fail(L"::CoCreateInstance NatureColor SensorManager Faild");
        }
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

// In the multithreaded apartment. The gate opens before the first sink is
// attached, as a sensor may report at once.
int AttachToLightSensors(SensorSubscription& subscription, ISensorEvents* events) {
    const std::lock_guard lock(subscription.mutex);
    if (!subscription.sensorsSubscribed) {
        BeginCallbacks(CallbackGate::Sensors());
    }
    const int result = AttachSinksLocked(subscription, events);
    if (result == 0) {
        subscription.sensorsSubscribed = true;
    } else if (!subscription.sensorsSubscribed) {
        ReleaseSensorsLocked(subscription);
        EndCallbacks(CallbackGate::Sensors());
    }
    return result;
}

// In the multithreaded apartment: 1 when the sensors were subscribed.
int DetachFromLightSensors(SensorSubscription& subscription) {
    const std::lock_guard lock(subscription.mutex);
    ReleaseSensorsLocked(subscription);
    return std::exchange(subscription.sensorsSubscribed, false) ? 1 : 0;
}

std::optional<int> InSensorApartment(std::function<int()> work) {
    const std::optional<int> result =
        platform::RunInMultithreadedApartment(std::move(work), kApartmentPatience);
    if (!result) {
        Log(log_level::kError, "StartMonitorNatureColorSensorEventImpl")
            << L"the Sensor API's work in the multithreaded apartment did not end in time";
    }
    return result;
}

int StartFirmwareMonitor(SensorSubscription& subscription) {
    const std::lock_guard lock(subscription.mutex);
    if (!subscription.firmwareSubscribed) {
        BeginCallbacks(CallbackGate::Firmware());
    }
    const int result =
        NatureColorMonitor::Instance().StartEventMonitor(&OnNatureColorFirmwareEvent);
    if (result == 0) {
        subscription.firmwareSubscribed = true;
    } else if (!subscription.firmwareSubscribed) {
        EndCallbacks(CallbackGate::Firmware());
    }
    return result;
}

// A refused stop leaves the monitor running, and so its subscription;
// `ended` tells whether a subscription ended here.
int StopFirmwareMonitor(SensorSubscription& subscription, bool& ended) {
    const std::lock_guard lock(subscription.mutex);
    const int result = NatureColorMonitor::Instance().StopEventMonitor();
    ended = result == 0 && std::exchange(subscription.firmwareSubscribed, false);
    if (ended) {
        EndCallbacks(CallbackGate::Firmware());
    }
    return result;
}

bool AnySubscription(SensorSubscription& subscription) {
    const std::lock_guard lock(subscription.mutex);
    return subscription.sensorsSubscribed || subscription.firmwareSubscribed;
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

int StartNatureColorSubscription(unsigned int type) {
    int result = StartMonitorNatureColorSensorEvent(type);
    if (result == 0 && type == kMonitorLightSensorAndFirmware) {
        result = StartFirmwareMonitor(Subscription());
    }
    return result;
}

int StartMonitorNatureColorSensorEvent(unsigned int type) {
    const ComPtr<ISensorEvents> events = SinkOfType(type);
    if (!events) {
        Log(log_level::kError, "StartMonitorNatureColorSensorEvent")
            << L"ISensor QueryInterface Faild";
        return kFailed;
    }
    return StartMonitorNatureColorSensorEventImpl(events.Get());
}

// The sinks live as long as the library's image, so the work may keep the
// pointer even when it outlasts a window thread's patience.
int StartMonitorNatureColorSensorEventImpl(ISensorEvents* events) {
    if (events == nullptr) {
        Log(log_level::kError, "StartMonitorNatureColorSensorEventImpl") << L"pEvents is nullptr!";
        return kFailed;
    }
    SensorSubscription& subscription = Subscription();
    return InSensorApartment(
               [&subscription, events] { return AttachToLightSensors(subscription, events); })
        .value_or(kFailed);
}

int UninstallNatureColorSubscription(unsigned int type) {
    if (type != kMonitorLightSensor && type != kMonitorLightSensorAndFirmware) {
        Log(log_level::kError, "UninstallNatureColorObject") << L"monitorType Error,type:" << type;
        return kFailed;
    }
    SensorSubscription& subscription = Subscription();
    const std::optional<int> detached =
        InSensorApartment([&subscription] { return DetachFromLightSensors(subscription); });
    const bool sensorsEnded = detached == 1;
    if (sensorsEnded) {
        EndCallbacks(CallbackGate::Sensors());
    }
    bool firmwareEnded = false;
    const int result = type == kMonitorLightSensorAndFirmware
                           ? StopFirmwareMonitor(subscription, firmwareEnded)
                           : 0;
    if ((sensorsEnded || firmwareEnded) && !AnySubscription(subscription)) {
        NaturalTone::Instance().StopTransition();
    }
    return result;
}

// On the monitor's thread: an exception must not end the process from there.
void OnNatureColorFirmwareEvent(unsigned int event) {
    const CallbackGate::Pass pass(CallbackGate::Firmware());
    if (!pass || event != kSensorColorEvent) {
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
