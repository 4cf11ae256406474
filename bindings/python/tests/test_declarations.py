"""The binding against the library's own lists: the export list the library
is linked from, the C header its callers compile against, the built file."""

import ctypes
import os
import re
import shutil
import unittest

import tintwell
from machine import BINDING_DIR, REPOSITORY, SimulatedMachine
from tintwell._exports import AnsiText

EXPORT_LIST = REPOSITORY / "src" / "frame" / "export_list.h"
HEADER = REPOSITORY / "include" / "tintwell" / "tintwell.h"

C_TYPES = {
    "void": None,
    "int": ctypes.c_int,
    "unsigned int": ctypes.c_uint,
    "float": ctypes.c_float,
    "double": ctypes.c_double,
    "bool": ctypes.c_bool,
    "char*": ctypes.POINTER(ctypes.c_char),
    "double*": ctypes.POINTER(ctypes.c_double),
    "unsigned int*": ctypes.POINTER(ctypes.c_uint),
    "const char*": AnsiText,
    "const wchar_t*": ctypes.c_wchar_p,
}


def header_signatures():
    """name: (C result type, [C parameter types]) for each TW_API function."""
    text = re.sub(r"/\*.*?\*/", "", HEADER.read_text(), flags=re.S)
    signatures = {}
    for result, name, parameters in re.findall(r"TW_API\s+([\w ]+?\**)\s*(\w+)\(([^)]*)\);", text):
        types = []
        for parameter in parameters.split(","):
            words = " ".join(parameter.split())
            if words != "void":
                # Drop the parameter's name; keep its type, stars included.
                types.append(re.sub(r"\s*\b\w+$", "", words).replace(" *", "*"))
        signatures[name] = (result, types)
    return signatures


class DeclarationsTest(unittest.TestCase):
    def test_names_are_exactly_the_export_list(self):
        listed = re.findall(r"^TW_EXPORT\((\w+)\)", EXPORT_LIST.read_text(), flags=re.M)
        self.assertEqual(len(listed), len(set(listed)))
        self.assertEqual(sorted(tintwell.SIGNATURES), sorted(listed))

    def test_types_follow_the_header(self):
        declared = header_signatures()
        self.assertEqual(sorted(declared), sorted(tintwell.SIGNATURES))
        for name, (result, parameters) in declared.items():
            with self.subTest(name):
                expected = (C_TYPES[result], [C_TYPES[p] for p in parameters])
                self.assertEqual(tintwell.SIGNATURES[name], expected)


class LoadingTest(unittest.TestCase):
    library = os.environ[tintwell.LIBRARY_VARIABLE]

    def test_explicit_path_and_environment(self):
        # Loading resolves every declared name in the built library.
        self.assertEqual(tintwell.load(self.library).path, self.library)
        self.assertEqual(tintwell.load().path, self.library)
        with self.assertRaises(OSError):
            tintwell.load(self.library + ".missing")

    def test_library_beside_the_package(self):
        machine = SimulatedMachine(self)
        package = machine.root / "site" / "tintwell"
        shutil.copytree(BINDING_DIR / "tintwell", package)
        shutil.copy(self.library, package / tintwell.LIBRARY_FILE_NAME)
        found = machine.run(
            "result = [tw.path, tw.GetDisplayType()]",
            TINTWELL_LIBRARY=None,
            PYTHONPATH=str(package.parent),
        )
        self.assertEqual(found, [str(package / tintwell.LIBRARY_FILE_NAME), 0])

    def test_nowhere_to_be_found(self):
        # A process of its own: in this one the library is loaded already, and
        # the loader would find it by its name. An empty variable counts as
        # unset, and the source package holds no library.
        refused = SimulatedMachine(self).run(
            """
            try:
                tintwell.load()
            except tintwell.LibraryNotFoundError as error:
                result = str(error)
            """,
            loaded=False,
            TINTWELL_LIBRARY="",
        )
        self.assertIn(tintwell.LIBRARY_VARIABLE, refused)
