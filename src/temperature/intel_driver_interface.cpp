#include "temperature/intel_driver_interface.h"

#include <ole2.h>

#include <memory>

#include "colorstate/color_state_record.h"
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

// The driver object's only reference is the table's, so the object lives as
// long as its registration.
std::shared_ptr<GlobalInterface<CUIExternal8>> RegisterNewDriver() {
    const ComPtr<CUIExternal8> driver = CreateDriver();
    if (!driver) {
        return nullptr;
    }
    auto registration = std::make_shared<GlobalInterface<CUIExternal8>>(
        GlobalInterface<CUIExternal8>::Register(driver.Get()));
    return *registration ? registration : nullptr;
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

void IntelDriverInterface::Abandon() {
    std::lock_guard lock(mutex_);
    if (registration_) {
        registration_->Abandon();
        registration_.reset();
    }
}

bool IntelDriverInterface::EnsureDriverInterface() {
    if (!ComReady()) {
        return false;
    }
    if (DriverForThisApartment()) {
        return true;
    }
    // A registration this apartment cannot fetch from is of no use to it:
    // a new object takes its place, or none.
    auto registration = RegisterNewDriver();
    const bool created = static_cast<bool>(registration);
    Replace(std::move(registration));
    return created;
}

bool IntelDriverInterface::Exists() const {
    std::lock_guard lock(mutex_);
    return static_cast<bool>(registration_);
}

bool IntelDriverInterface::ComReady() const {
    return AfxOleInit() || policy_ == OleInitFailure::IsIgnored;
}

ComPtr<CUIExternal8> IntelDriverInterface::DriverForThisApartment() const {
    std::shared_ptr<const Registration> registration;
    {
        std::lock_guard lock(mutex_);
        registration = registration_;
    }
    return registration ? registration->Fetch() : ComPtr<CUIExternal8>{};
}

// The replaced registration is revoked after the lock is left: revoking
// calls into COM, which may run another call of this holder meanwhile.
void IntelDriverInterface::Replace(std::shared_ptr<Registration> registration) {
    std::lock_guard lock(mutex_);
    registration_.swap(registration);
}

std::optional<std::int32_t> IntelDriverInterface::EnumActiveDevices(
    const std::wstring& deviceName) {
    const ComPtr<CUIExternal8> driver = DriverForThisApartment();
    if (!driver) {
        return std::nullopt;
    }
    const SystemString name(SysAllocString(deviceName.c_str()));
    if (!name) {
        return std::nullopt;
    }
    LONG deviceId = 0;
    LONG unused = 0;
    RaiseIfFailed(driver->EnumActiveDevices(name.get(), kFirstDevice, &deviceId, &unused),
                  __uuidof(CUIExternalDevices));
    return deviceId;
}

std::optional<std::int32_t> IntelDriverInterface::SetGammaRamp(
    std::int32_t deviceId, const std::array<std::uint16_t, 3 * 256>& ramp) {
    const ComPtr<CUIExternal8> driver = DriverForThisApartment();
    if (!driver) {
        return std::nullopt;
    }
    LONG status = 0;
    RaiseIfFailed(
        driver->SetGammaRamp(deviceId, kGammaRampBytes, DriverBuffer(ramp.data()), &status),
        __uuidof(CUIExternalGamma));
    // The driver has no operation that reads a ramp or a table back.
    ColorStateRecord::Instance().RecordUnverifiable(UnverifiableRoad::IntelDriver);
    return status;
}

IntelDriverInterface::FeatureResult IntelDriverInterface::SetFeatureData(
    const _GUID& feature, const std::vector<std::uint8_t>& header,
    const std::vector<std::uint8_t>& data) {
    const ComPtr<CUIExternal8> driver = DriverForThisApartment();
    if (!driver) {
        return {};
    }
    LONG status = 0;
    const HRESULT result =
        driver->SetFeatureData(feature, ByteCount(header), DriverBuffer(header.data()),
                               ByteCount(data), DriverBuffer(data.data()), &status);
    ColorStateRecord::Instance().RecordUnverifiable(UnverifiableRoad::IntelDriver);
    return {SUCCEEDED(result), static_cast<std::uint32_t>(status)};
}
