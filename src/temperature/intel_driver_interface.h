// The Intel graphics driver's COM server: one holder per owner, with its own
// driver object. Any thread may call it: the object is created in the
// apartment of the first caller that gets it, and every call reaches it
// through a reference of the calling thread's apartment.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/com_ptr.h"
#include "platform/global_interface.h"

struct CUIExternal8;
struct _GUID;

class IntelDriverInterface {
  public:
    // What a failed OLE initialisation of the calling thread means for the
    // owner. A thread already in the multithreaded apartment has not failed.
    enum class OleInitFailure { Fails, IsIgnored };

    explicit IntelDriverInterface(OleInitFailure policy);
    ~IntelDriverInterface();
    IntelDriverInterface(const IntelDriverInterface&) = delete;
    IntelDriverInterface& operator=(const IntelDriverInterface&) = delete;

    // Creates the driver object unless the calling thread's apartment can
    // reach the one that exists; false leaves no object, and the next call
    // tries again.
    bool EnsureDriverInterface();
    bool Exists() const;
    // Forgets the driver object without releasing it, for an owner destroyed
    // at unload, under the loader's lock, where COM may not be called: the
    // registration and the object stay with the process.
    void Abandon();

    // Slot 3: the driver's device id of a display device name. Nothing when
    // the driver object does not exist or the name cannot be handed over; a
    // failed call is raised as a ComError against the interface declaring slot 3.
    std::optional<std::int32_t> EnumActiveDevices(const std::wstring& deviceName);

    // Slot 26: a 3 x 256 ramp for a device id; the driver's status word (0
    // when it took the ramp), nothing when no driver object can be reached
    // from this thread. A failed call is raised as a ComError against the
    // interface declaring slot 26.
    std::optional<std::int32_t> SetGammaRamp(std::int32_t deviceId,
                                             const std::array<std::uint16_t, 3 * 256>& ramp);

    // Slot 46: feature data; the call's success and the driver's status.
    struct FeatureResult {
        bool succeeded = false;
        std::uint32_t status = 0;
    };
    FeatureResult SetFeatureData(const _GUID& feature, const std::vector<std::uint8_t>& header,
                                 const std::vector<std::uint8_t>& data);

  private:
    using Registration = GlobalInterface<CUIExternal8>;

    bool ComReady() const;
    ComPtr<CUIExternal8> DriverForThisApartment() const;
    void Replace(std::shared_ptr<Registration> registration);

    OleInitFailure policy_;
    mutable std::mutex mutex_;
    // Shared with the calls in flight, so that a replacement on one thread
    // does not revoke the registration another thread is fetching from.
    std::shared_ptr<Registration> registration_;
};
