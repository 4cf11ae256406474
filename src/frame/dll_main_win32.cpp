// The DLL entry point: what the framework's standard entry point does for a
// regular DLL, reduced to the application object's hooks.
#include <windows.h>

#include "frame/tintwell_app.h"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            return TheApp().InitInstance() ? TRUE : FALSE;
        case DLL_PROCESS_DETACH:
            TheApp().ExitInstance();
            return TRUE;
        default:
            return TRUE;
    }
}
