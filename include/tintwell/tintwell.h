/* TintwellDll: display colour engine. The library's whole interface is the
 * flat C functions below; results follow one convention: 0 success and -1
 * failure unless a function says otherwise. Settings getters take the value to
 * return when the key is missing. Every export may be called from any
 * thread; those that reach the Intel driver initialise OLE on a thread
 * without COM and leave it so (docs/threads-and-com.md lists them and what
 * the others do to COM; docs/integration-guide.md gives the order of calls). */
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
/* Does nothing: no export needs a set-up call, objects are made on first use. */
TW_API void EnterColorObject(void);
/* Does nothing: the library's objects are destroyed when the DLL unloads. */
TW_API void ExitColorObject(void);
/* Appends one line of `text` at `level` (any number) to the log file (docs/logging.md);
 * a null text counts as empty. 0 written, -1 not. */
TW_API int LcdLogMessage(int level, const wchar_t* text);
/* Does nothing: lines logged afterwards are still written. */
TW_API void StopLogger(void);

/* Detection of the display hardware (docs/integration-guide.md, section 4). */
/* The graphics vendor from the device code name and WMI: 0 Intel, 1 AMD on a TALVIK or
 * TALVIKR device, 2 MORVEN device, 3 other AMD, -1 none found or the query failed. */
TW_API int GetDisplayType(void);
/* The monitors listed under all adapters, without those of virtual display adapters and
 * those whose device id contains MONITOR\ORV2016. */
TW_API int GetPhyMonitorCount(void);
/* Copies the device code name into a buffer of 1024 bytes; a null buffer, an empty name or
 * a name that does not fit leaves it as it is. */
TW_API void GetDeviceType(char* buffer);
/* True when the SMBIOS chassis type is 3 (desktop). */
TW_API bool IsDesktopComputer(void);
/* True when a desktop has a maker's monitor (its code contains ORV) attached and active;
 * the list is made on desktops only, so always false on a laptop. */
TW_API bool HaveOrvMonitor(void);
/* Stores the Intel driver's id of the primary desktop adapter as NATURECOLOR MonitorId;
 * stores nothing when there is none. */
TW_API void InitMonitorId(void);

/* Colour temperature. The SetTemperatureFor exports take red, green and blue gains (1 leaves
 * a channel as it is), a blue protect level (0 to 255, 0 off) and a blue protect ratio; the
 * front-end picks the road for the machine (docs/integration-guide.md, section 5). */
/* Hands the two values to the maker's hardware library as a temperature: 0, or -101 when it
 * refuses (always on a machine without the maker's firmware). */
TW_API int SetTemperature(int first, int second);
/* Hands the two values to the maker's hardware library as a colour adjustment: 0, or -101
 * when it refuses (always on a machine without the maker's firmware). */
TW_API int SetColorAdjust(int first, int second);
/* Writes the gains as the printer colour record and hands them to the hardware library, then
 * stores BLUEPROTECT CurrentBlueProtect = ratio x 1000: 0, or -101 when it refuses. */
TW_API int SetTemperatureForIntel(float r, float g, float b, unsigned int blueProtectLevel,
                                  double blueProtectRatio);
/* Loads the gains, divided by the largest, as a linear Windows gamma ramp into the first
 * desktop adapter: 0, or -1 (no positive finite gain, no adapter, ramp refused). */
TW_API int SetTemperatureForNvidia(float r, float g, float b, unsigned int blueProtectLevel,
                                   double blueProtectRatio);
/* Queues the gains for a worker of the library that sends the newest over DDC/CI to monitors
 * chosen by the maker's monitors attached (docs/integration-guide.md, section 5); always 0. */
TW_API int SetTemperatureForDesktopComputer(float r, float g, float b,
                                            unsigned int blueProtectLevel, double blueProtectRatio);
/* Loads the Intel driver's colour enhancement table, enabled or not, for adapter 0: 0, -2 (no
 * driver), -7 (no Intel device), -4 (driver refused), -101 (no memory, driver error). */
TW_API int SetColorEnhance(bool enable);

/* The AMD display library (ADL). */
/* Loads ADL from the system folder and initialises it, releasing an earlier load first;
 * why it failed goes to the debugger output. */
TW_API void InitAdlGamut(void);
/* Releases ADL; call it before unloading, as the library cannot release ADL at unload. */
TW_API void UninitAdlGamut(void);
/* Sets D65 scaled by the gains as the white point of every mapped display that takes a
 * custom one: 0 once ADL's adapters were walked, -1 (no ADL, no adapter, no white point). */
