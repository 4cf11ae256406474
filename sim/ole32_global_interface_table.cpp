// ole32's global interface table: one per process, usable from every
// apartment. A registration holds a reference on the object; a fetch hands
// out a reference the caller's apartment may call.
#include <objbase.h>

#include <map>
#include <mutex>
#include <optional>

#include "sim/com_runtime.h"
#include "sim/machine.h"

namespace sim {

namespace {

// A reference taken for the length of one fetch, so that a registration
// revoked meanwhile on another thread cannot take the object away.
struct HeldReference {
    explicit HeldReference(IUnknown* object) : object(object) { object->AddRef(); }
    ~HeldReference() { object->Release(); }
    HeldReference(const HeldReference&) = delete;
    HeldReference& operator=(const HeldReference&) = delete;
    IUnknown* object;
};

HRESULT HandOut(IUnknown* object, ApartmentId apartment, REFIID iid, void** fetched) {
    if (auto* bound = dynamic_cast<ApartmentBoundObject*>(object)) {
        return bound->ReferenceInApartment(apartment, iid, fetched);
    }
    return object->QueryInterface(iid, fetched);
}

// Its references are not counted: it lives as long as the process.
class GlobalInterfaceTable final : public IGlobalInterfaceTable {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (iid != __uuidof(IUnknown) && iid != __uuidof(IGlobalInterfaceTable)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IGlobalInterfaceTable*>(this);
        return S_OK;
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return kUncountedReferences; }
    ULONG STDMETHODCALLTYPE Release() override { return kUncountedReferences; }

    HRESULT STDMETHODCALLTYPE RegisterInterfaceInGlobal(IUnknown* object, REFIID iid,
                                                        DWORD* cookie) override {
        if (object == nullptr || cookie == nullptr) {
            return E_INVALIDARG;
        }
        *cookie = 0;
        if (const auto failure = InjectedComFailure("RegisterInterfaceInGlobal")) {
            return *failure;
        }
        if (CurrentApartment() == kNoApartment) {
            return CO_E_NOTINITIALIZED;
        }
        void* registered = nullptr;
        if (const HRESULT result = object->QueryInterface(iid, &registered); FAILED(result)) {
            return result;
        }
        std::lock_guard lock(mutex_);
        *cookie = nextCookie_++;
        entries_[*cookie] = static_cast<IUnknown*>(registered);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE RevokeInterfaceFromGlobal(DWORD cookie) override {
        IUnknown* revoked = nullptr;
        {
            std::lock_guard lock(mutex_);
            const auto found = entries_.find(cookie);
            if (found == entries_.end()) {
                return E_INVALIDARG;
            }
            revoked = found->second;
            entries_.erase(found);
        }
        revoked->Release();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetInterfaceFromGlobal(DWORD cookie, REFIID iid,
                                                     void** object) override {
        if (object == nullptr) {
            return E_INVALIDARG;
        }
        *object = nullptr;
        if (const auto failure = InjectedComFailure("GetInterfaceFromGlobal")) {
            return *failure;
        }
        const ApartmentId apartment = CurrentApartment();
        if (apartment == kNoApartment) {
            return CO_E_NOTINITIALIZED;
        }
        std::optional<HeldReference> held;
        {
            std::lock_guard lock(mutex_);
            const auto found = entries_.find(cookie);
            if (found == entries_.end()) {
                return E_INVALIDARG;
            }
            held.emplace(found->second);
        }
        return HandOut(held->object, apartment, iid, object);
    }

  private:
    static constexpr ULONG kUncountedReferences = 1;
    // Windows hands out non-zero cookies only.
    static constexpr DWORD kFirstCookie = 0x100;

    std::mutex mutex_;
    DWORD nextCookie_ = kFirstCookie;
    std::map<DWORD, IUnknown*> entries_;
};

}  // namespace

HRESULT GetGlobalInterfaceTable(REFIID iid, void** object) {
    // Never destroyed: holders in static storage revoke their registrations
    // while the process ends, after this file's statics would be gone.
    static GlobalInterfaceTable& table = *new GlobalInterfaceTable;
    return table.QueryInterface(iid, object);
}

}  // namespace sim
