#include "progress_bar.h"

#include <algorithm>
#include <ostream>
#include <string>

namespace tintwell_cli {

namespace {

constexpr std::size_t kBarWidth = 40;

}  // namespace

void ProgressBar::Update(std::size_t applied, std::size_t expected) {
    if (!enabled_ || expected == 0 ||
        (drawn_ && applied == lastApplied_ && expected == lastExpected_)) {
        return;
    }
    applied = std::min(applied, expected);
    const std::size_t filled = applied * kBarWidth / expected;
    out_ << "\rtransition [" << std::string(filled, '#') << std::string(kBarWidth - filled, '.')
         << "] " << applied << "/" << expected << " frames" << std::flush;
    drawn_ = true;
    lastApplied_ = applied;
    lastExpected_ = expected;
}

void ProgressBar::Finish() {
    if (drawn_) {
        out_ << "\n" << std::flush;
        drawn_ = false;
    }
}

}  // namespace tintwell_cli
