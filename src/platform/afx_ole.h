// The application framework's OLE initialisation of the calling thread.
#pragma once

// True when OLE is initialised on this thread, also when it already was. OLE
// stays initialised for the thread's life, as the framework leaves it until
// the application ends.
bool AfxOleInit();
