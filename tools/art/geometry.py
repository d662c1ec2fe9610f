"""The geometry the art is drawn for, read from where the program keeps it.

- resources/ArtGeometry.h: the skins' pixel sizes, the close marks, the splash, the strips'
  frames (the constants the dialogs compile with).
- The dialog templates (resources/main.rc, updater/TarnockUpdate.rc): where the windows put
  their controls, in dialog units.

A constant or control that is missing stops the script: art drawn for a guessed place would
not line up with the window.
"""

import os
import re
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
HEADER = os.path.join(ROOT, "resources", "ArtGeometry.h")
MAIN_RC = os.path.join(ROOT, "resources", "main.rc")
UPDATER_RC = os.path.join(ROOT, "updater", "TarnockUpdate.rc")

# Dialog units become pixels with the base units of the dialogs' font (9 point Korean UI
# font at 96 dpi: 7 x 14 pixels per 4 x 8 units).
BASE_X, BASE_Y = 7, 14

_CONSTANT = re.compile(r"^\s*inline\s+constexpr\s+int\s+(k\w+)\s*=\s*(-?\d+)\s*;")
_DIALOG = re.compile(r"^(\w+)\s+DIALOGEX\s+(-?\d+)\s*,\s*(-?\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*$")
_STRING = re.compile(r'"(?:[^"]|"")*"')


def dlu(x, y):
    """Dialog units to pixels, rounded as the dialog manager does."""
    return (x * BASE_X + 2) // 4, (y * BASE_Y + 4) // 8


def _fail(message):
    sys.exit(f"art geometry: {message}")


class Constants:
    def __init__(self, path):
        self.path = path
        self.values = {}
        with open(path, encoding="utf-8") as f:
            for line in f:
                m = _CONSTANT.match(line)
                if m:
                    self.values[m.group(1)] = int(m.group(2))

    def __getitem__(self, name):
        if name not in self.values:
            _fail(f"{name} is not defined in {self.path}")
        return self.values[name]

    def rect(self, prefix):
        """(left, top, right, bottom) of the constants prefix + Left/Top/Right/Bottom."""
        return tuple(self[prefix + side] for side in ("Left", "Top", "Right", "Bottom"))


class Dialog:
    """One DIALOGEX template: its size and its controls' rectangles, in dialog units."""

    def __init__(self, path, name):
        self.path, self.name = path, name
        self.size = None
        self.controls = {}
        inside = False
        with open(path, encoding="utf-8") as f:
            for line in f:
                m = _DIALOG.match(line.strip())
                if m:
                    inside = m.group(1) == name
                    if inside:
                        self.size = (int(m.group(4)), int(m.group(5)))
                    continue
                if not inside:
                    continue
                if line.strip() == "END":
                    break
                # "text", ID, ["class", style,] x, y, cx, cy[, style...]
                fields = [field.strip() for field in _STRING.sub('""', line).split(",")]
                if len(fields) < 2:
                    continue
                numbers = [int(field) for field in fields[2:] if re.fullmatch(r"-?\d+", field)]
                if len(numbers) >= 4:
                    self.controls.setdefault(fields[1], tuple(numbers[:4]))
        if self.size is None:
            _fail(f"no dialog {name} in {path}")

    def control(self, ident):
        """(x, y, cx, cy) of a control, in dialog units."""
        if ident not in self.controls:
            _fail(f"no control {ident} in {self.name} of {self.path}")
        return self.controls[ident]

    def pixels(self, ident):
        """(left, top, right, bottom) of a control in client pixels, right and bottom exclusive."""
        x, y, cx, cy = self.control(ident)
        return (*dlu(x, y), *dlu(x + cx, y + cy))


ART = Constants(HEADER)
MAIN_DIALOG = Dialog(MAIN_RC, "IDD_TARNOCK_DIALOG")
UPDATER_DIALOG = Dialog(UPDATER_RC, "IDD_UPDATE_DIALOG")

# The files the art depends on besides the scripts (the build re-renders when they change).
SOURCES = (HEADER, MAIN_RC, UPDATER_RC)
