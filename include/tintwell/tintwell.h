/* TintwellDll: display colour engine. The library's whole interface is the
 * flat C functions below; results follow one convention: 0 success and -1
 * failure unless a function says otherwise. Settings getters take the value to
 * return when the key is missing. InitMonitorId and SetColorEnhance may be
 * called from any thread; on a thread without COM they initialise OLE and
 * leave it so (docs/threads-and-com.md). */
#ifndef TINTWELL_TINTWELL_H
#define TINTWELL_TINTWELL_H

/* The release of this interface; the DLL's version resource carries the same
 * numbers. */
#define TINTWELL_VERSION_MAJOR 0
#define TINTWELL_VERSION_MINOR 1
#define TINTWELL_VERSION_PATCH 0
#define TINTWELL_VERSION "0.1.0"

#include <wchar.h>
#ifndef __cplusplus
#include <stdbool.h>
#endif

#if defined(_WIN32)
#if defined(TINTWELL_BUILDING_DLL)
#define TW_API __declspec(dllexport)
#else
#define TW_API __declspec(dllimport)
#endif
#else
#define TW_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Frame and logging. */
TW_API void EnterColorObject(void);
TW_API void ExitColorObject(void);
TW_API int LcdLogMessage(int level, const wchar_t* text);
TW_API void StopLogger(void);

/* Detection of the display hardware: the graphics vendor (0 Intel, 1 AMD on a
 * TALVIK or TALVIKR device, 2 MORVEN device, 3 other AMD, -1 none), the
 * physical monitors, the device model. */
TW_API int GetDisplayType(void);
TW_API int GetPhyMonitorCount(void);
TW_API void GetDeviceType(char* buffer);
TW_API bool IsDesktopComputer(void);
TW_API bool HaveOrvMonitor(void);
TW_API void InitMonitorId(void);

/* Colour temperature. SetTemperature, SetColorAdjust and SetTemperatureForIntel
 * return -101 when the hardware library refuses; SetColorEnhance returns -2 (no
 * driver interface), -7 (no Intel device), -4 (driver refused) or -101. */
TW_API int SetTemperature(int first, int second);
TW_API int SetColorAdjust(int first, int second);
TW_API int SetTemperatureForIntel(float r, float g, float b, unsigned int blueProtectLevel,
                                  double blueProtectRatio);
TW_API int SetTemperatureForNvidia(float r, float g, float b, unsigned int blueProtectLevel,
                                   double blueProtectRatio);
/* Queues the gains for the desktop's monitors, which a worker of the library
 * sends over DDC/CI; always 0, the result of the monitors is not reported.
 * The worker keeps the library loaded until it has sent the newest gains, so
 * FreeLibrary may be called at any time (docs/threads-and-unloading.md). */
TW_API int SetTemperatureForDesktopComputer(float r, float g, float b,
                                            unsigned int blueProtectLevel, double blueProtectRatio);
TW_API int SetColorEnhance(bool enable);

/* The AMD display library: InitAdlGamut loads and initialises it,
 * UninitAdlGamut releases it. SetTemperatureForAMD moves the white point of
 * every mapped AMD display to the gains; -1 when ADL is not ready or its
 * adapters cannot be listed. */
TW_API void InitAdlGamut(void);
TW_API void UninitAdlGamut(void);
TW_API int SetTemperatureForAMD(float r, float g, float b, unsigned int blueProtectLevel,
                                double blueProtectRatio);

