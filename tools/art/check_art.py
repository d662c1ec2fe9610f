#!/usr/bin/env python3
"""Checks the rendered art against what the program's drawing code relies on.

- Every button strip is four equal, distinct frames (normal, hover, pressed, inactive).
- Transparent pixels are exactly magenta, and no pixel is a blend towards magenta: a
  pink fringe would show around the buttons because only the exact colour is keyed out.
- The skins have the sizes the windows are laid out for; the browser and updater skins
  carry their close marks inside the close marks' hot areas, and the updater's black state
  text has a light panel behind it.
- Icons hold the sizes the program and the shell ask for.
Sizes and places come from geometry.py: the constants the dialogs compile with and their
dialog templates.
Exit status 0 when everything holds; otherwise every fault is printed.
"""

import os
import sys

from PIL import Image

sys.dont_write_bytecode = True  # the build leaves the source tree as it was
from geometry import ART, MAIN_DIALOG, UPDATER_DIALOG, dlu  # noqa: E402

MAGENTA = (255, 0, 255)
CATEGORY_FRAME = (ART["kCategoryFrameWidth"], ART["kCategoryFrameHeight"])
STRIPS = {  # name: frame size
    **{name: CATEGORY_FRAME for name in ("spyware", "toolbar", "messenger", "p2p", "allprograms", "bho", "startup",
                                         "activex", "copyright")},
    "remove": (ART["kRemoveFrameWidth"], ART["kRowFrameHeight"]),
    **{name: (ART["kSmallFrameWidth"], ART["kRowFrameHeight"]) for name in ("search", "info", "exit")},
}
PLAIN = {"loading": (ART["kSplashWidth"], ART["kSplashHeight"]),
         "help": (ART["kHelpSkinWidth"], ART["kHelpSkinHeight"]),
         "header": (ART["kHeaderSkinWidth"], ART["kHeaderSkinHeight"]),
         "background": dlu(*MAIN_DIALOG.size),
         "updater": (ART["kUpdaterSkinWidth"], ART["kUpdaterSkinHeight"])}
ICONS = {"tarnock": {16, 32, 48, 256}, "info": {16, 32, 48}, "menu": {16, 32, 48}, "website": {16, 32, 48},
         "update": {16, 32, 48}, "style": {16, 32, 48}, "program": {16, 32, 48}}
CLOSE_MARK = ART.rect("kHelpClose")  # inclusive, as the browser dialog's click test has it
UPDATER_CLOSE = ART.rect("kUpdaterClose")  # inclusive, as the updater's click test has it
UPDATER_TEXT = UPDATER_DIALOG.pixels("IDC_STATE_TEXT")  # the state line, drawn black without a background


def near_magenta(p):
    r, g, b = p
    return p != MAGENTA and r > 150 and b > 150 and g < 100 and abs(r - b) < 80


