#include "frame/tintwell_app.h"

namespace {

TintwellDll g_theApp;

}  // namespace

bool TintwellDll::InitInstance() {
    return AppBase::InitInstance();
}

TintwellDll& TheApp() {
    return g_theApp;
}
