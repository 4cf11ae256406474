#include "video_controller_service_win32.h"

#include <objbase.h>
#include <wbemcli.h>

#include <cwchar>

#include "com_object_win32.h"

namespace tw_test {

namespace {

constexpr const wchar_t* kVideoControllerClass = L"Win32_VideoController";
constexpr const wchar_t* kNameProperty = L"Name";
constexpr const wchar_t* kIntelAdapterName = L"Intel(R) UHD Graphics 620";

class VideoController final : public ComObject<IWbemClassObject> {
  public:
    HRESULT STDMETHODCALLTYPE Get(LPCWSTR name, LONG, VARIANT* value, CIMTYPE* type,
                                  LONG* flavor) override {
        if (name == nullptr || value == nullptr) {
            return WBEM_E_INVALID_PARAMETER;
        }
        if (std::wcscmp(name, kNameProperty) != 0) {
            return WBEM_E_NOT_FOUND;
        }
        VariantInit(value);
        value->vt = VT_BSTR;
        value->bstrVal = SysAllocString(kIntelAdapterName);
        if (type != nullptr) {
            *type = CIM_STRING;
        }
        if (flavor != nullptr) {
            *flavor = 0;
        }
        return WBEM_S_NO_ERROR;
    }

    HRESULT STDMETHODCALLTYPE GetQualifierSet(IWbemQualifierSet**) override { return Unused(); }
    HRESULT STDMETHODCALLTYPE Put(LPCWSTR, LONG, VARIANT*, CIMTYPE) override { return Unused(); }
    HRESULT STDMETHODCALLTYPE Delete(LPCWSTR) override { return Unused(); }
    HRESULT STDMETHODCALLTYPE GetNames(LPCWSTR, LONG, VARIANT*, SAFEARRAY**) override {
        return Unused();
    }
    HRESULT STDMETHODCALLTYPE BeginEnumeration(LONG) override { return Unused(); }
    HRESULT STDMETHODCALLTYPE Next(LONG, BSTR*, VARIANT*, CIMTYPE*, LONG*) override {
        return Unused();
    }
    HRESULT STDMETHODCALLTYPE EndEnumeration() override { return Unused(); }
    HRESULT STDMETHODCALLTYPE GetPropertyQualifierSet(LPCWSTR, IWbemQualifierSet**) override {
        return Unused();
    }
    HRESULT STDMETHODCALLTYPE Clone(IWbemClassObject**) override { return Unused(); }
    HRESULT STDMETHODCALLTYPE GetObjectText(LONG, BSTR*) override { return Unused(); }
    HRESULT STDMETHODCALLTYPE SpawnDerivedClass(LONG, IWbemClassObject**) override {
        return Unused();
    }
    HRESULT STDMETHODCALLTYPE SpawnInstance(LONG, IWbemClassObject**) override { return Unused(); }
    HRESULT STDMETHODCALLTYPE CompareTo(LONG, IWbemClassObject*) override { return Unused(); }
    HRESULT STDMETHODCALLTYPE GetPropertyOrigin(LPCWSTR, BSTR*) override { return Unused(); }
    HRESULT STDMETHODCALLTYPE InheritsFrom(LPCWSTR) override { return Unused(); }
    HRESULT STDMETHODCALLTYPE GetMethod(LPCWSTR, LONG, IWbemClassObject**,
                                        IWbemClassObject**) override {
        return Unused();
    }
    HRESULT STDMETHODCALLTYPE PutMethod(LPCWSTR, LONG, IWbemClassObject*,
                                        IWbemClassObject*) override {
        return Unused();
    }
    HRESULT STDMETHODCALLTYPE DeleteMethod(LPCWSTR) override { return Unused(); }
    HRESULT STDMETHODCALLTYPE BeginMethodEnumeration(LONG) override { return Unused(); }
    HRESULT STDMETHODCALLTYPE NextMethod(LONG, BSTR*, IWbemClassObject**,
                                         IWbemClassObject**) override {
        return Unused();
    }
    HRESULT STDMETHODCALLTYPE EndMethodEnumeration() override { return Unused(); }
    HRESULT STDMETHODCALLTYPE GetMethodQualifierSet(LPCWSTR, IWbemQualifierSet**) override {
        return Unused();
    }
    HRESULT STDMETHODCALLTYPE GetMethodOrigin(LPCWSTR, BSTR*) override { return Unused(); }

