// The part of the machine that holds the Intel graphics driver's COM server:
// which display device names it knows, what status it answers, and every
// call that reached it.
#pragma once

#include <unknwn.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace sim {

struct DeviceQuery {
    std::wstring deviceName;
    LONG index = 0;
    HRESULT result = S_OK;
};

struct GammaRampCall {
    LONG deviceId = 0;
    LONG size = 0;
    std::vector<WORD> ramp;  // empty when the size or pointer was refused
    LONG status = 0;         // what the status word held after the call
    HRESULT result = S_OK;
    std::chrono::milliseconds time{0};  // the machine clock when the call came
};

struct FeatureDataCall {
    GUID feature{};
    std::vector<BYTE> header;
    std::vector<BYTE> data;
    LONG status = 0;  // what the status word held after the call
    HRESULT result = S_OK;
};

class IntelDriverModel {
  public:
    IntelDriverModel();
    ~IntelDriverModel();
    IntelDriverModel(const IntelDriverModel&) = delete;
    IntelDriverModel& operator=(const IntelDriverModel&) = delete;

    // Reads this part of a machine description; absent keys keep defaults.
    void Load(const nlohmann::json& description);

    // Whether the machine has Intel graphics with the driver's server installed.
    bool Present() const;
    void SetPresent(bool present);
    // An older driver lacks the newest interface but keeps its bases.
    void SetExposesCUIExternal8(bool exposes);
    void SetDevice(const std::wstring& deviceName, LONG deviceId);
    void SetGammaStatus(LONG status);
    void SetFeatureStatus(LONG status);

    // A new driver object, as its class factory answers CoCreateInstance.
    HRESULT CreateInstance(REFIID iid, void** object);

    std::vector<DeviceQuery> DeviceQueries() const;
    std::vector<GammaRampCall> GammaRampCalls() const;
    std::vector<FeatureDataCall> FeatureDataCalls() const;
    // Drops the calls recorded so far, for a long run that repeats them.
    void ForgetCalls();
    // Driver objects not yet released by their last holder, and the
    // references held on them.
    int LiveObjects() const;
    long OutstandingReferences() const;

    struct Server;

  private:
    // Shared with the objects, which may outlive the machine that made them.
    std::shared_ptr<Server> server_;
};

}  // namespace sim
