#include "platform/library_thread.h"

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <memory>
#include <new>
#include <utility>

namespace platform {

namespace {

// The C library runs a key's destructor after the thread's function has
// returned, from its own code: with dlclose as the destructor, the last
// reference to the library goes once nothing of the library is left on the
// thread's stack, as FreeLibraryAndExitThread does it on Windows.
class ReleaseOnThreadExit {
  public:
    ReleaseOnThreadExit() {
        ready_ = pthread_key_create(&key_, reinterpret_cast<void (*)(void*)>(
                                               reinterpret_cast<void (*)()>(&dlclose))) == 0;
    }
    ~ReleaseOnThreadExit() {
        if (ready_) {
            pthread_key_delete(key_);
        }
    }
    ReleaseOnThreadExit(const ReleaseOnThreadExit&) = delete;
    ReleaseOnThreadExit& operator=(const ReleaseOnThreadExit&) = delete;

    bool Ready() const { return ready_; }
    void Hand(void* library) const { pthread_setspecific(key_, library); }

  private:
    pthread_key_t key_{};
    bool ready_ = false;
};

const ReleaseOnThreadExit g_releaseOnThreadExit;
std::atomic<bool> g_keepForProcessEnd{false};

struct ThreadStart {
    std::function<void()> work;
    void* library = nullptr;
};

void* RunLibraryThread(void* parameter) {
    void* library = nullptr;
    {
        const std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(parameter));
        library = start->library;
        start->work();
    }
    if (library != nullptr && !g_keepForProcessEnd) {
        g_releaseOnThreadExit.Hand(library);
    }
    return nullptr;
}

// A new reference to the shared object that holds this code, or null when
// the code is part of the program itself, which is never unloaded.
void* ReferenceLibrary() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&RunLibraryThread), &info) == 0 ||
        info.dli_fname == nullptr) {
        return nullptr;
    }
    return dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
}

}  // namespace

void KeepLibraryUntilProcessEnd() noexcept {
    g_keepForProcessEnd = true;
}

bool StartLibraryThread(std::function<void()> work) noexcept {
    std::unique_ptr<ThreadStart> start(new (std::nothrow) ThreadStart{std::move(work)});
    if (!start || !g_releaseOnThreadExit.Ready()) {
        return false;
    }
    start->library = ReferenceLibrary();
    pthread_t thread{};
    if (pthread_create(&thread, nullptr, &RunLibraryThread, start.get()) != 0) {
        if (start->library != nullptr) {
            dlclose(start->library);
        }
        return false;
    }
    static_cast<void>(start.release());
    pthread_detach(thread);
    return true;
}

}  // namespace platform
