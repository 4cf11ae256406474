// What `digest check` and `gamut set` need beyond the exports: the library's
// own profile check, and what a switch did to the machine.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tintwell_cli {

// CheckIsIccFileNormal's answer (0, 1 or 2), or nothing where the tool
// cannot reach it (the Windows tool holds only the exports).
std::optional<int> CheckIccFile(const std::string& iccPath, const std::string& digestPath);

// Notes what the machine holds when made, and tells what changed since, a
// line each: profiles installed and associated, image colour management
// calls, gamma ramps, VCP writes and saves, and 3D LUT loads. Nothing where
// the machine cannot be read back (the real one).
class MachineTrace {
  public:
    MachineTrace();
    ~MachineTrace();
    MachineTrace(const MachineTrace&) = delete;
    MachineTrace& operator=(const MachineTrace&) = delete;

    std::vector<std::string> Lines() const;

  private:
    struct Marks;
    std::unique_ptr<Marks> marks_;
};

}  // namespace tintwell_cli