TW_API int SetTemperatureForAMD(float r, float g, float b, unsigned int blueProtectLevel,
                                double blueProtectRatio);

/* Settings: one key of C:\ProgramData\Vozaz\OrvLumivex\Tintwell.ini each, read or written
 * on every call (docs/integration-guide.md, section 12). A getter returns the key's text read
 * as its type, or defaultValue when the key is missing or empty; GetCircleStr copies the
 * text into a buffer of size bytes (0, or -1 for a null buffer, a missing key or a text that
 * does not fit); a setter returns 0 when written, -1 when not. */
/* TEMPERATURE CurrentTemperature. */
TW_API int GetTemperatureConfig(int defaultValue);
/* Stores TEMPERATURE CurrentTemperature. */
TW_API int SetTemperatureConfig(int value);
/* TEMPERATURE CurrentTemperatureSlider. */
TW_API int GetTemperatureSliderConfig(int defaultValue);
/* Stores TEMPERATURE CurrentTemperatureSlider. */
TW_API int SetTemperatureSliderConfig(int value);
/* TEMPERATURE CurrentTemperatureDefault (no setter). */
TW_API int GetTemperatureDefaultConfig(int defaultValue);
/* TEMPERATURE CurrentTemperatureSliderDefault (no setter). */
TW_API int GetTemperatureSliderDefaultConfig(int defaultValue);
/* CIRCLE Angle. */
TW_API double GetCircleAngle(double defaultValue);
/* CIRCLE Angle as stored text. */
TW_API int GetCircleStrAngle(char* buffer, int size);
/* Stores CIRCLE Angle. */
TW_API int SetCircleAngle(double value);
/* CIRCLE RadiusScale. */
TW_API double GetCircleRadiusScale(double defaultValue);
/* CIRCLE RadiusScale as stored text. */
TW_API int GetCircleStrRadiusScale(char* buffer, int size);
/* Stores CIRCLE RadiusScale. */
TW_API int SetCircleRadiusScale(double value);
/* CIRCLE R, the circle's red gain; a decimal comma reads as a point. */
TW_API double GetCircleR(double defaultValue);
/* CIRCLE R as stored text. */
TW_API int GetCircleStrR(char* buffer, int size);
/* Stores CIRCLE R, which nature colour and the white point merge as the red gain. */
TW_API int SetCircleR(double value);
/* CIRCLE G, the circle's green gain; a decimal comma reads as a point. */
TW_API double GetCircleG(double defaultValue);
/* CIRCLE G as stored text. */
TW_API int GetCircleStrG(char* buffer, int size);
/* Stores CIRCLE G, which nature colour and the white point merge as the green gain. */
TW_API int SetCircleG(double value);
/* CIRCLE B, the circle's blue gain; a decimal comma reads as a point. */
TW_API double GetCircleB(double defaultValue);
/* CIRCLE B as stored text. */
TW_API int GetCircleStrB(char* buffer, int size);
/* Stores CIRCLE B, which nature colour and the white point merge as the blue gain. */
TW_API int SetCircleB(double value);
/* CIRCLE IsIntelDefault. */
TW_API int GetCircleIsDefault(int defaultValue);
/* Stores CIRCLE IsIntelDefault. */
TW_API int SetCircleIsDefault(int value);
/* CIRCLE IsIntelCold. */
TW_API int GetCircleIsCold(int defaultValue);
/* Stores CIRCLE IsIntelCold. */
TW_API int SetCircleIsCold(int value);
/* CIRCLE IsIntelWarm. */
TW_API int GetCircleIsWarm(int defaultValue);
/* Stores CIRCLE IsIntelWarm. */
TW_API int SetCircleIsWarm(int value);
/* EYEPROTECT IsEnableEyeProtect. */
TW_API int GetIsEnableEyeProtect(int defaultValue);
/* Stores EYEPROTECT IsEnableEyeProtect. */
TW_API int SetIsEnableEyeProtect(int value);
/* EYEPROTECT EyeProtectValue, the blue protect level that merged colours are applied with. */
TW_API int GetEyeProtect(int defaultValue);
/* Stores EYEPROTECT EyeProtectValue. */
TW_API int SetEyeProtect(int value);
/* EYEPROTECT IsEnableEyeProtectDefault (no setter). */
TW_API int GetIsEnableEyeProtectDefault(int defaultValue);
/* EYEPROTECT EyeProtectDefaultValue (no setter). */
TW_API int GetEyeProtectDefault(int defaultValue);
/* BLUEPROTECT CurrentBlueProtect, the blue protect ratio in thousandths. */
TW_API int GetBlueProtect(int defaultValue);
/* Stores BLUEPROTECT CurrentBlueProtect (also written by the Intel and AMD roads). */
TW_API int SetBlueProtect(int value);
/* BLUEPROTECT CurrentBlueProtectSlider. */
TW_API int GetBlueProtectSlider(int defaultValue);
/* Stores BLUEPROTECT CurrentBlueProtectSlider. */
TW_API int SetBlueProtectSlider(int value);
/* BLUEPROTECT CurrentBlueProtectDefault (no setter). */
TW_API int GetBlueProtectDefault(int defaultValue);
/* BLUEPROTECT CurrentBlueProtectSliderDefault (no setter). */
TW_API int GetBlueProtectSliderDefault(int defaultValue);
/* WHITEPOINT IsEnableWhitePointAdjust; 1 makes every merge apply the white point gains. */
TW_API int GetIsEnableWhitePoint(int defaultValue);
/* Stores WHITEPOINT IsEnableWhitePointAdjust. */
TW_API int SetIsEnableWhitePoint(int value);
/* WHITEPOINT IsFirstDefaultAdjust. */
TW_API int GetIsFirstAdjust(int defaultValue);
/* Stores WHITEPOINT IsFirstDefaultAdjust. */
TW_API int SetIsFirstAdjust(int value);
/* Stores WHITEPOINT WhitePointR (also written by SetWhitePointForIntel). */
TW_API int SetWhitePointR(float value);
/* WHITEPOINT WhitePointR, the white point's red gain. */
TW_API float GetWhitePointR(float defaultValue);
/* Stores WHITEPOINT WhitePointG (also written by SetWhitePointForIntel). */
TW_API int SetWhitePointG(float value);
/* WHITEPOINT WhitePointG, the white point's green gain. */
TW_API float GetWhitePointG(float defaultValue);
/* Stores WHITEPOINT WhitePointB (also written by SetWhitePointForIntel). */
TW_API int SetWhitePointB(float value);
/* WHITEPOINT WhitePointB, the white point's blue gain. */
TW_API float GetWhitePointB(float defaultValue);
/* DPINOUT CurrentMode. */
TW_API int GetCurrentDpInOutMode(int defaultValue);
/* Stores DPINOUT CurrentMode. */
TW_API int SetCurrentDpInOutMode(int value);
/* COLORFIELD CurrentColorFieldMode, the gamut mode the front-end recorded. */
TW_API int GetCurrentColorFieldMode(int defaultValue);
/* Stores COLORFIELD CurrentColorFieldMode; the library never writes it itself. */
TW_API int SetGetCurrentColorFieldMode(int value);
/* COLORFIELD IsColorFiledFirstDefaultAdjust (the key is spelt so). */
TW_API int GetIsColorFieldFirstDefaultAdjust(int defaultValue);
/* Stores COLORFIELD IsColorFiledFirstDefaultAdjust. */
TW_API int SetIsColorFieldFirstDefaultAdjust(int value);
/* COLORFIELD ResetColorFieldMode. */
TW_API int GetResetColorFieldMode(int defaultValue);
/* Stores COLORFIELD ResetColorFieldMode. */
TW_API int SetResetColorFieldMode(int value);
/* COLORFIELD SetType, the gamut switch's road: 0 DDC/CI, 1 firmware 3D LUT. */
TW_API int GetColorFieldSetType(int defaultValue);
/* Stores COLORFIELD SetType, which SetColorFieldMode reads. */
TW_API int SetColorFieldSetType(int value);
/* NATURECOLOR IsNatureColor; 0 stops transitions, 1 merges the CCT table's gains. */
TW_API int GetIsNatureColor(int defaultValue);
/* Stores NATURECOLOR IsNatureColor. */
TW_API int SetIsNatureColor(int value);
/* Stores NATURECOLOR SensorColor (also written by every nature colour frame). */
TW_API int SetSensorColor(float value);
/* NATURECOLOR SensorColor, the current CCT in kelvin that the merge uses. */
TW_API float GetSensorColor(float defaultValue);
/* Stores NATURECOLOR SensorLight (also written by every nature colour frame). */
TW_API int SetSensorLight(float value);
/* NATURECOLOR SensorLight, the current light in lux. */
TW_API float GetSensorLight(float defaultValue);
/* Stores NATURECOLOR MonitorId (InitMonitorId stores the driver's own). */
TW_API int SetMonitorId(int value);
/* NATURECOLOR MonitorId, the Intel device id of nature colour's ramps. */
TW_API int GetMonitorId(int defaultValue);
/* Stores NATURECOLOR SensorR. */
TW_API int SetSensorR(float value);
/* NATURECOLOR SensorR. */
TW_API float GetSensorR(float defaultValue);
/* Stores NATURECOLOR SensorG. */
TW_API int SetSensorG(float value);
/* NATURECOLOR SensorG. */
TW_API float GetSensorG(float defaultValue);
/* Stores NATURECOLOR SensorB. */
TW_API int SetSensorB(float value);
/* NATURECOLOR SensorB. */
TW_API float GetSensorB(float defaultValue);
/* NATURECOLOR IsInitAmbientCct; 1 makes the next reading only the reference. */
TW_API int GetIsInitAmbientCct(int defaultValue);
/* Stores NATURECOLOR IsInitAmbientCct (also written by SetDefaultNatureColor and readings). */
TW_API int SetIsInitAmbientCct(int value);

