// A VARIANT that is cleared when it goes out of scope, whatever it came to hold.
#pragma once

#include <windows.h>
#include <oleauto.h>

namespace services {

class ScopedVariant {
  public:
    ScopedVariant() { VariantInit(&value_); }
    ~ScopedVariant() { VariantClear(&value_); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;

    VARIANT& Get() { return value_; }

  private:
    VARIANT value_;
};

}  // namespace services
