#pragma once

#include "frame/app_base.h"

// The library's application object; one static instance exists per process.
class TintwellDll : public AppBase {
  public:
    TintwellDll() = default;
    ~TintwellDll() override = default;

    bool InitInstance() override;
};

TintwellDll& TheApp();