/* Settings: one INI key each. */
TW_API int GetTemperatureConfig(int defaultValue);
TW_API int SetTemperatureConfig(int value);
TW_API int GetTemperatureSliderConfig(int defaultValue);
TW_API int SetTemperatureSliderConfig(int value);
TW_API int GetTemperatureDefaultConfig(int defaultValue);
TW_API int GetTemperatureSliderDefaultConfig(int defaultValue);
TW_API double GetCircleAngle(double defaultValue);
TW_API int GetCircleStrAngle(char* buffer, int size);
TW_API int SetCircleAngle(double value);
TW_API double GetCircleRadiusScale(double defaultValue);
TW_API int GetCircleStrRadiusScale(char* buffer, int size);
TW_API int SetCircleRadiusScale(double value);
TW_API double GetCircleR(double defaultValue);
TW_API int GetCircleStrR(char* buffer, int size);
TW_API int SetCircleR(double value);
TW_API double GetCircleG(double defaultValue);
TW_API int GetCircleStrG(char* buffer, int size);
TW_API int SetCircleG(double value);
TW_API double GetCircleB(double defaultValue);
TW_API int GetCircleStrB(char* buffer, int size);
TW_API int SetCircleB(double value);
TW_API int GetCircleIsDefault(int defaultValue);
TW_API int SetCircleIsDefault(int value);
TW_API int GetCircleIsCold(int defaultValue);
TW_API int SetCircleIsCold(int value);
TW_API int GetCircleIsWarm(int defaultValue);
TW_API int SetCircleIsWarm(int value);
TW_API int GetIsEnableEyeProtect(int defaultValue);
TW_API int SetIsEnableEyeProtect(int value);
TW_API int GetEyeProtect(int defaultValue);
TW_API int SetEyeProtect(int value);
TW_API int GetIsEnableEyeProtectDefault(int defaultValue);
TW_API int GetEyeProtectDefault(int defaultValue);
TW_API int GetBlueProtect(int defaultValue);
TW_API int SetBlueProtect(int value);
TW_API int GetBlueProtectSlider(int defaultValue);
TW_API int SetBlueProtectSlider(int value);
TW_API int GetBlueProtectDefault(int defaultValue);
TW_API int GetBlueProtectSliderDefault(int defaultValue);
TW_API int GetIsEnableWhitePoint(int defaultValue);
TW_API int SetIsEnableWhitePoint(int value);
TW_API int GetIsFirstAdjust(int defaultValue);
TW_API int SetIsFirstAdjust(int value);
TW_API int SetWhitePointR(float value);
TW_API float GetWhitePointR(float defaultValue);
TW_API int SetWhitePointG(float value);
TW_API float GetWhitePointG(float defaultValue);
TW_API int SetWhitePointB(float value);
TW_API float GetWhitePointB(float defaultValue);
TW_API int GetCurrentDpInOutMode(int defaultValue);
TW_API int SetCurrentDpInOutMode(int value);
TW_API int GetCurrentColorFieldMode(int defaultValue);
TW_API int SetGetCurrentColorFieldMode(int value);
TW_API int GetIsColorFieldFirstDefaultAdjust(int defaultValue);
TW_API int SetIsColorFieldFirstDefaultAdjust(int value);
TW_API int GetResetColorFieldMode(int defaultValue);
TW_API int SetResetColorFieldMode(int value);
TW_API int GetColorFieldSetType(int defaultValue);
TW_API int SetColorFieldSetType(int value);
TW_API int GetIsNatureColor(int defaultValue);
TW_API int SetIsNatureColor(int value);
TW_API int SetSensorColor(float value);
TW_API float GetSensorColor(float defaultValue);
TW_API int SetSensorLight(float value);
TW_API float GetSensorLight(float defaultValue);
TW_API int SetMonitorId(int value);
TW_API int GetMonitorId(int defaultValue);
TW_API int SetSensorR(float value);
TW_API float GetSensorR(float defaultValue);
TW_API int SetSensorG(float value);
TW_API float GetSensorG(float defaultValue);
TW_API int SetSensorB(float value);
TW_API float GetSensorB(float defaultValue);
TW_API int GetIsInitAmbientCct(int defaultValue);
TW_API int SetIsInitAmbientCct(int value);

/* Nature colour. The CCT mapping table maps a colour temperature (kelvin) to
 * red, green and blue gains; add its rows in ascending CCT. The merge takes
 * the circle gains, multiplies in the white point gains (while enabled) and
 * the table's gains for the stored sensor CCT (while nature colour is on),
 * and writes them normalised so that the largest is 1; 0, or -1 (also for a
 * null output). SetNatureColorAll configures the engine: frames and their
 * interval in ms of a transition, a flag, the CCT change that starts one,
 * the CCT used in low light and the lux below which light is low. */
TW_API void AddCctMappingInfo(float cct, double r, double g, double b);
TW_API void ClearMappingInfo(void);
TW_API int MergeCircleCtAndSensorCt(float r, float g, float b, double* outR, double* outG,
                                    double* outB);
TW_API void SetNatureColorAll(unsigned int frameCount, unsigned int frameIntervalMs,
                              unsigned int flag, float cctDiffThresh, float ctLowLuma,
                              float luminanceThresh);
/* The state before the first sensor reading: stores 5000 K and 300 lx as the
 * current reading, applies the merged gains through the Intel driver, and
 * makes the next reading only initialise. 0; -1 when the colour settings
 * cannot be read; -1 (no memory), -7 (no MonitorId stored) or -101 (the driver
 * refused) from the Intel driver road. */
TW_API int SetDefaultNatureColor(void);

