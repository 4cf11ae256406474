// A case run in a forked child process, so that a crash, a sanitizer report,
// a leak or a hang ends that case alone and the library's process-wide state
// starts fresh for every case.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace tw_test {

struct ChildOutcome {
    bool finished = false;  // false: killed after the time limit
    int status = 0;         // the wait status when finished
    std::string report;     // what the case wrote back; empty when it passed

    bool Passed() const;
    std::string Describe() const;
};

// Runs `body` in a child. The child reports the text `body` returns, then,
// under LeakSanitizer, fails when anything it allocated leaked.
ChildOutcome RunInChild(const std::function<std::string()>& body, std::chrono::seconds limit);

}  // namespace tw_test
