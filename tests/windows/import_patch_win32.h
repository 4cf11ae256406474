// Rewrites one entry of a loaded module's import address table, so that the
// module's calls of that function reach a replacement from now on. The
// module's own code is untouched; only the address the loader wrote for it
// changes, and every other module keeps the real function.
#pragma once

#include <windows.h>

namespace tw_test {

// `library` is compared case-blind, `function` as written. True when the
// module imports the function by name and its entry now holds `replacement`.
bool ReplaceImport(HMODULE module, const char* library, const char* function,
                   const void* replacement);

}  // namespace tw_test
