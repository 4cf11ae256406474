#include "allocation_limit.h"

#include <cstdlib>
#include <limits>
#include <new>

namespace {

constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();
thread_local std::size_t t_limit = kNoLimit;

void* Allocate(std::size_t bytes) {
    if (bytes >= t_limit) {
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(bytes == 0 ? 1 : bytes)) {
        return memory;
    }
    throw std::bad_alloc();
}

}  // namespace

namespace tw_test {

bool AllocationLimitAvailable() {
    return true;
}

ScopedAllocationLimit::ScopedAllocationLimit(std::size_t bytes) {
    t_limit = bytes;
}

ScopedAllocationLimit::~ScopedAllocationLimit() {
    t_limit = kNoLimit;
}

}  // namespace tw_test

void* operator new(std::size_t bytes) {
    return Allocate(bytes);
}

void* operator new[](std::size_t bytes) {
    return Allocate(bytes);
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete[](void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}
