"""ctypes binding of TintwellDll for test automation.

    import tintwell
    tw = tintwell.load()
    tw.SetTemperatureConfig(6500)        # every export, by its C name
    tw.device_type()                     # text getters return str
    tw.merge_circle_ct_and_sensor_ct(1.0, 0.9, 0.8)   # -> (r, g, b)
"""

import ctypes
import os
import sys
from pathlib import Path

from ._exports import ANSI_ENCODING, SIGNATURES

__all__ = [
    "ANSI_ENCODING",
    "LIBRARY_FILE_NAME",
    "LIBRARY_VARIABLE",
    "LibraryNotFoundError",
    "SIGNATURES",
    "Tintwell",
    "TintwellError",
    "load",
]

LIBRARY_FILE_NAME = "TintwellDll.dll" if sys.platform == "win32" else "libTintwellDll.so"
LIBRARY_VARIABLE = "TINTWELL_LIBRARY"

# The library copies at most 1023 bytes and a terminator into the buffers of
# GetDeviceType and GetCurrentIccFileName; the settings store reads no value
# longer than that either.
TEXT_BUFFER_SIZE = 1024


class LibraryNotFoundError(OSError):
    """No TintwellDll could be loaded from any of the places searched."""


class TintwellError(Exception):
    """An export refused the call; `result` is what it returned."""

    def __init__(self, function, result):
        super().__init__(f"{function} failed with {result}")
        self.function = function
        self.result = result


class Tintwell:
    """One loaded TintwellDll: each export is an attribute of its C name, with
    its argument and result types declared; the snake_case methods turn the
    buffer and pointer exports into Python values."""

    def __init__(self, path):
        self.path = str(path)
        self.library = ctypes.CDLL(self.path)
        for name, (restype, argtypes) in SIGNATURES.items():
            function = getattr(self.library, name)
            function.restype = restype
            function.argtypes = argtypes
            setattr(self, name, function)

    def device_type(self):
        """The device's code name; empty when the machine names none."""
        buffer = ctypes.create_string_buffer(TEXT_BUFFER_SIZE)
        self.GetDeviceType(buffer)
        return _decode(buffer)

    def current_icc_file_name(self):
        """The main monitor's default colour profile, a file name; empty when
        the name is too long for the library to copy."""
        buffer = ctypes.create_string_buffer(TEXT_BUFFER_SIZE)
        _check("GetCurrentIccFileName", self.GetCurrentIccFileName(buffer))
        return _decode(buffer)

    def circle_str_angle(self):
        return self._setting_text(self.GetCircleStrAngle)

    def circle_str_radius_scale(self):
        return self._setting_text(self.GetCircleStrRadiusScale)

    def circle_str_r(self):
        return self._setting_text(self.GetCircleStrR)

    def circle_str_g(self):
        return self._setting_text(self.GetCircleStrG)

    def circle_str_b(self):
        return self._setting_text(self.GetCircleStrB)

    def merge_circle_ct_and_sensor_ct(self, r, g, b):
        """The circle gains merged with the white point and nature colour
        gains, normalised: a tuple (r, g, b)."""
        outputs = [ctypes.c_double() for _ in range(3)]
        pointers = [ctypes.byref(output) for output in outputs]
        _check("MergeCircleCtAndSensorCt", self.MergeCircleCtAndSensorCt(r, g, b, *pointers))
        return tuple(output.value for output in outputs)

    @staticmethod
    def _setting_text(getter):
        """A settings key's value as stored, or None when it is missing or
        empty."""
        buffer = ctypes.create_string_buffer(TEXT_BUFFER_SIZE)
        if getter(buffer, TEXT_BUFFER_SIZE) != 0:
            return None
        return _decode(buffer)


def load(path=None):
    """Loads TintwellDll from `path`, else from $TINTWELL_LIBRARY, else from
    beside this package, else by its file name through the system loader."""
    if path is not None:
        return Tintwell(path)
    from_environment = os.environ.get(LIBRARY_VARIABLE)
    if from_environment:
        return Tintwell(from_environment)
    beside = Path(__file__).resolve().parent / LIBRARY_FILE_NAME
    if beside.is_file():
        return Tintwell(beside)
    try:
        return Tintwell(LIBRARY_FILE_NAME)
    except OSError as error:
        raise LibraryNotFoundError(
            f"{LIBRARY_FILE_NAME} is neither named by {LIBRARY_VARIABLE}, nor beside "
            f"{beside.parent}, nor on the loader's path: {error}"
        ) from error


def _check(function, result):
    if result != 0:
        raise TintwellError(function, result)


def _decode(buffer):
    return buffer.value.decode(ANSI_ENCODING, errors="replace")