def check_strip(faults, name, img, frame_size):
    w, h = img.size
    if (w, h) != (frame_size[0] * 4, frame_size[1]):
        faults.append(f"{name}: {w}x{h}, expected four frames of {frame_size[0]}x{frame_size[1]}")
        return
    fw = w // 4
    frames = [img.crop((i * fw, 0, (i + 1) * fw, h)) for i in range(4)]
    for i in range(4):
        for j in range(i + 1, 4):
            if frames[i].tobytes() == frames[j].tobytes():
                faults.append(f"{name}: frames {i} and {j} are the same")
    px = img.load()
    magenta = 0
    for y in range(h):
        for x in range(w):
            p = px[x, y]
            if p == MAGENTA:
                magenta += 1
            elif near_magenta(p):
                faults.append(f"{name}: pixel ({x},{y}) {p} is a blend towards magenta")
                return
    if magenta == 0:
        faults.append(f"{name}: no transparent (magenta) pixel, the rounded corners are gone")
    for i in range(4):
        if px[i * fw, 0] != MAGENTA or px[i * fw + fw - 1, h - 1] != MAGENTA:
            faults.append(f"{name}: frame {i} does not leave its corners transparent")
        if px[i * fw + fw // 2, h // 2] == MAGENTA:
            faults.append(f"{name}: frame {i} is transparent in its middle")


def check_close_mark(faults, img):
    x0, y0, x1, y1 = CLOSE_MARK
    title = img.getpixel((x0 - 8, (y0 + y1) // 2))
    inside = {img.getpixel((x, y)) for x in range(x0, x1 + 1) for y in range(y0, y1 + 1)}
    bright = [p for p in inside if min(p) > 230]
    if not bright or min(title) > 200:
        faults.append(f"help: no light close mark on the dark title band at x {x0}-{x1}, y {y0}-{y1}")


def is_red(p):
    r, g, b = p
    return r > 180 and g < 90 and b < 120


def check_updater(faults, img):
    x0, y0, x1, y1 = UPDATER_CLOSE
    inside = [img.getpixel((x, y)) for x in range(x0, x1 + 1) for y in range(y0, y1 + 1)]
    red = sum(1 for p in inside if is_red(p))
    white = sum(1 for p in inside if min(p) > 230)
    if red < len(inside) // 3 or white < 8:
        faults.append(f"updater: no red close mark with a white cross at x {x0}-{x1}, y {y0}-{y1}")
    # the mark must not reach past its hot area, or a click on its edge would do nothing
    ring = [(x, y) for x in range(x0 - 3, x1 + 4) for y in range(y0 - 3, y1 + 4)
            if not (x0 <= x <= x1 and y0 <= y <= y1)]
    outside = [xy for xy in ring if is_red(img.getpixel(xy))]
    if outside:
        faults.append(f"updater: close mark reaches past its hot area at {outside[0]}")
    if min(img.getpixel((x0 - 8, (y0 + y1) // 2))) > 200:
        faults.append("updater: the title band around the close mark is not dark")
    tx0, ty0, tx1, ty1 = UPDATER_TEXT
    dark = [(x, y) for x in range(tx0, tx1) for y in range(ty0, ty1) if min(img.getpixel((x, y))) < 200]
    if dark:
        faults.append(f"updater: the panel behind the black state text is dark at {dark[0]}")


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: check_art.py ART_FOLDER")
    folder = sys.argv[1]
    faults = []

    def load(name):
        path = os.path.join(folder, name)
        if not os.path.isfile(path):
            faults.append(f"{name}: missing")
            return None
        return Image.open(path)

    for name, size in STRIPS.items():
        img = load(f"{name}.bmp")
        if img is not None:
            if img.mode != "RGB":
                faults.append(f"{name}.bmp: {img.mode}, expected 24-bit RGB")
            check_strip(faults, name, img.convert("RGB"), size)
    for name, size in PLAIN.items():
        img = load(f"{name}.bmp")
        if img is None:
            continue
        if img.size != size or img.mode != "RGB":
            faults.append(f"{name}.bmp: {img.size[0]}x{img.size[1]} {img.mode}, expected {size[0]}x{size[1]} RGB")
        elif name == "help":
            check_close_mark(faults, img.convert("RGB"))
        elif name == "updater":
            check_updater(faults, img.convert("RGB"))
    # The updater's skin covers its client area and the one more column and row of its region.
    client = dlu(*UPDATER_DIALOG.size)
    if PLAIN["updater"] != (client[0] + 1, client[1] + 1):
        faults.append(f"updater: skin size {PLAIN['updater']} does not fit the dialog's client area {client} plus one")
    for name, sizes in ICONS.items():
        img = load(f"{name}.ico")
        if img is not None:
            have = {w for w, h in img.info.get("sizes", set()) if w == h}
            if not sizes <= have:
                faults.append(f"{name}.ico: sizes {sorted(have)}, expected at least {sorted(sizes)}")

    for fault in faults:
        print(fault)
    print(f"check_art: {len(STRIPS)} strips, {len(PLAIN)} skins, {len(ICONS)} icons, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
