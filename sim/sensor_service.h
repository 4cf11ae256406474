// The inside of the simulated Sensor API, shared by the model
// (sensor_model.cpp), which queues and delivers reports, and the COM objects
// (sensors.cpp), which attach sinks.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "sim/sensor_model.h"

namespace sim {

struct SensorModel::Service : std::enable_shared_from_this<SensorModel::Service> {
    // A sensor object of a client with the sink it holds a reference to. The
    // service holds the sensor object too: as on Windows, a sink that was
    // never cancelled goes on receiving reports after the client has let go
    // of the sensor.
    struct Attachment {
        ISensor* sensor = nullptr;
        ISensorEvents* sink = nullptr;
    };
    // A data report, or else a state change.
    struct Delivery {
        std::optional<LightReport> report;
        SensorState state = SENSOR_STATE_READY;
    };
    struct LightSensor {
        LightSensorDescription description;
        std::vector<Attachment> attachments;
        std::deque<Delivery> queue;
        bool delivering = false;
    };

    mutable std::mutex mutex;
    std::condition_variable delivered;
    bool managerRegistered = true;
    std::vector<LightSensor> sensors;  // by index; only ever grows
    std::size_t undelivered = 0;       // deliveries queued or in hand
    std::vector<HRESULT> sinkAnswers;
    std::atomic<long> liveObjects{0};
    std::atomic<long> wrongApartmentCalls{0};
    std::function<void()> readHook;

    // Attaches `sink` (already referenced for the attachment) to a client's
    // sensor object, referencing the sensor object for a new attachment; the
    // sink it replaces, which the caller releases outside the lock, or null.
    ISensorEvents* AttachLocked(std::size_t index, ISensor* sensor, ISensorEvents* sink);
    // Detaches whatever sink the sensor object has; the caller releases the
    // sink and the sensor object of the attachment, when there was one.
    std::optional<Attachment> DetachLocked(std::size_t index, ISensor* sensor);

    void Queue(const Delivery& delivery);
    void QueueTo(const std::vector<std::size_t>& indices, const Delivery& delivery);
    void Deliver(std::size_t index);
};

// Whether the calling thread is one of the service's own, whose references
// to the objects are the API's business and bound to no apartment.
bool OnServiceThread();

// A new reference to a data report object holding `report`.
ISensorDataReport* NewDataReport(const std::shared_ptr<SensorModel::Service>& service,
                                 const LightReport& report);
// A new reference to the sensor manager.
HRESULT NewSensorManager(const std::shared_ptr<SensorModel::Service>& service, REFIID iid,
                         void** object);

}  // namespace sim
