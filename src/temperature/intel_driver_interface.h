// The Intel graphics driver's COM server: one holder per owner, with its own
// interface pointer and the two flags of its creation.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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
    // the call's result is negative; a COM error raised by the call propagates.
    std::optional<std::int32_t> EnumActiveDevices(const std::wstring& deviceName);

    // Slot 26: a 3 x 256 ramp for a device id; true when the driver took it.
    bool SetGammaRamp(std::int32_t deviceId, const std::array<std::uint16_t, 3 * 256>& ramp);

    // Slot 46: feature data; the call's success and the driver's status.
    struct FeatureResult {
        bool succeeded = false;
        std::uint32_t status = 0;
    };
    FeatureResult SetFeatureData(const _GUID& feature, const std::vector<std::uint8_t>& header,
                                 const std::vector<std::uint8_t>& data);

  private:
    OleInitFailure policy_;
    CUIExternal8* driver_ = nullptr;
    bool oleInitialised_ = false;
    bool created_ = false;
};
