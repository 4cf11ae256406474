#include "child_case.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <exception>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TW_LEAK_CHECK 1
#endif
#elif defined(__SANITIZE_ADDRESS__)
#define TW_LEAK_CHECK 1
#endif

#if defined(TW_LEAK_CHECK)
#include <sanitizer/lsan_interface.h>
#endif

namespace tw_test {

namespace {

constexpr int kLeakExit = 23;
constexpr int kPollStepMs = 20;
// The child ends right after closing its report: its end is a moment away.
constexpr int kExitStepUs = 200;

[[noreturn]] void RunChild(const std::function<std::string()>& body, int out) {
    std::string report;
    try {
        report = body();
    } catch (const std::exception& error) {
        report = std::string("exception: ") + error.what();
    }
    for (std::size_t written = 0; written < report.size();) {
        const ssize_t n = write(out, report.data() + written, report.size() - written);
        if (n <= 0) {
            break;
        }
        written += static_cast<std::size_t>(n);
    }
    close(out);
#if defined(TW_LEAK_CHECK)
    if (__lsan_do_recoverable_leak_check() != 0) {
        _exit(kLeakExit);
    }
#endif
    _exit(0);
}

}  // namespace

bool ChildOutcome::Passed() const {
    return finished && WIFEXITED(status) && WEXITSTATUS(status) == 0 && report.empty();
}

std::string ChildOutcome::Describe() const {
    if (!finished) {
        return "did not finish in time";
    }
    std::string text = report;
    if (WIFSIGNALED(status)) {
        text += " [killed by signal " + std::to_string(WTERMSIG(status)) + "]";
    } else if (WEXITSTATUS(status) == kLeakExit) {
        text += " [leaked]";
    } else if (WEXITSTATUS(status) != 0) {
        text += " [exit " + std::to_string(WEXITSTATUS(status)) + "]";
    }
    return text;
}

ChildOutcome RunInChild(const std::function<std::string()>& body, std::chrono::seconds limit) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return {true, 0, "no pipe"};
    }
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        RunChild(body, pipeEnds[1]);
    }
    close(pipeEnds[1]);
    ChildOutcome outcome;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    pollfd reader{pipeEnds[0], POLLIN, 0};
    for (;;) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &outcome.status, 0);
            close(pipeEnds[0]);
            return outcome;
        }
        if (poll(&reader, 1, kPollStepMs) > 0) {
            char chunk[4096];
            const ssize_t n = read(pipeEnds[0], chunk, sizeof chunk);
            if (n <= 0) {
                break;
            }
            outcome.report.append(chunk, static_cast<std::size_t>(n));
        }
    }
    close(pipeEnds[0]);
    while (waitpid(child, &outcome.status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &outcome.status, 0);
            return outcome;
        }
        usleep(kExitStepUs);
    }
    outcome.finished = true;
    return outcome;
}

}  // namespace tw_test
