// Under the sanitizers the allocation functions are theirs: the limit cannot
// be put in place, and the tests that need it skip.
#include "allocation_limit.h"

namespace tw_test {

bool AllocationLimitAvailable() {
    return false;
}

ScopedAllocationLimit::ScopedAllocationLimit(std::size_t) {}

ScopedAllocationLimit::~ScopedAllocationLimit() = default;

}  // namespace tw_test
