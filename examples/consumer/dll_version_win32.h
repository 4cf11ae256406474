#ifndef TINTWELL_CONSUMER_DLL_VERSION_WIN32_H
#define TINTWELL_CONSUMER_DLL_VERSION_WIN32_H

/* Prints the version resource of the TintwellDll.dll this process loaded;
 * non-zero when its file version is the header's. */
int DllVersionMatchesHeader(void);

#endif
