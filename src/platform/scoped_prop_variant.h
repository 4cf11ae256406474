// A PROPVARIANT that is cleared when it goes out of scope, whatever it came
// to hold.
#pragma once

#include <windows.h>
#include <propidl.h>

namespace platform {

class ScopedPropVariant {
  public:
    ScopedPropVariant() { PropVariantInit(&value_); }
    ~ScopedPropVariant() { PropVariantClear(&value_); }
    ScopedPropVariant(const ScopedPropVariant&) = delete;
    ScopedPropVariant& operator=(const ScopedPropVariant&) = delete;

    PROPVARIANT* Receive() {
        PropVariantClear(&value_);
        return &value_;
    }
    const PROPVARIANT& Get() const { return value_; }
    void Clear() { PropVariantClear(&value_); }

  private:
    PROPVARIANT value_;
};

}  // namespace platform
