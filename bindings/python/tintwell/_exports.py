"""The C signature of every export of TintwellDll, as ctypes sees it.

Kept in the header's order and grouping, so that a change to one is easy to
carry into the other; the tests compare both the names and the types with
the library's own lists.
"""

import ctypes
import sys

# The library's narrow text (paths, device type, profile names, settings read
# as text) is in the ANSI code page: the system's on Windows, Windows-1252 on
# the simulated machine.
ANSI_ENCODING = "mbcs" if sys.platform == "win32" else "cp1252"


class AnsiText:
    """A `const char*` argument: takes str (encoded in the ANSI code page),
    bytes, or None for a null pointer."""

    @classmethod
    def from_param(cls, value):
        if isinstance(value, str):
            value = value.encode(ANSI_ENCODING)
        return ctypes.c_char_p.from_param(value)


_void = None
_int = ctypes.c_int
_uint = ctypes.c_uint
_float = ctypes.c_float
_double = ctypes.c_double
_bool = ctypes.c_bool
_wide_in = ctypes.c_wchar_p
_text_in = AnsiText
# A caller's buffer the library writes into: a ctypes.create_string_buffer,
# never an immutable bytes object.
_text_out = ctypes.POINTER(ctypes.c_char)
_double_out = ctypes.POINTER(ctypes.c_double)
_uint_out = ctypes.POINTER(ctypes.c_uint)

_GAINS = [_float, _float, _float, _uint, _double]

