// What the simulated COM runtime (ole32.cpp) offers the servers of the
// machine: the calling thread's apartment, and the global interface table
// through which a reference reaches another apartment.
#pragma once

#include <unknwn.h>

#include <cstdint>
#include <optional>

namespace sim {

// A thread is in no apartment, in the process's one multithreaded apartment,
// or in a single-threaded apartment of its own; entering a single-threaded
// apartment again after leaving it makes a new one.
using ApartmentId = std::uint64_t;
inline constexpr ApartmentId kNoApartment = 0;
inline constexpr ApartmentId kMultithreadedApartment = 1;

ApartmentId CurrentApartment();

// The failure a test injected into a COM call, as the HRESULT it returns.
std::optional<HRESULT> InjectedComFailure(const char* call);

// The CoIncrementMTAUsage cookies not given back yet.
long MtaUsages();

// An object whose references may be called only in the apartment they were
// handed out in. The global interface table asks it for a reference in the
// caller's apartment, as standard marshaling builds a proxy there; objects
// without this are agile and handed out as they are.
class ApartmentBoundObject {
  public:
    virtual HRESULT ReferenceInApartment(ApartmentId apartment, REFIID iid, void** object) = 0;

  protected:
    ~ApartmentBoundObject() = default;
};

// The class factory of CLSID_StdGlobalInterfaceTable: the one table of the process.
HRESULT GetGlobalInterfaceTable(REFIID iid, void** object);

}  // namespace sim
