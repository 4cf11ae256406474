// The WMI query through COM: locator, services of the namespace, a forward-only
// enumeration of the query's objects and one property read from each.
#include <windows.h>
#include <objbase.h>
#include <wbemidl.h>
#include <wrl/client.h>

#include <memory>

#include "platform/com_apartment.h"
#include "services/scoped_variant.h"
#include "services/wmi_util.h"

namespace OrvSDK {

namespace {

using Microsoft::WRL::ComPtr;

struct BstrFree {
    void operator()(OLECHAR* text) const { SysFreeString(text); }
};
using UniqueBstr = std::unique_ptr<OLECHAR, BstrFree>;

UniqueBstr MakeBstr(const std::wstring& text) {
    return UniqueBstr(SysAllocString(text.c_str()));
}

HRESULT ConnectNamespace(const std::wstring& wmiNamespace, ComPtr<IWbemServices>& wmi) {
    ComPtr<IWbemLocator> locator;
    HRESULT result =
        CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                         reinterpret_cast<void**>(locator.GetAddressOf()));
    if (FAILED(result)) {
        return result;
    }
    const UniqueBstr name = MakeBstr(wmiNamespace);
    result = locator->ConnectServer(name.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                    wmi.GetAddressOf());
    if (FAILED(result)) {
        return result;
    }
    // The process's default security may not allow WMI to act for the caller.
    return CoSetProxyBlanket(wmi.Get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                             RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr,
                             EOAC_NONE);
}

}  // namespace

// `flag` asks for the first object's values only.
int WmiQuery::ExcuteQueryImpl(const std::wstring& query,
                              const std::vector<std::wstring>& properties, bool flag,
                              const std::function<void(std::size_t, VARIANT&)>& callback) {
    const ComApartment apartment;
    if (!apartment.Usable()) {
        return apartment.Result();
    }
    ComPtr<IWbemServices> wmi;
    HRESULT result = ConnectNamespace(namespace_, wmi);
    if (FAILED(result)) {
        return result;
    }
    const UniqueBstr language = MakeBstr(L"WQL");
    const UniqueBstr text = MakeBstr(query);
    ComPtr<IEnumWbemClassObject> objects;
    result = wmi->ExecQuery(language.get(), text.get(),
                            WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
                            objects.GetAddressOf());
    if (FAILED(result)) {
        return result;
    }
    for (;;) {
        ComPtr<IWbemClassObject> object;
        ULONG returned = 0;
        result = objects->Next(WBEM_INFINITE, 1, object.GetAddressOf(), &returned);
        if (FAILED(result)) {
            return result;
        }
        if (returned == 0) {
            return 0;
        }
        for (std::size_t index = 0; index < properties.size(); ++index) {
            services::ScopedVariant value;
            result = object->Get(properties[index].c_str(), 0, &value.Get(), nullptr, nullptr);
            if (FAILED(result)) {
                return result;
            }
            callback(index, value.Get());
        }
        if (flag) {
            return 0;
        }
    }
}

}  // namespace OrvSDK
