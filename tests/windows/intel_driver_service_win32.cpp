#include "intel_driver_service_win32.h"

#include <objbase.h>

#include <atomic>

#include "com_object_win32.h"
#include "platform/cui_external8.h"

namespace tw_test {

namespace {

constexpr LONG kDeviceId = 12345;

std::atomic<long> g_liveObjects{0};
std::atomic<long> g_featureTables{0};

#define TW_UNUSED_SLOT(slot)                              \
    HRESULT STDMETHODCALLTYPE Reserved##slot() override { \
        return E_NOTIMPL;                                 \
    }

// The real driver's server runs in a process of its own and its proxy
// marshals between apartments; this one, in the test's process, is agile
// through the free-threaded marshaler, which the global interface table
// then hands out as it is.
class Driver final : public ComObject<CUIExternal8> {
  public:
    Driver() {
        ++g_liveObjects;
        CoCreateFreeThreadedMarshaler(this, &marshaler_);
    }
    ~Driver() override {
        if (marshaler_ != nullptr) {
            marshaler_->Release();
        }
        --g_liveObjects;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IMarshal && marshaler_ != nullptr) {
            return marshaler_->QueryInterface(iid, object);
        }
        return ComObject::QueryInterface(iid, object);
    }

    HRESULT STDMETHODCALLTYPE EnumActiveDevices(BSTR, LONG, LONG* deviceId, LONG*) override {
        *deviceId = kDeviceId;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetGammaRamp(LONG, LONG, WORD*, LONG* status) override {
        *status = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetFeatureData(GUID, LONG, BYTE*, LONG, BYTE*,
                                             LONG* status) override {
        ++g_featureTables;
        *status = 0;
        return S_OK;
    }

    TW_UNUSED_SLOT(4)
    TW_UNUSED_SLOT(5)
    TW_UNUSED_SLOT(6)
    TW_UNUSED_SLOT(7)
    TW_UNUSED_SLOT(8)
    TW_UNUSED_SLOT(9)
    TW_UNUSED_SLOT(10)
    TW_UNUSED_SLOT(11)
    TW_UNUSED_SLOT(12)
    TW_UNUSED_SLOT(13)
    TW_UNUSED_SLOT(14)
    TW_UNUSED_SLOT(15)
    TW_UNUSED_SLOT(16)
    TW_UNUSED_SLOT(17)
    TW_UNUSED_SLOT(18)
    TW_UNUSED_SLOT(19)
    TW_UNUSED_SLOT(20)
    TW_UNUSED_SLOT(21)
    TW_UNUSED_SLOT(22)
    TW_UNUSED_SLOT(23)
    TW_UNUSED_SLOT(24)
    TW_UNUSED_SLOT(25)
    TW_UNUSED_SLOT(27)
    TW_UNUSED_SLOT(28)
    TW_UNUSED_SLOT(29)
    TW_UNUSED_SLOT(30)
    TW_UNUSED_SLOT(31)
    TW_UNUSED_SLOT(32)
    TW_UNUSED_SLOT(33)
    TW_UNUSED_SLOT(34)
    TW_UNUSED_SLOT(35)
    TW_UNUSED_SLOT(36)
    TW_UNUSED_SLOT(37)
    TW_UNUSED_SLOT(38)
    TW_UNUSED_SLOT(39)
    TW_UNUSED_SLOT(40)
    TW_UNUSED_SLOT(41)
    TW_UNUSED_SLOT(42)
    TW_UNUSED_SLOT(43)
    TW_UNUSED_SLOT(44)
    TW_UNUSED_SLOT(45)

  protected:
    void* OtherInterface(REFIID iid) override {
        if (iid == __uuidof(CUIExternalDevices) || iid == __uuidof(CUIExternalGamma) ||
            iid == __uuidof(CUIExternal8)) {
            return static_cast<CUIExternal8*>(this);
        }
        return nullptr;
    }

  private:
    IUnknown* marshaler_ = nullptr;
};

#undef TW_UNUSED_SLOT

}  // namespace

IntelDriverService::IntelDriverService()
    : cookie_(RegisterClassObject<Driver>(kCUIExternalClassId)) {}

IntelDriverService::~IntelDriverService() {
    if (cookie_ != 0) {
        CoRevokeClassObject(cookie_);
    }
}

long IntelDriverService::LiveObjects() {
    return g_liveObjects.load();
}

long IntelDriverService::FeatureTables() {
    return g_featureTables.load();
}

}  // namespace tw_test
