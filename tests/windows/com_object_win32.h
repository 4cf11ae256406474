// Reference counting and QueryInterface for the COM objects the tests' own
// services hand to the library; an object goes with its last reference.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <atomic>

namespace tw_test {

template <typename Interface>
class ComObject : public Interface {
  public:
    virtual ~ComObject() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(Interface)) {
            *object = static_cast<Interface*>(this);
        } else {
            *object = OtherInterface(iid);
        }
        if (*object == nullptr) {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

  protected:
    // A further interface the object offers, without a reference taken.
    virtual void* OtherInterface(REFIID) { return nullptr; }

  private:
    std::atomic<ULONG> references_{1};
};

// A class object that makes a new `Object` for each instance asked for.
template <typename Object>
class ClassFactory final : public ComObject<IClassFactory> {
  public:
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (outer != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        Object* created = new Object;
        const HRESULT result = created->QueryInterface(iid, object);
        created->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

// Registers `Object`'s class for the calling thread's apartment; 0 when COM
// refused.
template <typename Object>
DWORD RegisterClassObject(REFCLSID classId) {
    ClassFactory<Object>* factory = new ClassFactory<Object>;
    DWORD cookie = 0;
    if (FAILED(CoRegisterClassObject(classId, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                     &cookie))) {
        cookie = 0;
    }
    factory->Release();
    return cookie;
}

}  // namespace tw_test
