"""Fresh simulated machines for the binding's tests.

The library reads its machine description once per process and keeps its
settings objects for the life of the process, so every machine runs its
snippets in a Python process of its own, with its own root (a fresh folder
inside $TINTWELL_ROOT) and log file.
"""

import configparser
import json
import os
import subprocess
import sys
import tempfile
import textwrap
from pathlib import Path

BINDING_DIR = Path(__file__).resolve().parents[1]
REPOSITORY = BINDING_DIR.parents[1]
EXAMPLE_MACHINES = REPOSITORY / "examples" / "machines"
SETTINGS_FOLDER = Path("C", "ProgramData", "Vozaz", "OrvLumivex")
SNIPPET_TIMEOUT_SECONDS = 120
# The simulated machine keeps its INI files in its ANSI code page.
INI_ENCODING = "cp1252"

# Runs the snippet from stdin, with the loaded library as `tw` unless told
# "unloaded"; whatever it leaves in `result` comes back as JSON on the last
# line.
_CHILD = """
import json, sys
import tintwell
scope = {"tintwell": tintwell}
if sys.argv[1] != "unloaded":
    scope["tw"] = tintwell.load()
exec(sys.stdin.read(), scope)
print(json.dumps(scope.get("result")))
"""


class SimulatedMachine:
    """`description`: None for the built-in default laptop, the file name of
    an example machine, or a dict written as the machine's own description.
    The settings folder exists, as an installer would have made it."""

    def __init__(self, testcase, description=None):
        base = os.environ.get("TINTWELL_ROOT")
        if base:
            Path(base).mkdir(parents=True, exist_ok=True)
        folder = tempfile.TemporaryDirectory(dir=base or None)
        testcase.addCleanup(folder.cleanup)
        self.root = Path(folder.name)
        self.log_file = self.root / "tintwell.log"
        self.ini_file = self.root / SETTINGS_FOLDER / "Tintwell.ini"
        self._description = self._description_file(description)
        self.ini_file.parent.mkdir(parents=True)

    def _description_file(self, description):
        if description is None:
            return None
        if isinstance(description, str):
            return EXAMPLE_MACHINES / description
        path = self.root / "machine.json"
        path.write_text(json.dumps(description), encoding="utf-8")
        return path

    def run(self, snippet, loaded=True, **environment):
        """Runs `snippet` in a new process on this machine and returns its
        `result`. Keyword arguments set (or with None, remove) environment
        variables of that process."""
        child_environment = self._environment()
        for name, value in environment.items():
            if value is None:
                child_environment.pop(name, None)
            else:
                child_environment[name] = value
        child = subprocess.run(
            [sys.executable, "-c", _CHILD, "loaded" if loaded else "unloaded"],
            input=textwrap.dedent(snippet),
            # Away from the source tree, so that PYTHONPATH alone decides
            # which package is imported.
            cwd=self.root,
            env=child_environment,
            capture_output=True,
            text=True,
            timeout=SNIPPET_TIMEOUT_SECONDS,
        )
        if child.returncode != 0:
            raise AssertionError(f"snippet failed ({child.returncode}):\n{child.stderr}")
        return json.loads(child.stdout.splitlines()[-1])

    def _environment(self):
        environment = dict(os.environ)
        environment["TINTWELL_ROOT"] = str(self.root)
        environment["TINTWELL_LOG_FILE"] = str(self.log_file)
        environment["PYTHONPATH"] = str(BINDING_DIR)
        environment.pop("TINTWELL_MACHINE", None)
        if self._description is not None:
            environment["TINTWELL_MACHINE"] = str(self._description)
        return environment

    def log_lines(self):
        return self.log_file.read_text(encoding="utf-8").splitlines()

    def write_settings(self, text):
        self.ini_file.write_text(textwrap.dedent(text), encoding=INI_ENCODING)

    def settings(self):
        """The INI file as it reached the machine, key names as spelt."""
        parser = configparser.ConfigParser(interpolation=None)
        parser.optionxform = str
        parser.read_string(self.ini_file.read_text(encoding=INI_ENCODING))
        return parser
