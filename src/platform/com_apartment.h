// Membership of the calling thread in the multithreaded apartment, for as
// long as an owner lives.
#pragma once

#include <objbase.h>

// Joins the calling thread to the multithreaded apartment unless it is in an
// apartment already, and leaves only an apartment it joined (S_OK and S_FALSE
// each count one initialisation of the thread).
class ComApartment {
  public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    // A thread in a single-threaded apartment can use COM as it is.
    bool Usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }
    HRESULT Result() const { return result_; }

  private:
    HRESULT result_;
};
