// The one way the library starts a thread of its own.
//
// A library thread holds a reference to the library's module for as long as
// it runs, and lets go of it as the very last thing it does, from system
// code: FreeLibraryAndExitThread on Windows, a thread-specific value whose
// destructor is dlclose on Linux. So a front-end's FreeLibrary never waits
// for one: with a thread running, the library stays mapped until the thread
// has finished its work, and then unloads on that thread; none of its code
// runs once it is unmapped. Threads therefore end as soon as their work is
// done rather than wait for more: an idle library has no threads at all.
//
// The owners of library threads follow from this. At unload no library
// thread can be running, except when the process is ending, where Windows
// has already ended it (and may have done so while it held a lock): an
// owner's destructor never waits there. Where the destructors run while
// threads still live (exit() on Linux, or the library's code linked into a
// program), the owner waits for its thread to finish the work in hand.
#pragma once

#include <functional>

namespace platform {

// Runs `work` on a new thread that keeps the library loaded until `work`
// has returned. `work` must not throw. False when no thread could be
// started; `work` is then never run.
bool StartLibraryThread(std::function<void()> work) noexcept;

// Called by an owner whose destructor finds its thread still running, which
// happens only when the process ends by exit() (on Windows the system has
// ended the thread by then): threads that end from now on keep their
// reference, so that none of them unmaps the library while destructors
// still run in it. The process's end releases everything.
void KeepLibraryUntilProcessEnd() noexcept;

}  // namespace platform
