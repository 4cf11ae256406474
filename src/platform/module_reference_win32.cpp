#include "platform/module_reference.h"

#include <windows.h>

namespace platform {

ModuleReference ModuleReference::Take() noexcept {
    ModuleReference reference;
    HMODULE module = nullptr;
    if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                           reinterpret_cast<LPCWSTR>(&ModuleReference::Take), &module)) {
        reference.module_ = module;
    }
    return reference;
}

void ModuleReference::Reset() noexcept {
    if (module_ != nullptr) {
        FreeLibrary(static_cast<HMODULE>(std::exchange(module_, nullptr)));
    }
}

}  // namespace platform
