// The application framework's OLE initialisation of the calling thread.
#pragma once

// True when the calling thread can use COM: OLE initialised now or earlier
// on this thread, or the thread already in the multithreaded apartment,
// which OLE cannot join but which serves COM as it is. Once OLE
// initialisation succeeds on a thread it is not repeated there, and it stays
// for the thread's life: the framework never uninitialises it.
bool AfxOleInit();
