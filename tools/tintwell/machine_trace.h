// What reached the machine's hardware while a command ran: notes what the
// machine holds when made, and tells what changed since, a line each. Nothing
// where the machine cannot be read back (the real one).
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace tintwell_cli {

class MachineTrace {
  public:
    MachineTrace();
    ~MachineTrace();
    MachineTrace(const MachineTrace&) = delete;
    MachineTrace& operator=(const MachineTrace&) = delete;

    // Profiles installed and associated, image colour management calls,
    // gamma ramps (with each channel's end point), DDC/CI gains, VCP writes
    // and saves, the maker's hardware library calls, ADL gamut changes, and
    // the Intel driver's 3D LUT loads and gamma ramps.
    std::vector<std::string> Lines() const;

  private:
    struct Marks;
    std::unique_ptr<Marks> marks_;
};

}  // namespace tintwell_cli