/* Nature colour's measurements. StartMonitorNatureColor subscribes the engine
 * to the light sensor: type 0 takes lux and kelvin from the Windows light
 * sensor, type 1 lux from the light sensor and kelvin from the firmware's
 * events; 0, -1 (unknown type, no sensor manager, no light sensor, a sensor
 * refused), or for type 1 the firmware monitor's start result. It leaves the
 * calling thread in COM's multithreaded apartment (a thread in a
 * single-threaded apartment stays there). A failed subscription may be
 * repeated. Readings arrive on threads of the system and are forwarded only
 * while the status set by SetNatureColorStatus is non-zero.
 * UninstallNatureColorObject ends the subscription of the type: 0, -1 for an
 * unknown type, or for type 1 the firmware monitor's stop result. While
 * subscribed the library stays loaded after FreeLibrary; call it before
 * unloading, on the thread that subscribed (docs/threads-and-unloading.md). */
TW_API int StartMonitorNatureColor(unsigned int type);
TW_API void SetNatureColorStatus(unsigned int status);
TW_API int UninstallNatureColorObject(unsigned int type);

/* The panel's factory 3D lookup tables (colour field on the firmware road).
 * The golden path is taken relative to the host executable's folder and
 * serves once the panel no longer matches the firmware's tables; the cache
 * path is the folder prefix of the per-mode cache files (default
 * C:\\ProgramData\\Vozaz\\OrvLumivex\\), used from the next panel change
 * on. Both: 0, -1 for a null path. ResetDisplayerLut3D loads the identity
 * table into the Intel driver: 0, or -1. IsLcdChanged refreshes the mode's
 * cache file and answers 0 when the panel no longer matches the tables (or
 * they could not be refreshed), -1 when it matches or setType is not 1. */
TW_API int SetColorFieldGoldenFilePath(const char* path);
TW_API int SetColorFieldTempLutFilePath(const char* path);
TW_API int ResetDisplayerLut3D(void);
TW_API int IsLcdChanged(unsigned int mode, unsigned int setType);

/* Gamut switching (colour field mode 1 sRGB, 2 P3, 3 Adobe RGB).
 * SetColorFieldMode verifies the ICC profile against its digest file,
 * installs it and makes it the main monitor's default, then switches the
 * display on the road the COLORFIELD SetType setting names (0 DDC/CI, 1
 * firmware 3D LUT): 0 done; 1 a null path or the profile missing; 2 the
 * digest file missing or not matching, or the profile not installed or
 * associated; 3 the display refused (the profile change is undone).
 * GetCurrentIccFileName copies the main monitor's default profile name into
 * a buffer of at least 1024 bytes (left untouched when the name does not
 * fit): 0, or -1. SetDisplayerColorField switches only the display: 0, or 3. */
TW_API int SetColorFieldMode(unsigned int mode, const char* pIccFilePath,
                             const char* pIccCheckFilePath);
TW_API int GetCurrentIccFileName(char* pIccFileName);
TW_API int SetDisplayerColorField(unsigned int mode, unsigned int setType);

/* Factory white point calibration. InitWhitePointInfo reads the firmware's
 * record, checks its checksum and that it belongs to the fitted panel (by
 * the EDID), and otherwise takes the golden text given with
 * SetWhitePointGoldenData: 0 once a record is in place (it then stays), -1.
 * SetWhitePointForIntel stores the gains that move the measured white to D65
 * as WHITEPOINT WhitePointR/G/B and applies them merged with the colour
 * temperature; ResetWhitePointForIntel applies the temperature without them
 * (the stored gains stay). SetWhitePointForAmd sets the measured white and
 * primaries as a custom gamut on every AMD display (after InitAdlGamut),
 * ResetWhitePointForAmd the predefined gamut. All: 0, or -1. */
TW_API int InitWhitePointInfo(void);
TW_API int SetWhitePointGoldenData(const char* text);
TW_API int SetWhitePointForIntel(void);
TW_API int ResetWhitePointForIntel(void);
TW_API int SetWhitePointForAmd(void);
TW_API int ResetWhitePointForAmd(void);

/* Port status and data report: pass-through to the platform services.
 * GetDpStatus returns the firmware's display-port status, or -1 when the
 * firmware gave none; SetDpStatus returns the firmware's own result (0 when it
 * took the status). DataReportUpload sends a report of two texts and returns 1
 * when it was sent, 0 otherwise; a null text counts as an empty one. */
TW_API int GetDpStatus(void);
TW_API int SetDpStatus(int status);
TW_API int DataReportUpload(const char* first, const char* second);

#ifdef __cplusplus
}
#endif

#endif /* TINTWELL_TINTWELL_H */
