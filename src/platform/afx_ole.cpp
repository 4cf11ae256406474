#include "platform/afx_ole.h"

#include <ole2.h>

namespace {

thread_local bool t_oleInitialised = false;

}  // namespace

bool AfxOleInit() {
    if (t_oleInitialised) {
        return true;
    }
    const HRESULT result = OleInitialize(nullptr);
    t_oleInitialised = SUCCEEDED(result);
    // Not remembered: the host may leave the multithreaded apartment later,
    // and then the thread needs OLE of its own.
    return t_oleInitialised || result == RPC_E_CHANGED_MODE;
}
