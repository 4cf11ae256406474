// Linux stand-in for <ole2.h>: OLE initialisation of a thread and running an object.
#pragma once

#include <objbase.h>
#include <oleauto.h>

HRESULT WINAPI OleInitialize(LPVOID reserved);
void WINAPI OleUninitialize();
HRESULT WINAPI OleRun(LPUNKNOWN object);
