#include <algorithm>
#include <cmath>
#include <memory>
#include <exception>

#include "naturecolor/natural_tone.h"
#include "scene_machine.h"
#include "sim/firmware_model.h"
#include "sim/machine.h"
#include "sim/machine_clock.h"
#include "sim/sensor_model.h"

namespace tintwell_cli {

namespace {

using Milliseconds = std::chrono::milliseconds;

// The firmware event that announces a new colour temperature.
constexpr unsigned int kFirmwareCctEvent = 705;
constexpr unsigned int kFirmwareCctType = 1;
// How long the scene looks away while it waits: on the real clock the
// progress bar needs no finer steps; on the virtual one the worker runs
// ahead in real time, so the scene checks often.
constexpr Milliseconds kRealPause{20};
constexpr auto kVirtualPause = std::chrono::microseconds(200);

std::unique_ptr<sim::Machine> LoadMachine(const std::string& file) {
    if (file.empty()) {
        return nullptr;
    }
    try {
        return sim::Machine::FromFile(file);
    } catch (const std::exception& error) {
        throw SceneInputError("machine description " + file + ": " + error.what());
    }
}

}  // namespace

void InstallSceneMachine(const std::string& file, const std::string& clock) {
    if (auto machine = LoadMachine(file)) {
        sim::Machine::Install(std::move(machine));
    }
    sim::Machine::Current().Clock().SetMode(sim::MachineClock::ParseMode(clock));
}

VirtualTimeGate::VirtualTimeGate(sim::Machine& machine) : machine_(machine) {
    machine_.Clock().SetSleepHook([this](Milliseconds duration) { BeforeSleep(duration); });
}

VirtualTimeGate::~VirtualTimeGate() {
    Release();
    machine_.Clock().SetSleepHook(nullptr);
}

void VirtualTimeGate::HoldAt(Milliseconds time) {
    std::lock_guard lock(mutex_);
    holdAt_ = time;
}

bool VirtualTimeGate::AwaitSleeperHeld() {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, kVirtualPause, [this] { return sleeperHeld_; });
    return sleeperHeld_;
}

// The held sleeper counts as released at once, before its thread runs: a
// reading pushed next must not take it for the sleeper of its own hold.
void VirtualTimeGate::Release() {
    {
        std::lock_guard lock(mutex_);
        holdAt_.reset();
        sleeperHeld_ = false;
    }
    changed_.notify_all();
}

// Holds one sleeper at a time: another library thread that sleeps while the
// scene pushes a reading must not stop the delivery it waits for.
void VirtualTimeGate::BeforeSleep(Milliseconds duration) {
    if (std::this_thread::get_id() == sceneThread_) {
        return;
    }
    std::unique_lock lock(mutex_);
    const auto passesHold = [&] {
        return holdAt_ && machine_.Clock().Now() + duration >= *holdAt_;
    };
    if (sleeperHeld_ || !passesHold()) {
        return;
    }
    // A release followed at once by the next hold may find this sleeper
    // still due to wait: it is held again, and says so.
    while (passesHold()) {
        sleeperHeld_ = true;
        changed_.notify_all();
        changed_.wait(lock);
    }
    sleeperHeld_ = false;
}

SceneMachine::SceneMachine(unsigned int type)
    : machine_(sim::Machine::Current()), type_(type), start_(machine_.Clock().Now()) {
    if (Virtual()) {
        gate_.emplace(machine_);
    }
}

bool SceneMachine::Virtual() const {
    return machine_.Clock().GetMode() == sim::MachineClock::Mode::Virtual;
}

long long SceneMachine::Now() const {
    return (machine_.Clock().Now() - start_).count();
}

// In type 1 the light goes first: its sink re-uses the firmware's last CCT,
// and the firmware event that follows then carries both new values.
void SceneMachine::Push(const Reading& reading) {
    const bool firmwareCct = type_ == kFirmwareCctType;
    machine_.Sensors().PushLightReading(
        reading.lux, firmwareCct ? std::nullopt : std::optional<float>(reading.kelvin));
    machine_.Sensors().AwaitDeliveries();
    if (firmwareCct) {
        machine_.Firmware().SetBiosInfoAnswer(
            {0, 0, static_cast<DWORD>(std::lround(reading.kelvin))});
        machine_.Firmware().RaiseEvent(kFirmwareCctEvent);
        machine_.Firmware().AwaitEvents();
    }
}

// No export tells whether a transition still runs; the engine's own state
// does, and the tool shares the library's code on this platform.
bool SceneMachine::TransitionRunning() const {
    return NaturalTone::Instance().DimmingWorkerRunning();
}

std::size_t SceneMachine::StoredFrames() const {
    return CountStoredCcts(machine_, start_);
}

void SceneMachine::PauseBriefly() const {
    if (Virtual()) {
        std::this_thread::sleep_for(kVirtualPause);
    } else {
        std::this_thread::sleep_for(kRealPause);
    }
}

void SceneMachine::PushAt(long long timeMs, const Reading& reading, const Tick& tick) {
    WaitUntil(start_ + Milliseconds(timeMs), tick);
    Push(reading);
    if (gate_) {
        gate_->Release();
    }
}

void SceneMachine::WaitUntil(Milliseconds due, const Tick& tick) {
    if (gate_) {
        gate_->HoldAt(due);
    }
    while (machine_.Clock().Now() < due) {
        tick();
        if (!gate_) {
            machine_.Clock().Sleep(std::min(due - machine_.Clock().Now(), kRealPause));
        } else if (gate_->AwaitSleeperHeld()) {
            return;
        } else if (!TransitionRunning()) {
            // Nothing else moves the virtual clock now.
            machine_.Clock().Sleep(due - machine_.Clock().Now());
        }
    }
}

void SceneMachine::WaitTransitionEnd(const Tick& tick) {
    while (TransitionRunning()) {
        tick();
        PauseBriefly();
    }
    tick();
}

SceneFrames SceneMachine::Frames(int displayType) const {
    return ReadBackFrames(machine_, start_, displayType);
}

}  // namespace tintwell_cli
