/* A program that uses an installed Tintwell: the installed header and the
 * installed library, nothing from the source tree. It prints what it learns
 * and exits with 1 when the library disagrees with what it stored or with the
 * header it was compiled against. */
#include <stdio.h>

#include <tintwell/tintwell.h>

#ifdef _WIN32
#include "dll_version_win32.h"
#endif

/* No default holds this temperature, so reading it back proves the write. */
enum { kStoredTemperature = 5400, kMissing = -1 };

static int SettingsRoundTrip(void) {
    const int stored = SetTemperatureConfig(kStoredTemperature);
    const int read = GetTemperatureConfig(kMissing);
    printf("TemperatureConfig set %d read %d\n", stored, read);
    return stored == 0 && read == kStoredTemperature;
}

int main(void) {
    printf("header version %s (%d.%d.%d)\n", TINTWELL_VERSION, TINTWELL_VERSION_MAJOR,
           TINTWELL_VERSION_MINOR, TINTWELL_VERSION_PATCH);
    printf("display type %d\n", GetDisplayType());
    int ok = SettingsRoundTrip();
#ifdef _WIN32
    ok = DllVersionMatchesHeader() && ok;
#endif
    return ok ? 0 : 1;
}
