#include "platform/afx_ole.h"

#include <ole2.h>

bool AfxOleInit() {
    return SUCCEEDED(OleInitialize(nullptr));
}
