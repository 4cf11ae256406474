// A reference to the library's own module, which keeps it loaded while held:
// for objects of the library that a component of the system calls back on
// threads of its own, so that a front-end's FreeLibrary cannot take the code
// from under such a call. Release it only on a thread that has its own hold
// on the library (an export's caller), never from inside the callback.
#pragma once

#include <utility>

namespace platform {

class ModuleReference {
  public:
    ModuleReference() = default;
    // A new reference; empty when none could be taken, or when the library's
    // code is linked into a program, which is never unloaded.
    static ModuleReference Take() noexcept;

    ModuleReference(ModuleReference&& other) noexcept
        : module_(std::exchange(other.module_, nullptr)) {}
    ModuleReference& operator=(ModuleReference&& other) noexcept {
        if (this != &other) {
            Reset();
            module_ = std::exchange(other.module_, nullptr);
        }
        return *this;
    }
    ModuleReference(const ModuleReference&) = delete;
    ModuleReference& operator=(const ModuleReference&) = delete;
    ~ModuleReference() { Reset(); }

    explicit operator bool() const { return module_ != nullptr; }
    void Reset() noexcept;
    // Forgets the reference without releasing it, for a process that is ending.
    void Abandon() noexcept { module_ = nullptr; }

  private:
    void* module_ = nullptr;
};

}  // namespace platform
