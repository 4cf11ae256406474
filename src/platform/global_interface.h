// An interface registered in the process's global interface table. COM lets
// a reference be called only in the apartment it was handed out in; the
// table gives each apartment a reference of its own to the same object.
#pragma once

#include <objbase.h>

#include <optional>
#include <utility>

#include "platform/com_ptr.h"

template <typename Interface>
class GlobalInterface {
  public:
    GlobalInterface() = default;

    // Registers `object` from the apartment it belongs to, the calling
    // thread's. Empty when the table or the registration is refused.
    static GlobalInterface Register(Interface* object) {
        GlobalInterface registered;
        if (FAILED(CoCreateInstance(CLSID_StdGlobalInterfaceTable, nullptr, CLSCTX_INPROC_SERVER,
                                    __uuidof(IGlobalInterfaceTable),
                                    registered.table_.Receive()))) {
            return {};
        }
        DWORD cookie = 0;
        if (FAILED(registered.table_->RegisterInterfaceInGlobal(object, __uuidof(Interface),
                                                                &cookie))) {
            return {};
        }
        registered.cookie_ = cookie;
        return registered;
    }

    GlobalInterface(GlobalInterface&& other) noexcept
        : table_(std::move(other.table_)), cookie_(std::exchange(other.cookie_, std::nullopt)) {}
    GlobalInterface(const GlobalInterface&) = delete;
    GlobalInterface& operator=(const GlobalInterface&) = delete;

    ~GlobalInterface() {
        if (cookie_) {
            table_->RevokeInterfaceFromGlobal(*cookie_);
        }
    }

    explicit operator bool() const { return cookie_.has_value(); }

    // Forgets the registration without revoking it, for an owner destroyed at
    // unload, under the loader's lock, where COM may not be called: the
    // registration and the object it holds stay with the process.
    void Abandon() {
        cookie_.reset();
        table_.Abandon();
    }

    // A reference the calling thread's apartment may call; empty when the
    // table cannot give one there.
    ComPtr<Interface> Fetch() const {
        ComPtr<Interface> fetched;
        if (cookie_) {
            table_->GetInterfaceFromGlobal(*cookie_, __uuidof(Interface), fetched.Receive());
        }
        return fetched;
    }

  private:
    ComPtr<IGlobalInterfaceTable> table_;
    std::optional<DWORD> cookie_;
};