  private:
    static HRESULT Unused() { return WBEM_E_NOT_SUPPORTED; }
};

// The objects of one query: the video controller or nothing.
class QueryResult final : public ComObject<IEnumWbemClassObject> {
  public:
    explicit QueryResult(bool hasController) : left_(hasController ? 1 : 0) {}

    HRESULT STDMETHODCALLTYPE Next(LONG, ULONG count, IWbemClassObject** objects,
                                   ULONG* returned) override {
        if (objects == nullptr || returned == nullptr) {
            return WBEM_E_INVALID_PARAMETER;
        }
        *returned = 0;
        if (count == 0 || left_ == 0) {
            return WBEM_S_FALSE;
        }
        --left_;
        objects[0] = new VideoController;
        *returned = 1;
        return count == 1 ? WBEM_S_NO_ERROR : WBEM_S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override { return WBEM_E_NOT_SUPPORTED; }
    HRESULT STDMETHODCALLTYPE NextAsync(ULONG, IWbemObjectSink*) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumWbemClassObject**) override {
        return WBEM_E_NOT_SUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE Skip(LONG, ULONG) override { return WBEM_E_NOT_SUPPORTED; }

  private:
    ULONG left_;
};

// The proxy blanket a client sets is taken and forgotten: there is no
// process boundary to secure.
class Security final : public IClientSecurity {
  public:
    explicit Security(IUnknown& owner) : owner_(owner) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        return owner_.QueryInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return owner_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return owner_.Release(); }
    HRESULT STDMETHODCALLTYPE QueryBlanket(IUnknown*, DWORD*, DWORD*, OLECHAR**, DWORD*, DWORD*,
                                           void**, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetBlanket(IUnknown*, DWORD, DWORD, OLECHAR*, DWORD, DWORD, void*,
                                         DWORD) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CopyProxy(IUnknown*, IUnknown**) override { return E_NOTIMPL; }

  private:
    IUnknown& owner_;
};

class Services final : public ComObject<IWbemServices> {
  public:
    HRESULT STDMETHODCALLTYPE ExecQuery(const BSTR language, const BSTR query, LONG, IWbemContext*,
                                        IEnumWbemClassObject** result) override {
        if (language == nullptr || query == nullptr || result == nullptr) {
            return WBEM_E_INVALID_PARAMETER;
        }
        *result = new QueryResult(std::wcsstr(query, kVideoControllerClass) != nullptr);
        return WBEM_S_NO_ERROR;
    }

