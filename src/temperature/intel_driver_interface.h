// The Intel graphics driver's COM server: one holder per owner, with its own
// interface pointer and whether it has initialised OLE.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/com_ptr.h"

struct CUIExternal8;
struct _GUID;

class IntelDriverInterface {
  public:
    // What a failed OLE initialisation means for the owner.
    enum class OleInitFailure { Fails, IsIgnored };

    explicit IntelDriverInterface(OleInitFailure policy);
    ~IntelDriverInterface();
    IntelDriverInterface(const IntelDriverInterface&) = delete;
    IntelDriverInterface& operator=(const IntelDriverInterface&) = delete;

    // Creates the driver object unless it exists; false leaves the pointer
    // null, and the next call tries again.
    bool EnsureDriverInterface();
    bool Exists() const;

    // Slot 3: the driver's device id of a display device name. Nothing when
    // the driver object does not exist or the name cannot be handed over; a
    // failed call is raised as a ComError against the interface declaring slot 3.
    std::optional<std::int32_t> EnumActiveDevices(const std::wstring& deviceName);

    // Slot 26: a 3 x 256 ramp for a device id; true when the driver took it
    // with status 0. A failed call is raised as a ComError against the
    // interface declaring slot 26.
    bool SetGammaRamp(std::int32_t deviceId, const std::array<std::uint16_t, 3 * 256>& ramp);

    // Slot 46: feature data; the call's success and the driver's status.
    struct FeatureResult {
        bool succeeded = false;
        std::uint32_t status = 0;
    };
    FeatureResult SetFeatureData(const _GUID& feature, const std::vector<std::uint8_t>& header,
                                 const std::vector<std::uint8_t>& data);

  private:
    bool EnsureOleInitialised();

    OleInitFailure policy_;
    ComPtr<CUIExternal8> driver_;
    bool oleInitialised_ = false;
};
