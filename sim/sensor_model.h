// The part of the machine that holds the Windows Sensor API: whether the
// sensor manager's class is registered, the ambient light sensors, and the
// data reports they deliver. As Windows does, every sensor delivers its
// reports to the sinks attached to it on a thread of its own, never on the
// thread that subscribed; a sink goes on receiving them until it is
// cancelled (SetEventSink with null), and a delivery may be in progress
// when the client cancels. The manager, its collections and their sensors
// belong to the apartment the manager was made in.
#pragma once

#include <propidl.h>
#include <sensorsapi.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace sim {

// One data field of a report as GetSensorValue hands it out.
struct ReportValue {
    HRESULT readResult = S_OK;  // a failure leaves the value empty
    VARTYPE type = VT_R4;
    double value = 0.0;  // stored in the member `type` names

    static ReportValue Float(float value) { return {S_OK, VT_R4, value}; }
    static ReportValue OfType(VARTYPE type, double value) { return {S_OK, type, value}; }
    // What Windows answers for a field the report does not carry.
    static ReportValue Missing() { return Failing(HRESULT_FROM_WIN32(ERROR_NOT_FOUND)); }
    static ReportValue Failing(HRESULT error) { return {error, VT_EMPTY, 0.0}; }
};

struct LightReport {
    ReportValue lux = ReportValue::Missing();
    ReportValue kelvin = ReportValue::Missing();
};

struct LightSensorDescription {
    std::wstring name = L"Ambient light sensor";
    // What SetEventSink answers; a failure leaves the sensor without a sink.
    HRESULT sinkResult = S_OK;
    // A report the sensor hands to each sink attached to it, as sensors
    // report their current values to a new subscriber.
    std::optional<LightReport> reportWhenAttached;
};

class SensorModel {
  public:
    SensorModel();
    ~SensorModel();
    SensorModel(const SensorModel&) = delete;
    SensorModel& operator=(const SensorModel&) = delete;

    // Reads this part of a machine description; absent keys keep defaults.
    void Load(const nlohmann::json& description);

    // Whether CLSID_SensorManager is registered (it is on every Windows
    // since 7; a machine can still lack it).
    bool ManagerRegistered() const;
    void SetManagerRegistered(bool registered);
    void AddLightSensor(LightSensorDescription sensor);
    std::size_t LightSensorCount() const;

    // A new sensor manager object, as its class factory answers CoCreateInstance.
    HRESULT CreateManager(REFIID iid, void** object);

    // Hands one data report to the sinks of every light sensor, on each
    // sensor's own thread; returns at once. Nothing is a field the report
    // lacks; a value is VT_R4.
    void PushLightReading(std::optional<float> lux, std::optional<float> kelvin);
    void PushReport(const LightReport& report);
    // Tells the sinks of every light sensor that its state changed.
    void PushStateChange(SensorState state);
    // Blocks until every report and state change pushed so far has been
    // delivered and the sinks have returned.
    void AwaitDeliveries();
    // The same, for at most `patience`: false when a delivery is still going.
    bool AwaitDeliveriesFor(std::chrono::milliseconds patience);
    // Runs on the sensor's thread whenever a sink reads a value from a
    // report, before the value is handed out: a test can hold a sink in the
    // middle of its callback.
    void SetReadHook(std::function<void()> hook);

    // What the sinks answered, one result per sink and delivery, in order.
    std::vector<HRESULT> SinkAnswers() const;
    // Sinks attached to light sensors now, counted once per sensor object.
    std::size_t AttachedSinks() const;
    // Sensor API objects (manager, collections, sensors, reports) that a
    // holder has not released yet; a sensor with a sink never cancelled
    // stays alive, held by the service.
    long LiveObjects() const;
    // Calls, references and releases of the manager, a collection or a
    // sensor from another apartment than the one it was made in: COM
    // answers RPC_E_WRONG_THREAD, or worse for a release.
    long WrongApartmentCalls() const;

    struct Service;

  private:
    // Shared with the objects and the delivery threads, which may outlive
    // the machine that made them.
    std::shared_ptr<Service> service_;
};

}  // namespace sim
