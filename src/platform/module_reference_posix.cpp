#include "platform/module_reference.h"

#include <dlfcn.h>

namespace platform {

ModuleReference ModuleReference::Take() noexcept {
    ModuleReference reference;
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ModuleReference::Take), &info) != 0 &&
        info.dli_fname != nullptr) {
        reference.module_ = dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
    }
    return reference;
}

void ModuleReference::Reset() noexcept {
    if (module_ != nullptr) {
        dlclose(std::exchange(module_, nullptr));
    }
}

}  // namespace platform