/* Nature colour (docs/integration-guide.md, section 6). */
/* Appends a row to the CCT mapping table: kelvin to red, green and blue gains; add the rows
 * in ascending CCT. */
TW_API void AddCctMappingInfo(float cct, double r, double g, double b);
/* Empties the CCT mapping table. */
TW_API void ClearMappingInfo(void);
/* The circle gains times the white point gains (while enabled) times the table's gains for
 * the stored CCT (while nature colour is 1), largest 1: 0, or -1 (also for a null output). */
TW_API int MergeCircleCtAndSensorCt(float r, float g, float b, double* outR, double* outG,
                                    double* outB);
/* Configures transitions (frames, interval in ms, an unused flag, the CCT change that starts
 * one, the CCT in low light, the lux below which light is low) and records GetDisplayType. */
TW_API void SetNatureColorAll(unsigned int frameCount, unsigned int frameIntervalMs,
                              unsigned int flag, float cctDiffThresh, float ctLowLuma,
                              float luminanceThresh);
/* Stores 5000 K and 300 lx, applies the merge through the Intel driver and makes the next
 * reading only the reference: 0, -1 (no colour settings), -7 (no MonitorId) or -101. */
TW_API int SetDefaultNatureColor(void);

/* Nature colour's measurements. Readings arrive on threads of the system and reach the engine
 * only while the status is non-zero (docs/threads-and-unloading.md, threads-and-com.md). */
