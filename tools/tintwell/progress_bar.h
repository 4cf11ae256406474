// A one-line bar of a running transition (frames applied of frames
// expected), redrawn in place. Drawn only when enabled, that is when its
// stream is a terminal, so a redirected run keeps its output clean.
#pragma once

#include <cstddef>
#include <iosfwd>

namespace tintwell_cli {

class ProgressBar {
  public:
    ProgressBar(std::ostream& out, bool enabled) : out_(out), enabled_(enabled) {}
    ~ProgressBar() { Finish(); }
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void Update(std::size_t applied, std::size_t expected);
    // Ends the line if anything was drawn.
    void Finish();

  private:
    std::ostream& out_;
    bool enabled_;
    bool drawn_ = false;
    std::size_t lastApplied_ = 0;
    std::size_t lastExpected_ = 0;
};

}  // namespace tintwell_cli
