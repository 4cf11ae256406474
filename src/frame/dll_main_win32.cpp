// The DLL entry point: what the framework's standard entry point does for a
// regular DLL, reduced to the application object's hooks.
#include <windows.h>

#include "frame/tintwell_app.h"
#include "platform/process_end.h"

// A non-null `reserved` at detach means the process is exiting rather than
// freeing the library; the static destructors run right after this returns.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            return TheApp().InitInstance() ? TRUE : FALSE;
        case DLL_PROCESS_DETACH:
            if (reserved != nullptr) {
                platform::NoteProcessEnding();
            }
            TheApp().ExitInstance();
            return TRUE;
        default:
            return TRUE;
    }
}