# name: (restype, argtypes)
SIGNATURES = {
    # Frame and logging.
    "EnterColorObject": (_void, []),
    "ExitColorObject": (_void, []),
    "LcdLogMessage": (_int, [_int, _wide_in]),
    "StopLogger": (_void, []),
    # Detection of the display hardware.
    "GetDisplayType": (_int, []),
    "GetPhyMonitorCount": (_int, []),
    "GetDeviceType": (_void, [_text_out]),
    "IsDesktopComputer": (_bool, []),
    "HaveOrvMonitor": (_bool, []),
    "InitMonitorId": (_void, []),
    # Colour temperature.
    "SetTemperature": (_int, [_int, _int]),
    "SetColorAdjust": (_int, [_int, _int]),
    "SetTemperatureForIntel": (_int, _GAINS),
    "SetTemperatureForNvidia": (_int, _GAINS),
    "SetTemperatureForDesktopComputer": (_int, _GAINS),
    "SetColorEnhance": (_int, [_bool]),
    # The AMD display library.
    "InitAdlGamut": (_void, []),
    "UninitAdlGamut": (_void, []),
    "SetTemperatureForAMD": (_int, _GAINS),
    # Settings: one INI key each.
    "GetTemperatureConfig": (_int, [_int]),
    "SetTemperatureConfig": (_int, [_int]),
    "GetTemperatureSliderConfig": (_int, [_int]),
    "SetTemperatureSliderConfig": (_int, [_int]),
    "GetTemperatureDefaultConfig": (_int, [_int]),
    "GetTemperatureSliderDefaultConfig": (_int, [_int]),
    "GetCircleAngle": (_double, [_double]),
    "GetCircleStrAngle": (_int, [_text_out, _int]),
    "SetCircleAngle": (_int, [_double]),
    "GetCircleRadiusScale": (_double, [_double]),
    "GetCircleStrRadiusScale": (_int, [_text_out, _int]),
    "SetCircleRadiusScale": (_int, [_double]),
    "GetCircleR": (_double, [_double]),
    "GetCircleStrR": (_int, [_text_out, _int]),
    "SetCircleR": (_int, [_double]),
    "GetCircleG": (_double, [_double]),
    "GetCircleStrG": (_int, [_text_out, _int]),
    "SetCircleG": (_int, [_double]),
    "GetCircleB": (_double, [_double]),
    "GetCircleStrB": (_int, [_text_out, _int]),
    "SetCircleB": (_int, [_double]),
    "GetCircleIsDefault": (_int, [_int]),
    "SetCircleIsDefault": (_int, [_int]),
    "GetCircleIsCold": (_int, [_int]),
    "SetCircleIsCold": (_int, [_int]),
    "GetCircleIsWarm": (_int, [_int]),
    "SetCircleIsWarm": (_int, [_int]),
    "GetIsEnableEyeProtect": (_int, [_int]),
    "SetIsEnableEyeProtect": (_int, [_int]),
    "GetEyeProtect": (_int, [_int]),
    "SetEyeProtect": (_int, [_int]),
    "GetIsEnableEyeProtectDefault": (_int, [_int]),
    "GetEyeProtectDefault": (_int, [_int]),
    "GetBlueProtect": (_int, [_int]),
    "SetBlueProtect": (_int, [_int]),
    "GetBlueProtectSlider": (_int, [_int]),
    "SetBlueProtectSlider": (_int, [_int]),
    "GetBlueProtectDefault": (_int, [_int]),
    "GetBlueProtectSliderDefault": (_int, [_int]),
    "GetIsEnableWhitePoint": (_int, [_int]),
    "SetIsEnableWhitePoint": (_int, [_int]),
    "GetIsFirstAdjust": (_int, [_int]),
    "SetIsFirstAdjust": (_int, [_int]),
    "SetWhitePointR": (_int, [_float]),
    "GetWhitePointR": (_float, [_float]),
    "SetWhitePointG": (_int, [_float]),
    "GetWhitePointG": (_float, [_float]),
    "SetWhitePointB": (_int, [_float]),
    "GetWhitePointB": (_float, [_float]),
    "GetCurrentDpInOutMode": (_int, [_int]),
    "SetCurrentDpInOutMode": (_int, [_int]),
    "GetCurrentColorFieldMode": (_int, [_int]),
    "SetGetCurrentColorFieldMode": (_int, [_int]),
    "GetIsColorFieldFirstDefaultAdjust": (_int, [_int]),
    "SetIsColorFieldFirstDefaultAdjust": (_int, [_int]),
    "GetResetColorFieldMode": (_int, [_int]),
    "SetResetColorFieldMode": (_int, [_int]),
    "GetColorFieldSetType": (_int, [_int]),
    "SetColorFieldSetType": (_int, [_int]),
    "GetIsNatureColor": (_int, [_int]),
    "SetIsNatureColor": (_int, [_int]),
    "SetSensorColor": (_int, [_float]),
    "GetSensorColor": (_float, [_float]),
    "SetSensorLight": (_int, [_float]),
    "GetSensorLight": (_float, [_float]),
    "SetMonitorId": (_int, [_int]),
    "GetMonitorId": (_int, [_int]),
    "SetSensorR": (_int, [_float]),
    "GetSensorR": (_float, [_float]),
    "SetSensorG": (_int, [_float]),
    "GetSensorG": (_float, [_float]),
    "SetSensorB": (_int, [_float]),
    "GetSensorB": (_float, [_float]),
    "GetIsInitAmbientCct": (_int, [_int]),
    "SetIsInitAmbientCct": (_int, [_int]),
    # Nature colour.
    "AddCctMappingInfo": (_void, [_float, _double, _double, _double]),
    "ClearMappingInfo": (_void, []),
    "MergeCircleCtAndSensorCt": (
        _int,
        [_float, _float, _float, _double_out, _double_out, _double_out],
    ),
    "SetNatureColorAll": (_void, [_uint, _uint, _uint, _float, _float, _float]),
    "SetDefaultNatureColor": (_int, []),
    "StartMonitorNatureColor": (_int, [_uint]),
    "SetNatureColorStatus": (_void, [_uint]),
    "UninstallNatureColorObject": (_int, [_uint]),
    # The panel's factory 3D lookup tables.
    "SetColorFieldGoldenFilePath": (_int, [_text_in]),
    "SetColorFieldTempLutFilePath": (_int, [_text_in]),
    "ResetDisplayerLut3D": (_int, []),
    "IsLcdChanged": (_int, [_uint, _uint]),
    # Gamut switching.
    "SetColorFieldMode": (_int, [_uint, _text_in, _text_in]),
    "GetCurrentIccFileName": (_int, [_text_out]),
    "SetDisplayerColorField": (_int, [_uint, _uint]),
    # Factory white point calibration.
    "InitWhitePointInfo": (_int, []),
    "SetWhitePointGoldenData": (_int, [_text_in]),
    "SetWhitePointForIntel": (_int, []),
    "ResetWhitePointForIntel": (_int, []),
    "SetWhitePointForAmd": (_int, []),
    "ResetWhitePointForAmd": (_int, []),
    # Port status and data report.
    "GetDpStatus": (_int, []),
    "SetDpStatus": (_int, [_int]),
    "DataReportUpload": (_int, [_text_in, _text_in]),
    # Beyond the 118: the colour the user chose stays on the screen.
    "VerifyColorState": (_int, [_uint_out]),
    "RestoreColorState": (_int, []),
    "StartColorStateGuard": (_int, [_uint]),
    "StopColorStateGuard": (_int, []),
}
