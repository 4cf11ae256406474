#include "platform/library_thread.h"

#include <windows.h>

#include <memory>
#include <new>
#include <utility>

namespace platform {

namespace {

struct ThreadStart {
    std::function<void()> work;
    HMODULE library = nullptr;
};

DWORD WINAPI RunLibraryThread(LPVOID parameter) {
    HMODULE library = nullptr;
    {
        const std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(parameter));
        library = start->library;
        start->work();
    }
    FreeLibraryAndExitThread(library, 0);
}

// A new reference to the module that holds this code: the DLL, or the
// program when the library's code is linked into one.
HMODULE ReferenceLibrary() {
    HMODULE library = nullptr;
    const BOOL found = GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                          reinterpret_cast<LPCWSTR>(&RunLibraryThread), &library);
    return found ? library : nullptr;
}

}  // namespace

bool StartLibraryThread(std::function<void()> work) noexcept {
    std::unique_ptr<ThreadStart> start(new (std::nothrow) ThreadStart{std::move(work)});
    if (!start) {
        return false;
    }
    start->library = ReferenceLibrary();
    if (start->library == nullptr) {
        return false;
    }
    const HANDLE thread = CreateThread(nullptr, 0, &RunLibraryThread, start.get(), 0, nullptr);
    if (thread == nullptr) {
        FreeLibrary(start->library);
        return false;
    }
    static_cast<void>(start.release());
    CloseHandle(thread);
    return true;
}

// Windows ends every other thread before it runs the library's destructors
// at process exit, so no thread is left to release anything.
void KeepLibraryUntilProcessEnd() noexcept {}

}  // namespace platform