/* Subscribes to the light sensors: type 0 lux and kelvin from them, type 1 lux from them and
 * kelvin from firmware events. 0, -1, or for type 1 the firmware monitor's start result. */
TW_API int StartMonitorNatureColor(unsigned int type);
/* Lets readings through (non-zero) or ignores them (0, the state after loading). */
TW_API void SetNatureColorStatus(unsigned int status);
/* Ends the subscription, on the thread that subscribed and before unloading: 0, -1 for an
 * unknown type, or for type 1 the firmware monitor's stop result. */
TW_API int UninstallNatureColorObject(unsigned int type);

/* The panel's factory 3D lookup tables (docs/lut-management.md). */
/* Keeps the golden file's path, appended to the host executable's folder: 0, -1 for null. */
TW_API int SetColorFieldGoldenFilePath(const char* path);
/* Keeps the folder prefix of the golden source's cache files: 0, -1 for null. */
TW_API int SetColorFieldTempLutFilePath(const char* path);
/* Loads the identity table into the Intel driver and restores it, which switches the
 * hardware table off: 0, or -1. */
TW_API int ResetDisplayerLut3D(void);
/* With setType 1, refreshes the mode's cache file: 0 when the panel no longer matches the
 * table (or the refresh failed), -1 when it matches or setType is not 1. */
TW_API int IsLcdChanged(unsigned int mode, unsigned int setType);

/* Gamut switching, mode 1 sRGB, 2 P3, 3 Adobe RGB (docs/gamut-switching.md). */
/* Verifies, installs and associates the ICC profile, then switches the display on the road
 * of COLORFIELD SetType: 0 done, 1 profile missing, 2 not verified or installed, 3 refused. */
