#include "naturecolor/callback_gate.h"

#include <thread>

#include "platform/library_hold.h"

namespace {

constinit CallbackGate g_sensors;
constinit CallbackGate g_firmware;

constexpr std::chrono::milliseconds kPollInterval{1};

}  // namespace

// Counted before the door is looked at, and the closing looks at the count
// after shutting it: a callback either finds the door shut or is counted.
CallbackGate::Pass::Pass(CallbackGate& gate) : gate_(gate) {
    platform::LibraryHold::Instance().Take();
    ++gate_.through_;
    through_ = gate_.open_;
    if (!through_) {
        --gate_.through_;
    }
}

CallbackGate::Pass::~Pass() {
    if (through_) {
        --gate_.through_;
    }
    platform::LibraryHold::Instance().GiveBackOnSystemThread();
}

CallbackGate& CallbackGate::Sensors() {
    return g_sensors;
}

CallbackGate& CallbackGate::Firmware() {
    return g_firmware;
}

void CallbackGate::Open() {
    open_ = true;
}

bool CallbackGate::Close(std::chrono::milliseconds patience) {
    open_ = false;
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (through_ != 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    return true;
}
