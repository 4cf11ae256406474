#include "temperature/intel_driver_interface.h"

#include <ole2.h>

#include <memory>

#include "platform/afx_ole.h"
#include "platform/com_error.h"
#include "platform/cui_external8.h"

namespace {

// Every server kind the class may be registered with.
constexpr DWORD kDriverClassContext = CLSCTX_ALL;
static_assert(kDriverClassContext == 23);

constexpr LONG kFirstDevice = 0;
constexpr LONG kGammaRampBytes = 3 * 256 * sizeof(WORD);

struct SystemStringRelease {
    void operator()(BSTR text) const { SysFreeString(text); }
};
using SystemString = std::unique_ptr<OLECHAR, SystemStringRelease>;

ComPtr<CUIExternal8> CreateDriver() {
    ComPtr<IUnknown> unknown;
    if (FAILED(CoCreateInstance(kCUIExternalClassId, nullptr, kDriverClassContext,
                                __uuidof(IUnknown), unknown.Receive()))) {
        return {};
    }
    if (FAILED(OleRun(unknown.Get()))) {
        return {};
    }
    return unknown.As<CUIExternal8>();
}

LONG ByteCount(const std::vector<std::uint8_t>& bytes) {
    return static_cast<LONG>(bytes.size());
}

// The driver's signatures take mutable buffers that it only reads.
template <typename Element>
Element* DriverBuffer(const Element* elements) {
    return const_cast<Element*>(elements);
}

}  // namespace

IntelDriverInterface::IntelDriverInterface(OleInitFailure policy) : policy_(policy) {}

IntelDriverInterface::~IntelDriverInterface() = default;

bool IntelDriverInterface::EnsureDriverInterface() {
    if (Exists()) {
        return true;
    }
    if (!EnsureOleInitialised()) {
        return false;
    }
    driver_ = CreateDriver();
    return Exists();
}

bool IntelDriverInterface::Exists() const {
    return static_cast<bool>(driver_);
}

bool IntelDriverInterface::EnsureOleInitialised() {
    if (!oleInitialised_) {
        oleInitialised_ = AfxOleInit();
    }
    return oleInitialised_ || policy_ == OleInitFailure::IsIgnored;
}

std::optional<std::int32_t> IntelDriverInterface::EnumActiveDevices(
    const std::wstring& deviceName) {
    if (!Exists()) {
        return std::nullopt;
    }
    const SystemString name(SysAllocString(deviceName.c_str()));
    if (!name) {
        return std::nullopt;
    }
    LONG deviceId = 0;
    LONG unused = 0;
    RaiseIfFailed(driver_->EnumActiveDevices(name.get(), kFirstDevice, &deviceId, &unused),
                  __uuidof(CUIExternalDevices));
    return deviceId;
}

bool IntelDriverInterface::SetGammaRamp(std::int32_t deviceId,
                                        const std::array<std::uint16_t, 3 * 256>& ramp) {
    if (!Exists()) {
        return false;
    }
    LONG status = 0;
    RaiseIfFailed(
        driver_->SetGammaRamp(deviceId, kGammaRampBytes, DriverBuffer(ramp.data()), &status),
        __uuidof(CUIExternalGamma));
    return status == 0;
}

IntelDriverInterface::FeatureResult IntelDriverInterface::SetFeatureData(
    const _GUID& feature, const std::vector<std::uint8_t>& header,
    const std::vector<std::uint8_t>& data) {
    if (!Exists()) {
        return {};
    }
    LONG status = 0;
    const HRESULT result =
        driver_->SetFeatureData(feature, ByteCount(header), DriverBuffer(header.data()),
                                ByteCount(data), DriverBuffer(data.data()), &status);
    return {SUCCEEDED(result), static_cast<std::uint32_t>(status)};
}