TW_API int SetColorFieldMode(unsigned int mode, const char* pIccFilePath,
                             const char* pIccCheckFilePath);
/* Copies the main monitor's default profile name into 1024 bytes (left as it is when the name
 * does not fit): 0, or -1. */
TW_API int GetCurrentIccFileName(char* pIccFileName);
/* Switches only the display, 0 by DDC/CI or 1 by the 3D table: 0, or 3. */
TW_API int SetDisplayerColorField(unsigned int mode, unsigned int setType);

/* Factory white point calibration (docs/white-point.md). */
/* Validates the firmware's record against the panel's EDID, else takes the golden text: 0
 * once a record is in place (it then stays), -1. */
TW_API int InitWhitePointInfo(void);
/* Keeps the golden record for the next InitWhitePointInfo: 0, -1 for null. */
TW_API int SetWhitePointGoldenData(const char* text);
/* Stores the gains that move the measured white to D65 as WHITEPOINT WhitePointR/G/B and
 * applies them merged on the Intel road: 0, or -1 (no record, unsound gains, no settings). */
TW_API int SetWhitePointForIntel(void);
/* Applies the merge without the white point gains, which stay stored: 0, or -1. */
TW_API int ResetWhitePointForIntel(void);
/* Sets the measured white and primaries as a custom gamut on every mapped AMD display (after
 * InitAdlGamut and InitWhitePointInfo): the last display's 0, or -1. */
TW_API int SetWhitePointForAmd(void);
/* Sets the predefined gamut back on every mapped AMD display: the last display's 0, or -1. */
TW_API int ResetWhitePointForAmd(void);

/* Port status and data report. */
/* The firmware's display-port status, or -1 when the firmware gave none. */
TW_API int GetDpStatus(void);
/* Hands the status to the firmware: its own result, 0 when it took it. */
TW_API int SetDpStatus(int status);
/* Appends a report of the two texts to a local spool file (a null text counts as empty): 1
 * written, 0 not. */
TW_API int DataReportUpload(const char* first, const char* second);

/* Extensions beyond the 118 exports: the colour the user chose stays on the screen
 * (docs/integration-guide.md, section 15). What the library applied in this process is read
 * back road by road; each bit below marks a road whose target does not hold what was applied
 * (or could not be read), or a road that cannot be read back at all. */
#define TW_COLOR_STATE_GAMMA_RAMP 0x01u       /* a display's gamma ramp */
#define TW_COLOR_STATE_MONITOR_GAINS 0x02u    /* a monitor's DDC/CI gains */
#define TW_COLOR_STATE_GAMUT_PROFILE 0x04u    /* the monitor's default ICC profile */
#define TW_COLOR_STATE_AMD_GAMUT 0x08u        /* an AMD display's gamut */
#define TW_COLOR_STATE_DRIFTED 0xFFu          /* the roads above */
#define TW_COLOR_STATE_INTEL_DRIVER 0x100u    /* applied through the Intel driver: no read */
#define TW_COLOR_STATE_HARDWARE_LIBRARY 0x200u /* through the maker's hardware library: no read */
#define TW_COLOR_STATE_ADL_NOT_LOADED 0x400u  /* AMD gamuts applied, ADL not loaded to read them */
#define TW_COLOR_STATE_NOT_VERIFIABLE 0xF00u  /* the roads above */
/* Reads back every road the library applied in this process and sets `*drifted` to the bits of
 * the roads that do not hold it and of those that cannot be read back; 0 when all holds (or
 * nothing was applied). 0, or -1 with a log line when `drifted` is null or nothing applied could
 * be read. */
TW_API int VerifyColorState(unsigned int* drifted);
/* Applies again the latest colour temperature, white point, gamut display side and nature
 * colour frame this process applied, in the order they were applied; the gamut's display side
 * comes from the stored settings when this process switched none. 0, or the first failure. */
TW_API int RestoreColorState(void);
/* Starts the library's guard thread: every `intervalMs` (100 … 3600000) it verifies, and puts
 * back what drifted. A road put back three times within a minute is left alone, with one
 * warning, until RestoreColorState or a new start. 0; -1 for an interval out of range or no
 * thread. A second start only changes the interval. */
TW_API int StartColorStateGuard(unsigned int intervalMs);
/* Stops the guard after the pass in progress: 0; -1 when none was running. */
TW_API int StopColorStateGuard(void);

#ifdef __cplusplus
}
#endif

#endif /* TINTWELL_TINTWELL_H */
