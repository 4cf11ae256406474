#include "sim/sensor_model.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "platform/library_thread.h"
#include "sim/sensor_service.h"
#include "sim/wide_text.h"

namespace sim {

namespace {

thread_local bool t_serviceThread = false;

// Held for the length of one delivery, so that a client releasing its
// sensor object or sink meanwhile does not pull either from under the call.
struct HeldAttachment {
    ISensor* sensor;
    ISensorEvents* sink;
};

std::vector<HeldAttachment> HoldAttachments(
    const std::vector<SensorModel::Service::Attachment>& all) {
    std::vector<HeldAttachment> held;
    for (const auto& attachment : all) {
        attachment.sensor->AddRef();
        attachment.sink->AddRef();
        held.push_back({attachment.sensor, attachment.sink});
    }
    return held;
}

HRESULT Hand(const SensorModel::Service::Delivery& delivery, ISensorDataReport* report,
             const HeldAttachment& to) {
    return delivery.report ? to.sink->OnDataUpdated(to.sensor, report)
                           : to.sink->OnStateChanged(to.sensor, delivery.state);
}

ReportValue ValueOrMissing(std::optional<float> value) {
    return value ? ReportValue::Float(*value) : ReportValue::Missing();
}

}  // namespace

bool OnServiceThread() {
    return t_serviceThread;
}

ISensorEvents* SensorModel::Service::AttachLocked(std::size_t index, ISensor* sensor,
                                                  ISensorEvents* sink) {
    auto& attachments = sensors.at(index).attachments;
    for (auto& attachment : attachments) {
        if (attachment.sensor == sensor) {
            return std::exchange(attachment.sink, sink);
        }
    }
    sensor->AddRef();
    attachments.push_back({sensor, sink});
    return nullptr;
}

std::optional<SensorModel::Service::Attachment> SensorModel::Service::DetachLocked(
    std::size_t index, ISensor* sensor) {
    auto& attachments = sensors.at(index).attachments;
    const auto found = std::find_if(attachments.begin(), attachments.end(),
                                    [sensor](const Attachment& a) { return a.sensor == sensor; });
    if (found == attachments.end()) {
        return std::nullopt;
    }
    const Attachment detached = *found;
    attachments.erase(found);
    return detached;
}

void SensorModel::Service::Queue(const Delivery& delivery) {
    std::vector<std::size_t> all;
    {
        std::lock_guard lock(mutex);
        for (std::size_t index = 0; index < sensors.size(); ++index) {
            all.push_back(index);
        }
    }
    QueueTo(all, delivery);
}

void SensorModel::Service::QueueTo(const std::vector<std::size_t>& indices,
                                   const Delivery& delivery) {
    std::vector<std::size_t> toStart;
    {
        std::lock_guard lock(mutex);
        for (const std::size_t index : indices) {
            sensors.at(index).queue.push_back(delivery);
            ++undelivered;
            if (!std::exchange(sensors[index].delivering, true)) {
                toStart.push_back(index);
            }
        }
    }
    for (const std::size_t index : toStart) {
        auto self = shared_from_this();
        if (!platform::StartLibraryThread([self, index] { self->Deliver(index); })) {
            std::lock_guard lock(mutex);
            undelivered -= sensors[index].queue.size();
            sensors[index].queue.clear();
            sensors[index].delivering = false;
            delivered.notify_all();
        }
    }
}

// The sensor's thread: delivers until its queue is empty, then ends.
void SensorModel::Service::Deliver(std::size_t index) {
    t_serviceThread = true;
    std::unique_lock lock(mutex);
    while (!sensors[index].queue.empty()) {
        const Delivery delivery = sensors[index].queue.front();
        sensors[index].queue.pop_front();
        const auto held = HoldAttachments(sensors[index].attachments);
        lock.unlock();
        ISensorDataReport* report =
            delivery.report ? NewDataReport(shared_from_this(), *delivery.report) : nullptr;
        std::vector<HRESULT> answers;
        for (const auto& attachment : held) {
            answers.push_back(Hand(delivery, report, attachment));
            attachment.sink->Release();
            attachment.sensor->Release();
        }
        if (report != nullptr) {
            report->Release();
        }
        lock.lock();
        sinkAnswers.insert(sinkAnswers.end(), answers.begin(), answers.end());
        --undelivered;
        delivered.notify_all();
    }
    sensors[index].delivering = false;
}

SensorModel::SensorModel() : service_(std::make_shared<Service>()) {}

// The machine's sensor service goes with it: the sinks it still holds, never
// cancelled, are released with their sensor objects, which hold the service.
SensorModel::~SensorModel() {
    std::vector<Service::Attachment> held;
    {
        std::lock_guard lock(service_->mutex);
        for (auto& sensor : service_->sensors) {
            held.insert(held.end(), sensor.attachments.begin(), sensor.attachments.end());
            sensor.attachments.clear();
        }
    }
    for (const auto& attachment : held) {
        attachment.sink->Release();
        attachment.sensor->Release();
    }
}

void SensorModel::Load(const nlohmann::json& description) {
    SetManagerRegistered(description.value("managerRegistered", ManagerRegistered()));
    for (const auto& sensor : description.value("lightSensors", nlohmann::json::array())) {
        LightSensorDescription light;
        light.name = WideMember(sensor, "name", light.name);
        if (sensor.value("refusesSink", false)) {
            light.sinkResult = E_ACCESSDENIED;
        }
        if (const auto report = sensor.find("reportsWhenAttached"); report != sensor.end()) {
            light.reportWhenAttached = LightReport{ReportValue::Float(report->at("lux")),
                                                   ReportValue::Float(report->at("kelvin"))};
        }
        AddLightSensor(std::move(light));
    }
}

bool SensorModel::ManagerRegistered() const {
    std::lock_guard lock(service_->mutex);
    return service_->managerRegistered;
}

void SensorModel::SetManagerRegistered(bool registered) {
    std::lock_guard lock(service_->mutex);
    service_->managerRegistered = registered;
}

void SensorModel::AddLightSensor(LightSensorDescription sensor) {
    std::lock_guard lock(service_->mutex);
    service_->sensors.push_back({std::move(sensor), {}, {}, false});
}

std::size_t SensorModel::LightSensorCount() const {
    std::lock_guard lock(service_->mutex);
    return service_->sensors.size();
}

HRESULT SensorModel::CreateManager(REFIID iid, void** object) {
    return NewSensorManager(service_, iid, object);
}

void SensorModel::PushLightReading(std::optional<float> lux, std::optional<float> kelvin) {
    PushReport({ValueOrMissing(lux), ValueOrMissing(kelvin)});
}

void SensorModel::PushReport(const LightReport& report) {
    service_->Queue({report, SENSOR_STATE_READY});
}

void SensorModel::PushStateChange(SensorState state) {
    service_->Queue({std::nullopt, state});
}

void SensorModel::AwaitDeliveries() {
    std::unique_lock lock(service_->mutex);
    service_->delivered.wait(lock, [this] { return service_->undelivered == 0; });
}

bool SensorModel::AwaitDeliveriesFor(std::chrono::milliseconds patience) {
    std::unique_lock lock(service_->mutex);
    return service_->delivered.wait_for(lock, patience,
                                        [this] { return service_->undelivered == 0; });
}

std::size_t SensorModel::AttachedSinks() const {
    std::lock_guard lock(service_->mutex);
    std::size_t count = 0;
    for (const auto& sensor : service_->sensors) {
        count += sensor.attachments.size();
    }
    return count;
}

std::vector<HRESULT> SensorModel::SinkAnswers() const {
    std::lock_guard lock(service_->mutex);
    return service_->sinkAnswers;
}

long SensorModel::LiveObjects() const {
    return service_->liveObjects.load();
}

void SensorModel::SetReadHook(std::function<void()> hook) {
    std::lock_guard lock(service_->mutex);
    service_->readHook = std::move(hook);
}

long SensorModel::WrongApartmentCalls() const {
    return service_->wrongApartmentCalls.load();
}

}  // namespace sim
