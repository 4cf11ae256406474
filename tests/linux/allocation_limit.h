// Allocation failure on demand: the test program replaces the global
// allocation functions, so that the library's handling of an exception
// thrown deep inside an operation can be reached.
#pragma once

#include <cstddef>

namespace tw_test {

// False where the test program cannot replace the allocation functions
// (the sanitizer builds, whose runtimes own them).
bool AllocationLimitAvailable();

// While alive, an allocation of at least `bytes` on this thread throws
// std::bad_alloc; other threads and smaller allocations are untouched.
class ScopedAllocationLimit {
  public:
    explicit ScopedAllocationLimit(std::size_t bytes);
    ~ScopedAllocationLimit();
    ScopedAllocationLimit(const ScopedAllocationLimit&) = delete;
    ScopedAllocationLimit& operator=(const ScopedAllocationLimit&) = delete;
};

}  // namespace tw_test
