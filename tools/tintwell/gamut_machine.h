// What `digest check` needs beyond the exports: the library's own profile
// check.
#pragma once

#include <optional>
#include <string>

namespace tintwell_cli {

// CheckIsIccFileNormal's answer (0, 1 or 2), or nothing where the tool
// cannot reach it (the Windows tool holds only the exports).
std::optional<int> CheckIccFile(const std::string& iccPath, const std::string& digestPath);

}  // namespace tintwell_cli