    HRESULT STDMETHODCALLTYPE OpenNamespace(const BSTR, LONG, IWbemContext*, IWbemServices**,
                                            IWbemCallResult**) override {
        return Unused();
    }
    HRESULT STDMETHODCALLTYPE CancelAsyncCall(IWbemObjectSink*) override { return Unused(); }
    HRESULT STDMETHODCALLTYPE QueryObjectSink(LONG, IWbemObjectSink**) override { return Unused(); }
    HRESULT STDMETHODCALLTYPE GetObject(const BSTR, LONG, IWbemContext*, IWbemClassObject**,
                                        IWbemCallResult**) override {
        return Unused();
    }
    HRESULT STDMETHODCALLTYPE GetObjectAsync(const BSTR, LONG, IWbemContext*,
                                             IWbemObjectSink*) override {
        return Unused();
    }
    HRESULT STDMETHODCALLTYPE PutClass(IWbemClassObject*, LONG, IWbemContext*,
                                       IWbemCallResult**) override {
        return Unused();
    }
    HRESULT STDMETHODCALLTYPE PutClassAsync(IWbemClassObject*, LONG, IWbemContext*,
                                            IWbemObjectSink*) override {
        return Unused();
    }
    HRESULT STDMETHODCALLTYPE DeleteClass(const BSTR, LONG, IWbemContext*,
                                          IWbemCallResult**) override {
        return Unused();
    }
    HRESULT STDMETHODCALLTYPE DeleteClassAsync(const BSTR, LONG, IWbemContext*,
                                               IWbemObjectSink*) override {
        return Unused();
    }
    HRESULT STDMETHODCALLTYPE CreateClassEnum(const BSTR, LONG, IWbemContext*,
                                              IEnumWbemClassObject**) override {
        return Unused();
    }
    HRESULT STDMETHODCALLTYPE CreateClassEnumAsync(const BSTR, LONG, IWbemContext*,
                                                   IWbemObjectSink*) override {
        return Unused();
    }
    HRESULT STDMETHODCALLTYPE PutInstance(IWbemClassObject*, LONG, IWbemContext*,
                                          IWbemCallResult**) override {
        return Unused();
    }
    HRESULT STDMETHODCALLTYPE PutInstanceAsync(IWbemClassObject*, LONG, IWbemContext*,
                                               IWbemObjectSink*) override {
        return Unused();
    }
    HRESULT STDMETHODCALLTYPE DeleteInstance(const BSTR, LONG, IWbemContext*,
                                             IWbemCallResult**) override {
        return Unused();
    }
    HRESULT STDMETHODCALLTYPE DeleteInstanceAsync(const BSTR, LONG, IWbemContext*,
                                                  IWbemObjectSink*) override {
        return Unused();
    }
    HRESULT STDMETHODCALLTYPE CreateInstanceEnum(const BSTR, LONG, IWbemContext*,
                                                 IEnumWbemClassObject**) override {
        return Unused();
    }
    HRESULT STDMETHODCALLTYPE CreateInstanceEnumAsync(const BSTR, LONG, IWbemContext*,
                                                      IWbemObjectSink*) override {
        return Unused();
    }
    HRESULT STDMETHODCALLTYPE ExecQueryAsync(const BSTR, const BSTR, LONG, IWbemContext*,
                                             IWbemObjectSink*) override {
        return Unused();
    }
    HRESULT STDMETHODCALLTYPE ExecNotificationQuery(const BSTR, const BSTR, LONG, IWbemContext*,
                                                    IEnumWbemClassObject**) override {
        return Unused();
    }
    HRESULT STDMETHODCALLTYPE ExecNotificationQueryAsync(const BSTR, const BSTR, LONG,
                                                         IWbemContext*, IWbemObjectSink*) override {
        return Unused();
    }
    HRESULT STDMETHODCALLTYPE ExecMethod(const BSTR, const BSTR, LONG, IWbemContext*,
                                         IWbemClassObject*, IWbemClassObject**,
                                         IWbemCallResult**) override {
        return Unused();
    }
    HRESULT STDMETHODCALLTYPE ExecMethodAsync(const BSTR, const BSTR, LONG, IWbemContext*,
                                              IWbemClassObject*, IWbemObjectSink*) override {
        return Unused();
    }

  protected:
    void* OtherInterface(REFIID iid) override {
        return iid == __uuidof(IClientSecurity) ? static_cast<IClientSecurity*>(&security_)
                                                : nullptr;
    }

  private:
    static HRESULT Unused() { return WBEM_E_NOT_SUPPORTED; }

    Security security_{*this};
};

class Locator final : public ComObject<IWbemLocator> {
  public:
    HRESULT STDMETHODCALLTYPE ConnectServer(const BSTR, const BSTR, const BSTR, const BSTR, LONG,
                                            const BSTR, IWbemContext*,
                                            IWbemServices** services) override {
        if (services == nullptr) {
            return WBEM_E_INVALID_PARAMETER;
        }
        *services = new Services;
        return WBEM_S_NO_ERROR;
    }
};

}  // namespace

VideoControllerService::VideoControllerService()
    : cookie_(RegisterClassObject<Locator>(CLSID_WbemLocator)) {}

VideoControllerService::~VideoControllerService() {
    if (cookie_ != 0) {
        CoRevokeClassObject(cookie_);
    }
}

}  // namespace tw_test
