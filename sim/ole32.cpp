// ole32: the COM runtime of the simulated machine. Each thread has its
// apartment; classes are registered by the parts of the machine that serve
// them, so a class exists only on a machine that has its server.
#include <ole2.h>

#include <optional>

#include "platform/cui_external8.h"
#include "sim/intel_driver_model.h"
#include "sim/machine.h"

namespace {

enum class Apartment { None, SingleThreaded, MultiThreaded };

struct ThreadCom {
    Apartment apartment = Apartment::None;
    int comInitialisations = 0;
    int oleInitialisations = 0;
};

thread_local ThreadCom t_com;

struct RegisteredClass {
    const CLSID& id;
    DWORD serverContext;
    bool (*isRegistered)(sim::Machine&);
    HRESULT (*create)(sim::Machine&, REFIID, void**);
};

// The driver's server runs in a process of its own.
const RegisteredClass kClasses[] = {
    {kCUIExternalClassId, CLSCTX_LOCAL_SERVER,
     [](sim::Machine& machine) { return machine.IntelDriver().Present(); },
     [](sim::Machine& machine, REFIID iid, void** object) {
         return machine.IntelDriver().CreateInstance(iid, object);
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

std::optional<HRESULT> InjectedFailure(const char* call) {
    if (const auto error = sim::Machine::Current().TakeFailure(call)) {
        return HRESULT_FROM_WIN32(*error);
    }
    return std::nullopt;
}

}  // namespace

HRESULT WINAPI CoInitializeEx(LPVOID reserved, DWORD coInit) {
    if (reserved != nullptr) {
        return E_INVALIDARG;
    }
    if (const auto failure = InjectedFailure("CoInitializeEx")) {
        return *failure;
    }
    const Apartment requested = (coInit & COINIT_APARTMENTTHREADED) != 0 ? Apartment::SingleThreaded
                                                                         : Apartment::MultiThreaded;
    if (t_com.apartment != Apartment::None && t_com.apartment != requested) {
        return RPC_E_CHANGED_MODE;
    }
    t_com.apartment = requested;
    return ++t_com.comInitialisations == 1 ? S_OK : S_FALSE;
}

void WINAPI CoUninitialize() {
    if (t_com.comInitialisations > 0 && --t_com.comInitialisations == 0) {
        t_com.apartment = Apartment::None;
    }
}

HRESULT WINAPI CoCreateInstance(REFCLSID classId, LPUNKNOWN, DWORD context, REFIID iid,
                                LPVOID* object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (const auto failure = InjectedFailure("CoCreateInstance")) {
        return *failure;
    }
    if (t_com.apartment == Apartment::None) {
        return CO_E_NOTINITIALIZED;
    }
    auto& machine = sim::Machine::Current();
    const RegisteredClass* registered = FindClass(machine, classId, context);
    if (registered == nullptr) {
        return REGDB_E_CLASSNOTREG;
    }
    return registered->create(machine, iid, object);
}

HRESULT WINAPI OleInitialize(LPVOID reserved) {
    if (const auto failure = InjectedFailure("OleInitialize")) {
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
    if (const auto failure = InjectedFailure("OleRun")) {
        return *failure;
    }
    return S_OK;
}
