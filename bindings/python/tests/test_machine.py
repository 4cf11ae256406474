"""The binding's calls as they reach the simulated machine: the settings file,
the machine's names, the merged gains and the log."""

import json
import re
import unittest

import tintwell
from machine import EXAMPLE_MACHINES, SimulatedMachine

PROFILE_NAME = "Écran usine.icm"
PANEL = "MONITOR\\BOE0C8B\\{4d36e96e-e325-11ce-bfc1-08002be10318}\\0001"


def laptop_with_profile():
    """The default laptop with a profile associated with its panel."""
    description = json.loads((EXAMPLE_MACHINES / "default-laptop.json").read_text())
    description["colorManagement"] = {
        "profiles": [{"name": PROFILE_NAME, "make": "DisplayP3"}],
        "associations": [{"device": PANEL, "profile": PROFILE_NAME, "scope": "user"}],
    }
    return description


class SettingsTest(unittest.TestCase):
    def test_values_reach_the_ini_file_and_read_back(self):
        machine = SimulatedMachine(self)
        machine.write_settings(
            """\
            [CIRCLE]
            RadiusScale=Café
            """
        )
        results = machine.run(
            """
            result = [tw.SetTemperatureConfig(6500), tw.SetCircleAngle(12.5),
                      tw.SetCircleR(0.875), tw.SetWhitePointG(0.25),
                      tw.GetTemperatureConfig(0), tw.GetWhitePointG(1.0), tw.GetCircleB(0.5),
                      tw.circle_str_angle(), tw.circle_str_r(), tw.circle_str_radius_scale(),
                      tw.circle_str_g()]
            """
        )
        self.assertEqual(results, [0, 0, 0, 0, 6500, 0.25, 0.5, "12.5", "0.875", "Café", None])
        settings = machine.settings()
        self.assertEqual(settings["TEMPERATURE"]["CurrentTemperature"], "6500")
        self.assertEqual(
            dict(settings["CIRCLE"]), {"RadiusScale": "Café", "Angle": "12.5", "R": "0.875"}
        )
        self.assertEqual(settings["WHITEPOINT"]["WhitePointG"], "0.25")


class MachineNamesTest(unittest.TestCase):
    def test_device_type(self):
        snippet = "result = [tw.device_type(), tw.IsDesktopComputer()]"
        self.assertEqual(SimulatedMachine(self).run(snippet), ["", False])
        desktop = SimulatedMachine(self, "desktop-makers-monitor.json")
        self.assertEqual(desktop.run(snippet), ["Talvik", True])

    def test_current_icc_file_name(self):
        laptop = SimulatedMachine(self, laptop_with_profile())
        self.assertEqual(laptop.run("result = tw.current_icc_file_name()"), PROFILE_NAME)
        refused = SimulatedMachine(self).run(
            """
            try:
                tw.current_icc_file_name()
            except tintwell.TintwellError as error:
                result = [error.function, error.result]
            """
        )
        self.assertEqual(refused, ["GetCurrentIccFileName", -1])


class RefusalsTest(unittest.TestCase):
    def test_refused_write_is_reported_and_logged(self):
        machine = SimulatedMachine(self, "settings-write-denied.json")
        self.assertEqual(machine.run("result = tw.SetTemperatureConfig(6500)"), -1)
        self.assertFalse(machine.ini_file.exists())
        refusal = "[3] set key:CurrentTemperature in section:TEMPERATURE"
        lines = machine.log_lines()
        self.assertTrue(any(refusal in line for line in lines), lines)

    def test_missing_profile_is_named_in_the_ansi_code_page(self):
        machine = SimulatedMachine(self)
        profile, digest = "C:\\Profils\\Écran P3.icc", "C:\\Profils\\p3.sha"
        results = machine.run(
            f"""
            result = [tw.SetColorFieldMode(2, {profile!r}, {digest!r}),
                      tw.SetColorFieldMode(2, None, None)]
            """
        )
        self.assertEqual(results, [1, 1])
        lines = machine.log_lines()
        self.assertTrue(any(f"Icc File:{profile} Not Found!" in line for line in lines), lines)
        self.assertTrue(any("pIccCheckFilePath is nullptr!" in line for line in lines), lines)


class NatureColorTest(unittest.TestCase):
    def test_merge_returns_the_normalised_gains_in_order(self):
        merged, refused = SimulatedMachine(self).run(
            """
            tw.SetIsEnableWhitePoint(1)
            tw.SetWhitePointR(1.0); tw.SetWhitePointG(0.9); tw.SetWhitePointB(0.5)
            tw.SetIsNatureColor(1)
            tw.SetSensorColor(5000.0); tw.SetSensorLight(300.0)
            for row in [(4000.0, 1.0, 1.0, 1.0), (5000.0, 0.5, 1.0, 0.8), (6000.0, 1.0, 1.0, 1.0)]:
                tw.AddCctMappingInfo(*row)
            result = [tw.merge_circle_ct_and_sensor_ct(0.8, 1.0, 0.9),
                      tw.MergeCircleCtAndSensorCt(1.0, 1.0, 1.0, None, None, None)]
            """
        )
        # circle x white point x table: (0.4, 0.9, 0.36), over its largest
        for actual, expected in zip(merged, (0.4 / 0.9, 1.0, 0.4)):
            self.assertAlmostEqual(actual, expected, places=5)
        self.assertEqual(refused, -1)


class LogTest(unittest.TestCase):
    def test_wide_text_reaches_the_log_as_given(self):
        machine = SimulatedMachine(self)
        text = "Kalibrierung läuft ✓ 🌈"
        self.assertEqual(machine.run(f"result = tw.LcdLogMessage(2, {text!r})"), 0)
        line = r"^\d{4}-\d\d-\d\dT[\d:.]+Z \[2\] " + re.escape(text) + "$"
        self.assertRegex(machine.log_lines()[-1], line)
