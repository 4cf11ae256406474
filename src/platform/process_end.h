// Whether the process is ending. When a Windows process exits, the system
// ends every other thread first and only then unloads the libraries, so a
// destructor that runs at that point must not wait for a thread of its own:
// the thread is gone, and may have been stopped holding a lock. On Linux the
// destructors run while the threads still live, and the answer is always no.
#pragma once

namespace platform {

bool ProcessIsEnding();

// Called by the library's entry point when it is unloaded at process exit.
void NoteProcessEnding();

}  // namespace platform
