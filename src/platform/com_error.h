// A failed COM call raised as an exception, carrying the HRESULT and the
// interface it is raised against, as the wrappers generated for an interface
// raise the failures of the methods that interface declares.
#pragma once

#include <unknwn.h>

#include <cstdio>
#include <stdexcept>
#include <string>

class ComError : public std::runtime_error {
  public:
    ComError(HRESULT error, const IID& raisedAgainst)
        : std::runtime_error(Describe(error)), error_(error), interfaceId_(raisedAgainst) {}

    HRESULT Error() const noexcept { return error_; }
    const IID& InterfaceId() const noexcept { return interfaceId_; }

  private:
    static std::string Describe(HRESULT error) {
        char text[32];
        std::snprintf(text, sizeof text, "COM error 0x%08X", static_cast<unsigned>(error));
        return text;
    }

    HRESULT error_;
    IID interfaceId_;
};

// Passes a successful result through; a failed one is raised against `raisedAgainst`.
inline HRESULT RaiseIfFailed(HRESULT result, const IID& raisedAgainst) {
    if (FAILED(result)) {
        throw ComError(result, raisedAgainst);
    }
    return result;
}
