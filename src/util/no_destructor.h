// An object in static storage that is built on first use and never
// destroyed: for what the system's threads may still reach while the
// library's static destructors run (exit() on Linux lets them go on). Its
// storage is part of the library's image, so an unload leaves nothing behind.
#pragma once

#include <new>
#include <utility>

template <typename T>
class NoDestructor {
  public:
    template <typename... Arguments>
    explicit NoDestructor(Arguments&&... arguments) {
        new (storage_) T(std::forward<Arguments>(arguments)...);
    }
    NoDestructor(const NoDestructor&) = delete;
    NoDestructor& operator=(const NoDestructor&) = delete;

    T& Get() { return *std::launder(reinterpret_cast<T*>(storage_)); }

  private:
    alignas(T) unsigned char storage_[sizeof(T)];
};
