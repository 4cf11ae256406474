// The simulated machine as a nature scene drives it: installed with the
// scene's description and clock, fed with readings through the light sensor
// and the firmware, waited on, and read back for the frames it recorded.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "frame_readback.h"
#include "scene_csv.h"

namespace sim {
class Machine;
}

namespace tintwell_cli {

// Makes the machine of `file` (empty: TINTWELL_MACHINE, else the built-in
// laptop) the current one, on the named clock. Must run before the first
// export. Throws SceneInputError for an unusable description.
void InstallSceneMachine(const std::string& file, const std::string& clock);

// On the virtual clock a sleep moves time on at once, so the dimming worker
// would run ahead of a scripted reading. Held here, a sleep that would pass
// the next reading's time waits until the scene has pushed it: the reading
// lands between the same two frames as on the real clock.
class VirtualTimeGate {
  public:
    explicit VirtualTimeGate(sim::Machine& machine);
    ~VirtualTimeGate();
    VirtualTimeGate(const VirtualTimeGate&) = delete;
    VirtualTimeGate& operator=(const VirtualTimeGate&) = delete;

    void HoldAt(std::chrono::milliseconds time);
    // Whether a sleeper waits at the held time, after waiting briefly for one.
    bool AwaitSleeperHeld();
    void Release();

  private:
    void BeforeSleep(std::chrono::milliseconds duration);

    sim::Machine& machine_;
    std::thread::id sceneThread_ = std::this_thread::get_id();
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<std::chrono::milliseconds> holdAt_;
    bool sleeperHeld_ = false;
};

class SceneMachine {
  public:
    using Tick = std::function<void()>;

    // `type` is the subscription's: 0 light sensor only, 1 with the firmware.
    explicit SceneMachine(unsigned int type);

    // Milliseconds on the machine clock since the scene started.
    long long Now() const;
    // Hands the reading to the subscription and returns once its sinks (and
    // the firmware event) have been delivered.
    void Push(const Reading& reading);
    // The same at `timeMs` since the scene started.
    void PushAt(long long timeMs, const Reading& reading, const Tick& tick);
    bool TransitionRunning() const;
    // CCTs the library has stored for frames since the scene started.
    std::size_t StoredFrames() const;
    // Calls `tick` while it waits.
    void WaitTransitionEnd(const Tick& tick);

    // What the frames since the scene started did on `displayType`'s road.
    SceneFrames Frames(int displayType) const;

  private:
    bool Virtual() const;
    void WaitUntil(std::chrono::milliseconds due, const Tick& tick);
    void PauseBriefly() const;

    sim::Machine& machine_;
    unsigned int type_;
    std::chrono::milliseconds start_;
    std::optional<VirtualTimeGate> gate_;
};

}  // namespace tintwell_cli
