// On the simulated machine the tool shares the library's code: it asks the
// library's own profile check.
#include "colorfield/color_field.h"
#include "gamut_machine.h"

namespace tintwell_cli {

std::optional<int> CheckIccFile(const std::string& iccPath, const std::string& digestPath) {
    return ColorField::Instance().CheckIsIccFileNormal(iccPath, digestPath);
}

}  // namespace tintwell_cli
