// Linux stand-in for the Windows SDK's <windows.h>: like the real one it
// gathers the headers of the Windows API families; each declares only what a
// call site of the library needs. The simulated machine (sim/) defines them.
#pragma once

#include <minwindef.h>
#include <windef.h>
#include <winbase.h>
#include <handleapi.h>
#include <synchapi.h>
#include <libloaderapi.h>
#include <sysinfoapi.h>
#include <winreg.h>
#include <wingdi.h>
#include <winuser.h>
