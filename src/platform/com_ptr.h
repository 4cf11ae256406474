// An owned reference to a COM interface, released when its owner goes.
#pragma once

#include <unknwn.h>

#include <utility>

template <typename Interface>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(ComPtr&& other) noexcept : interface_(std::exchange(other.interface_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            interface_ = std::exchange(other.interface_, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { Reset(); }

    Interface* Get() const { return interface_; }
    Interface* operator->() const { return interface_; }
    explicit operator bool() const { return interface_ != nullptr; }

    void Reset() {
        if (interface_ != nullptr) {
            std::exchange(interface_, nullptr)->Release();
        }
    }

    // Forgets the reference without releasing it, for a process that is
    // ending: the code behind the object may be unloaded already.
    void Abandon() { interface_ = nullptr; }

    // Where an out parameter stores a new reference; the old one is released first.
    void** Receive() {
        Reset();
        return reinterpret_cast<void**>(&interface_);
    }

    // The same, for an out parameter typed as the interface.
    Interface** ReceiveTyped() {
        Reset();
        return &interface_;
    }

    // Another interface of the same object; empty when the object refuses it.
    template <typename Other>
    ComPtr<Other> As() const {
        ComPtr<Other> other;
        if (interface_ != nullptr) {
            interface_->QueryInterface(__uuidof(Other), other.Receive());
        }
        return other;
    }

  private:
    Interface* interface_ = nullptr;
};
