// ole32: the COM runtime of the simulated machine. Each thread has its
// apartment; classes are registered by the parts of the machine that serve
// them, so a class exists only on a machine that has its server.
#include <ole2.h>
#include <propidl.h>
#include <sensorsapi.h>

#include <atomic>
#include <cstdint>
#include <optional>

#include "platform/cui_external8.h"
#include "sim/com_runtime.h"
#include "sim/intel_driver_model.h"
#include "sim/machine.h"
#include "sim/sensor_model.h"

namespace {

using sim::ApartmentId;

struct ThreadCom {
    ApartmentId apartment = sim::kNoApartment;
    int comInitialisations = 0;
    int oleInitialisations = 0;
};

thread_local ThreadCom t_com;

// The usages that keep the multithreaded apartment alive without a thread.
std::atomic<long> g_mtaUsages{0};

ApartmentId NewSingleThreadedApartment() {
    static std::atomic<ApartmentId> next{sim::kMultithreadedApartment + 1};
    return next++;
}

struct RegisteredClass {
    const CLSID& id;
    DWORD serverContext;
    bool (*isRegistered)(sim::Machine&);
    HRESULT (*create)(sim::Machine&, REFIID, void**);
};

// The driver's server runs in a process of its own; the global interface
// table is part of the runtime and always there; the Sensor API's objects are
// free-threaded and served in the process.
const RegisteredClass kClasses[] = {
    {CLSID_StdGlobalInterfaceTable, CLSCTX_INPROC_SERVER, [](sim::Machine&) { return true; },
     [](sim::Machine&, REFIID iid, void** object) {
         return sim::GetGlobalInterfaceTable(iid, object);
     }},
    {kCUIExternalClassId, CLSCTX_LOCAL_SERVER,
     [](sim::Machine& machine) { return machine.IntelDriver().Present(); },
     [](sim::Machine& machine, REFIID iid, void** object) {
         return machine.IntelDriver().CreateInstance(iid, object);
     }},
    {CLSID_SensorManager, CLSCTX_INPROC_SERVER,
     [](sim::Machine& machine) { return machine.Sensors().ManagerRegistered(); },
     [](sim::Machine& machine, REFIID iid, void** object) {
         return machine.Sensors().CreateManager(iid, object);
     }},
};

const RegisteredClass* FindClass(sim::Machine& machine, REFCLSID classId, DWORD context) {
    for (const auto& registered : kClasses) {
        if (registered.id == classId && (context & registered.serverContext) != 0 &&
            registered.isRegistered(machine)) {
            return &registered;
        }
    }
    return nullptr;
}

}  // namespace

namespace sim {

ApartmentId CurrentApartment() {
    return t_com.apartment;
}

long MtaUsages() {
    return g_mtaUsages.load();
}

std::optional<HRESULT> InjectedComFailure(const char* call) {
    if (const auto error = Machine::Current().TakeFailure(call)) {
        return HRESULT_FROM_WIN32(*error);
    }
    return std::nullopt;
}

}  // namespace sim

HRESULT WINAPI CoInitializeEx(LPVOID reserved, DWORD coInit) {
    if (reserved != nullptr) {
        return E_INVALIDARG;
    }
    if (const auto failure = sim::InjectedComFailure("CoInitializeEx")) {
        return *failure;
    }
    const bool singleThreaded = (coInit & COINIT_APARTMENTTHREADED) != 0;
    if (t_com.apartment == sim::kNoApartment) {
        t_com.apartment =
            singleThreaded ? NewSingleThreadedApartment() : sim::kMultithreadedApartment;
        t_com.comInitialisations = 1;
        return S_OK;
    }
    if ((t_com.apartment == sim::kMultithreadedApartment) == singleThreaded) {
        return RPC_E_CHANGED_MODE;
    }
    ++t_com.comInitialisations;
    return S_FALSE;
}

void WINAPI CoUninitialize() {
    if (t_com.comInitialisations > 0 && --t_com.comInitialisations == 0) {
        t_com.apartment = sim::kNoApartment;
    }
}

HRESULT WINAPI CoCreateInstance(REFCLSID classId, LPUNKNOWN, DWORD context, REFIID iid,
                                LPVOID* object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (const auto failure = sim::InjectedComFailure("CoCreateInstance")) {
        return *failure;
    }
    if (t_com.apartment == sim::kNoApartment) {
        return CO_E_NOTINITIALIZED;
    }
    auto& machine = sim::Machine::Current();
    const RegisteredClass* registered = FindClass(machine, classId, context);
    if (registered == nullptr) {
        return REGDB_E_CLASSNOTREG;
    }
    return registered->create(machine, iid, object);
}

// The cookie is only a token: its number says which usage it was.
HRESULT WINAPI CoIncrementMTAUsage(CO_MTA_USAGE_COOKIE* cookie) {
    if (cookie == nullptr) {
        return E_INVALIDARG;
    }
    if (const auto failure = sim::InjectedComFailure("CoIncrementMTAUsage")) {
        *cookie = nullptr;
        return *failure;
    }
    static std::atomic<std::uintptr_t> issued{0};
    *cookie = reinterpret_cast<CO_MTA_USAGE_COOKIE>(++issued);
    ++g_mtaUsages;
    return S_OK;
}

HRESULT WINAPI CoDecrementMTAUsage(CO_MTA_USAGE_COOKIE cookie) {
    if (cookie == nullptr || g_mtaUsages.load() == 0) {
        return E_INVALIDARG;
    }
    --g_mtaUsages;
    return S_OK;
}

HRESULT WINAPI OleInitialize(LPVOID reserved) {
    if (const auto failure = sim::InjectedComFailure("OleInitialize")) {
        return *failure;
    }
    const HRESULT result = CoInitializeEx(reserved, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(result)) {
        ++t_com.oleInitialisations;
    }
    return result;
}

void WINAPI OleUninitialize() {
    if (t_com.oleInitialisations > 0) {
        --t_com.oleInitialisations;
        CoUninitialize();
    }
}

// The simulated servers have no running state of their own to enter.
HRESULT WINAPI OleRun(LPUNKNOWN object) {
    if (object == nullptr) {
        return E_INVALIDARG;
    }
    if (const auto failure = sim::InjectedComFailure("OleRun")) {
        return *failure;
    }
    return S_OK;
}

HRESULT WINAPI PropVariantClear(PROPVARIANT* value) {
    if (value == nullptr) {
        return S_OK;
    }
    if (value->vt == VT_BSTR) {
        SysFreeString(value->bstrVal);
    }
    PropVariantInit(value);
    return S_OK;
}
