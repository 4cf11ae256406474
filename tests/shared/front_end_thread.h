// A thread of the front-end application, entering COM as such a thread
// would: not at all, in a single-threaded apartment (a window's thread), or
// in the multithreaded apartment (a .NET worker).
#pragma once

#include <objbase.h>

#include <gtest/gtest.h>

#include <thread>

namespace tw_test {

enum class FrontEndThread { WithoutCom, SingleThreaded, MultiThreaded };

// Starts `work` on a new thread of that kind; the thread leaves the
// apartment it entered once the work is done.
template <typename Work>
std::thread StartFrontEndThread(FrontEndThread kind, Work work) {
    return std::thread([kind, work] {
        if (kind == FrontEndThread::WithoutCom) {
            work();
            return;
        }
        const DWORD model = kind == FrontEndThread::SingleThreaded ? COINIT_APARTMENTTHREADED
                                                                   : COINIT_MULTITHREADED;
        ASSERT_EQ(CoInitializeEx(nullptr, model), S_OK);
        work();
        CoUninitialize();
    });
}

template <typename Work>
void RunOnFrontEndThread(FrontEndThread kind, Work work) {
    StartFrontEndThread(kind, work).join();
}

}  // namespace tw_test
