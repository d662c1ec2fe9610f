#!/usr/bin/env python3
"""Renders every skin, button strip and icon of Tarnock into one folder.

The build runs this script; nothing it makes is kept in the source tree. The output only
depends on this file, the Nanum fonts and Pillow, so two runs give identical files.

Rules the program's drawing code relies on:
- Button strips hold four equal frames side by side: normal, hover, pressed, inactive.
  Pixels the button leaves unpainted are exactly magenta (0xFF00FF). Edges are blended
  onto the flat colour the button sits on, never onto magenta, so no pink fringe shows.
- "BMP" resources are whole 24-bit BMP files; the list header and the browser skin are
  plain bitmaps of the same format.
- Icons carry 32-bit images with alpha (and an AND mask for old systems).
"""

import argparse
import io
import math
import os
import struct
import sys

from PIL import Image, ImageDraw, ImageFont

sys.dont_write_bytecode = True  # the build leaves the source tree as it was
from geometry import ART, MAIN_DIALOG, UPDATER_DIALOG, dlu  # noqa: E402

SS = 4  # supersampling factor for shapes; text is drawn at its final size for hinted glyphs

# ---------------------------------------------------------------------------------------
# Palette: one blue accent, cool greys, a red for the destructive action.

BRAND = (37, 99, 235)
BRAND_DARK = (29, 78, 196)
BRAND_DEEP = (23, 52, 120)
BRAND_TINT = (232, 240, 254)
INK = (30, 41, 59)
MUTED = (100, 116, 139)
FAINT = (156, 166, 180)
LINE = (214, 221, 231)
LINE_SOFT = (226, 232, 240)
BODY = (240, 244, 249)       # the window's body, behind every button
WHITE = (255, 255, 255)
DISABLED_FILL = (233, 237, 242)
DISABLED_LINE = (221, 226, 233)
DISABLED_INK = (160, 170, 184)
DANGER = (225, 29, 72)
DANGER_DARK = (190, 18, 60)
DANGER_DEEP = (159, 18, 57)
MAGENTA = (255, 0, 255)

CATEGORY_COLOURS = {
    "spyware": (225, 29, 72),
    "toolbar": (234, 88, 12),
    "messenger": (22, 163, 74),
    "p2p": (8, 145, 178),
    "allprograms": (37, 99, 235),
    "bho": (124, 58, 237),
    "startup": (217, 119, 6),
    "activex": (71, 85, 105),
    "copyright": (5, 150, 105),
}

# ---------------------------------------------------------------------------------------
# Geometry of the main window, from its dialog template (geometry.py turns dialog units
# into pixels); the background is stretched to whatever the client area really is.

CLIENT_W, CLIENT_H = dlu(*MAIN_DIALOG.size)
LIST_X, LIST_Y, LIST_R, LIST_B = MAIN_DIALOG.pixels("IDC_RESULT_LIST")
ROW_Y = MAIN_DIALOG.pixels("IDC_REMOVE")[1]
CATEGORY_X = MAIN_DIALOG.pixels("IDC_SPYWARE")[0]

CATEGORY_SIZE = (ART["kCategoryFrameWidth"], ART["kCategoryFrameHeight"])
ROW_H = ART["kRowFrameHeight"]
SEARCH_X, INFO_X, EXIT_X = (MAIN_DIALOG.pixels(ident)[0] for ident in ("IDC_SEARCH", "IDC_INFO", "IDC_EXIT"))
SMALL_W = ART["kSmallFrameWidth"]
REMOVE_W = ART["kRemoveFrameWidth"]
HEADER_H = dlu(0, 38)[1]  # the white title area, down to just below the link buttons
HOVER_X0 = MAIN_DIALOG.pixels("IDC_STYLE")[0]  # left end of the first link button (it may grow a little)
TAGLINE = "깨끗한 PC를 위한 프로그램 정리"

# ---------------------------------------------------------------------------------------
# Fonts


class Fonts:
    def __init__(self, folder):
        self.folder = folder
        self.cache = {}

    def get(self, name, size):
        key = (name, size)
        if key not in self.cache:
            path = os.path.join(self.folder, name)
            if not os.path.isfile(path):
                sys.exit(f"render_art: font missing: {path} (install fonts-nanum)")
            self.cache[key] = ImageFont.truetype(path, size)
        return self.cache[key]

    def ui(self, size):
        return self.get("NanumGothic.ttf", size)

    def bold(self, size):
        return self.get("NanumGothicBold.ttf", size)

    def display(self, size):
        return self.get("NanumSquareB.ttf", size)


FONTS = None

# ---------------------------------------------------------------------------------------
# Drawing helpers


class Layer:
    """An RGBA drawing surface at SS times the final size, reduced when done."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.img = Image.new("RGBA", (w * SS, h * SS), (0, 0, 0, 0))
        self.draw = ImageDraw.Draw(self.img)

    @staticmethod
    def s(v):
        return round(v * SS)

    def box(self, x0, y0, x1, y1):
        return [self.s(x0), self.s(y0), self.s(x1) - 1, self.s(y1) - 1]

    def rrect(self, x0, y0, x1, y1, r, fill):
        """Filled rounded rectangle covering pixels x0..x1, y0..y1 (exclusive ends)."""
        self.draw.rounded_rectangle(self.box(x0, y0, x1, y1), radius=self.s(r), fill=fill)

    def rring(self, x0, y0, x1, y1, r, width, colour):
        """A rounded outline of `width` pixels inside the box."""
        mask = Image.new("L", self.img.size, 0)
        md = ImageDraw.Draw(mask)
        md.rounded_rectangle(self.box(x0, y0, x1, y1), radius=self.s(r), fill=255)
        md.rounded_rectangle(self.box(x0 + width, y0 + width, x1 - width, y1 - width),
                             radius=self.s(max(r - width, 0)), fill=0)
        self.img.paste(Image.new("RGBA", self.img.size, tuple(colour[:3]) + (255,)), (0, 0), mask)

    def ellipse(self, x0, y0, x1, y1, fill=None, outline=None, width=1):
        self.draw.ellipse(self.box(x0, y0, x1, y1), fill=fill,
                          outline=outline, width=self.s(width) if outline else 0)

    def line(self, points, colour, width, round_caps=True):
        pts = [(self.s(x), self.s(y)) for x, y in points]
        w = self.s(width)
        self.draw.line(pts, fill=colour, width=w, joint="curve")
        if round_caps:
            for x, y in (pts[0], pts[-1]):
                self.draw.ellipse([x - w / 2, y - w / 2, x + w / 2, y + w / 2], fill=colour)

    def polygon(self, points, fill):
        self.draw.polygon([(self.s(x), self.s(y)) for x, y in points], fill=fill)

    def arc(self, x0, y0, x1, y1, start, end, colour, width):
        self.draw.arc(self.box(x0, y0, x1, y1), start, end, fill=colour, width=self.s(width))

    def result(self):
        return self.img.reduce(SS)


def composite(base, layer, at=(0, 0)):
    """Alpha-blends an RGBA layer onto an RGB image."""
    base.paste(layer, at, layer)


def draw_text(img, xy, text, font, colour, anchor="ls", tracking=0.0):
    """Draws text; `tracking` adds space between letters (small Latin "rn" reads as "m")."""
    d = ImageDraw.Draw(img)
    if not tracking:
        d.text(xy, text, font=font, fill=colour, anchor=anchor)
        return
    x, y = xy
    for ch in text:
        d.text((x, y), ch, font=font, fill=colour, anchor=anchor)
        x += font.getlength(ch) + tracking


def text_width(font, text, tracking=0.0):
    if tracking:
        return math.ceil(sum(font.getlength(ch) + tracking for ch in text) - tracking)
    return math.ceil(font.getlength(text))


def fit(font, text, width):
    """Stops the build when a label would be clipped."""
    x0, _, x1, _ = font.getbbox(text, anchor="ls")
    if x1 - x0 > width:
        sys.exit(f"render_art: '{text}' needs {x1 - x0} pixels, only {width} available")


def centred_baseline(font, top, height):
    """Baseline that centres Korean and Latin capitals alike inside [top, top + height)."""
    _, y0, _, y1 = font.getbbox("한글AB", anchor="ls")
    return top + (height - (y1 - y0)) // 2 - y0


# ---------------------------------------------------------------------------------------
# Pictograms, drawn into a layer in a 16-unit grid scaled by `k` and moved by (ox, oy).


def glyph(layer, name, ox, oy, k, colour, stroke=1.6):
    def p(x, y):
        return (ox + x * k, oy + y * k)

    sw = stroke * k
    L = layer
    if name == "spyware":  # a bug: body with a wing split, head, three legs a side
        for y, dy in ((8, -2), (10.5, 0), (13, 2)):
            L.line([p(4.5, y), p(1.6, y + dy * 0.6)], colour, sw * 0.7)
            L.line([p(11.5, y), p(14.4, y + dy * 0.6)], colour, sw * 0.7)
        L.ellipse(*p(3.8, 5.8), *p(12.2, 15.2), fill=colour)
        L.ellipse(*p(5.4, 2.2), *p(10.6, 7.2), fill=colour)
        L.line([p(8, 7.4), p(8, 14.6)], (0, 0, 0, 0), sw * 0.5, round_caps=False)
        L.line([p(6.4, 3.0), p(4.8, 0.8)], colour, sw * 0.55)
        L.line([p(9.6, 3.0), p(11.2, 0.8)], colour, sw * 0.55)
    elif name == "toolbar":  # a browser window with its bar of buttons
        L.rring(*p(1, 2), *p(15, 14), 2 * k, sw * 0.75, colour)
        L.rrect(*p(1, 2), *p(15, 7), 2 * k, colour)
        L.rrect(*p(1, 5), *p(15, 7), 0, colour)
        for x in (3, 6.2, 9.4):
            L.rrect(*p(x, 3.6), *p(x + 2.2, 5.6), 0.5 * k, (0, 0, 0, 0))
    elif name == "messenger":  # a speech bubble
        L.rrect(*p(1.5, 2.5), *p(14.5, 11.5), 3 * k, colour)
        L.polygon([p(4, 10), p(8, 10), p(3.5, 14.5)], colour)
    elif name == "p2p":  # arrows both ways
        L.line([p(5, 13.5), p(5, 3)], colour, sw)
        L.polygon([p(1.8, 5.6), p(5, 1.8), p(8.2, 5.6)], colour)
        L.line([p(11, 2.5), p(11, 13)], colour, sw)
        L.polygon([p(7.8, 10.4), p(11, 14.2), p(14.2, 10.4)], colour)
    elif name == "allprograms":  # four tiles
        for x, y in ((2, 2), (9, 2), (2, 9), (9, 9)):
            L.rrect(*p(x, y), *p(x + 5, y + 5), 1.2 * k, colour)
    elif name == "bho":  # a globe
        L.ellipse(*p(1.5, 1.5), *p(14.5, 14.5), outline=colour, width=sw * 0.8)
        L.ellipse(*p(5.2, 1.5), *p(10.8, 14.5), outline=colour, width=sw * 0.7)
        L.line([p(2, 8), p(14, 8)], colour, sw * 0.7, round_caps=False)
    elif name == "startup":  # power symbol
        L.arc(*p(2, 2.5), *p(14, 14.5), -50, 230, colour, sw)
        L.line([p(8, 1.5), p(8, 7.5)], colour, sw)
    elif name == "activex":  # a gear
        cx, cy = p(8, 8)
        pts = []
        teeth = 8
        for i in range(teeth * 4):
            a = (i / (teeth * 4)) * 2 * math.pi
            r = 7.2 if (i % 4) in (1, 2) else 5.4
            pts.append((cx + r * k * math.cos(a), cy + r * k * math.sin(a)))
        L.polygon(pts, colour)
        L.ellipse(*p(5.6, 5.6), *p(10.4, 10.4), fill=(0, 0, 0, 0))
    elif name == "copyright":  # a seal with a check mark
        L.ellipse(*p(1, 1), *p(15, 15), fill=colour)
        L.line([p(4.6, 8.2), p(7.0, 10.6), p(11.6, 5.6)], (255, 255, 255, 255), sw)
    elif name == "info":
        L.ellipse(*p(1, 1), *p(15, 15), fill=colour)
        L.rrect(*p(7, 6.5), *p(9, 12.5), 0.6 * k, (255, 255, 255, 255))
        L.ellipse(*p(6.8, 3), *p(9.2, 5.4), fill=(255, 255, 255, 255))
    elif name == "menu":
        for y in (3, 7, 11):
            L.rrect(*p(2, y), *p(14, y + 2), 1 * k, colour)
    elif name == "website":
        glyph(layer, "bho", ox, oy, k, colour, stroke)
    elif name == "update":  # two arrows in a circle
        L.arc(*p(2, 2), *p(14, 14), 200, 340, colour, sw)
        L.arc(*p(2, 2), *p(14, 14), 20, 160, colour, sw)
        L.polygon([p(12.2, 1.6), p(15.2, 5.6), p(10.4, 6.4)], colour)
        L.polygon([p(3.8, 14.4), p(0.8, 10.4), p(5.6, 9.6)], colour)
    elif name == "style":  # a list with markers
        for y in (2.5, 7, 11.5):
            L.rrect(*p(1.5, y), *p(4.5, y + 2.5), 0.6 * k, colour)
            L.rrect(*p(6, y + 0.4), *p(14.5, y + 2.1), 0.8 * k, colour)
    elif name == "remove":  # a waste bin
        L.rrect(*p(1.5, 3), *p(14.5, 5), 0.8 * k, colour)
        L.rrect(*p(6, 1), *p(10, 3.5), 0.8 * k, colour)
        L.polygon([p(3, 6), p(13, 6), p(12, 15), p(4, 15)], colour)
        for x in (6.2, 9.8):
            L.rrect(*p(x - 0.6, 8), *p(x + 0.6, 13), 0.5 * k, (0, 0, 0, 0))
    elif name == "search":
        L.ellipse(*p(1.5, 1.5), *p(11, 11), outline=colour, width=sw)
        L.line([p(10, 10), p(14.2, 14.2)], colour, sw * 1.2)
    elif name == "about":  # an outlined circle with an i
        L.ellipse(*p(1, 1), *p(15, 15), outline=colour, width=sw * 0.9)
        L.rrect(*p(7.1, 6.8), *p(8.9, 12), 0.6 * k, colour)
        L.ellipse(*p(6.9, 3.4), *p(9.1, 5.6), fill=colour)
    elif name == "exit":  # leaving through a door
        L.line([p(8, 2), p(3, 2), p(3, 14), p(8, 14)], colour, sw, round_caps=True)
        L.line([p(6.5, 8), p(14, 8)], colour, sw)
        L.line([p(11, 4.8), p(14.2, 8), p(11, 11.2)], colour, sw)
    else:
        raise ValueError(name)


# ---------------------------------------------------------------------------------------
# Button strips


def keyed(frame_rgb, alpha):
    """Makes every pixel outside the button's shape exactly magenta."""
    out = frame_rgb.copy()
    magenta = Image.new("RGB", out.size, MAGENTA)
    hole = alpha.point(lambda a: 255 if a == 0 else 0)
    out.paste(magenta, (0, 0), hole)
    return out


def strip(frames):
    w, h = frames[0].size
    out = Image.new("RGB", (w * 4, h), MAGENTA)
    for i, f in enumerate(frames):
        out.paste(f, (i * w, 0))
    return out


def button_frame(size, radius, fill, border, sits_on, decorate):
    """One frame: a rounded button with a 1-pixel border, blended onto `sits_on`, keyed."""
    w, h = size
    shape = Layer(w, h)
    shape.rrect(0, 0, w, h, radius, border)
    shape.rrect(1, 1, w - 1, h - 1, radius - 1, fill)
    layer = shape.result()
    alpha = layer.getchannel("A")
    rgb = Image.new("RGB", size, sits_on)
    composite(rgb, layer)
    decorate(rgb)
    return keyed(rgb, alpha)


CATEGORIES = [
    ("spyware", "스파이웨어"),
    ("toolbar", "툴바"),
    ("messenger", "메신저"),
    ("p2p", "P2P·웹하드"),
    ("allprograms", "전체 프로그램"),
    ("bho", "BHO"),
    ("startup", "시작 프로그램"),
    ("activex", "ActiveX"),
    ("copyright", "정품 소프트웨어"),
]


def tint(colour, amount):
    """Mixes `colour` with white; amount 0 keeps it, 1 gives white."""
    return tuple(round(c + (255 - c) * amount) for c in colour)


def category_strip(name, label):
    w, h = CATEGORY_SIZE
    accent = CATEGORY_COLOURS[name]
    font = FONTS.bold(13)
    states = [
        # fill, border, text, chip fill, glyph colour, content offset
        (WHITE, LINE, INK, tint(accent, 0.86), accent, 0),
        (BRAND_TINT, BRAND, BRAND_DEEP, WHITE, accent, 0),
        (BRAND_DARK, BRAND_DARK, WHITE, WHITE, accent, 1),
        (DISABLED_FILL, DISABLED_LINE, DISABLED_INK, (222, 227, 234), FAINT, 0),
    ]
    frames = []
    for fill, border, ink, chip, gcol, off in states:
        def decorate(img, ink=ink, chip=chip, gcol=gcol, off=off):
            chip_layer = Layer(w, h)
            cs = 24
            cx, cy = 6, (h - cs) // 2 + off
            chip_layer.rrect(cx, cy, cx + cs, cy + cs, 6, chip + (255,))
            glyph(chip_layer, name, cx + 4, cy + 4, 1.0, gcol + (255,))
            composite(img, chip_layer.result())
            base = centred_baseline(font, 0, h) + off
            fit(font, label, w - (cx + cs + 10) - 22)
            draw_text(img, (cx + cs + 10, base), label, font, ink)
            # a small chevron at the right end tells that the button opens a listing
            chev = Layer(w, h)
            mid = h / 2 + off
            chev.line([(w - 16, mid - 4), (w - 12, mid), (w - 16, mid + 4)], ink + (255,), 1.6)
            composite(img, chev.result())
        frames.append(button_frame((w, h), 7, fill + (255,), border + (255,), BODY, decorate))
    return strip(frames)


def row_strip(name, label, width, primary):
    h = ROW_H
    tracking = 0.6 if any(c.isascii() and c.isalpha() for c in label) else 0.0
    font = FONTS.bold(12)
    if primary:
        states = [
            (DANGER, DANGER, WHITE, 0),
            (DANGER_DARK, DANGER_DARK, WHITE, 0),
            (DANGER_DEEP, DANGER_DEEP, WHITE, 1),
            (DISABLED_FILL, DISABLED_LINE, DISABLED_INK, 0),
        ]
    else:
        states = [
            (WHITE, LINE, INK, 0),
            (BRAND_TINT, BRAND, BRAND_DEEP, 0),
            (BRAND_DARK, BRAND_DARK, WHITE, 1),
            (DISABLED_FILL, DISABLED_LINE, DISABLED_INK, 0),
        ]
    icon = {"remove": "remove", "search": "search", "info": "about", "exit": "exit"}[name]
    frames = []
    for fill, border, ink, off in states:
        def decorate(img, ink=ink, off=off):
            tw = text_width(font, label, tracking)
            gw, gap = 12, 5
            if tw > width - 12 - gw - gap:
                sys.exit(f"render_art: '{label}' does not fit its {width}-pixel button")
            x = (width - (gw + gap + tw)) // 2
            g = Layer(width, h)
            glyph(g, icon, x, (h - gw) / 2 + off, gw / 16, ink + (255,), 2.0)
            composite(img, g.result())
            base = centred_baseline(font, 0, h) + off
            draw_text(img, (x + gw + gap, base), label, font, ink, tracking=tracking)
        frames.append(button_frame((width, h), 6, fill + (255,), border + (255,), BODY, decorate))
    return strip(frames)


# ---------------------------------------------------------------------------------------
# Main window background (resource 138)


def vertical_gradient(size, top, bottom):
    w, h = size
    img = Image.new("RGB", size)
    d = ImageDraw.Draw(img)
    for y in range(h):
        t = y / max(h - 1, 1)
        d.line([(0, y), (w, y)], fill=tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)))
    return img


def horizontal_gradient(size, left, right):
    w, h = size
    img = Image.new("RGB", size)
    d = ImageDraw.Draw(img)
    for x in range(w):
        t = x / max(w - 1, 1)
        d.line([(x, 0), (x, h)], fill=tuple(round(a + (b - a) * t) for a, b in zip(left, right)))
    return img


def app_mark(size):
    """The program's mark: a blue rounded square with a white shield and a check mark."""
    L = Layer(size, size)
    k = size / 64
    r = 14 * k
    grad = vertical_gradient((size * SS, size * SS), (59, 130, 246), (29, 78, 216)).convert("RGBA")
    mask = Image.new("L", (size * SS, size * SS), 0)
    ImageDraw.Draw(mask).rounded_rectangle([0, 0, size * SS - 1, size * SS - 1], radius=round(r * SS), fill=255)
    L.img.paste(grad, (0, 0), mask)
    # shield
    sx = lambda x: x * k
    shield = [(32, 9), (51, 16), (51, 31), (49, 41), (42, 50), (32, 56), (22, 50), (15, 41), (13, 31), (13, 16)]
    L.polygon([(sx(x), sx(y)) for x, y in shield], (255, 255, 255, 255))
    L.line([(sx(22.5), sx(32.5)), (sx(29.5), sx(39.5)), (sx(42.5), sx(25.5))], (29, 78, 216, 255), 5.2 * k)
    return L.result()


def background():
    w, h = CLIENT_W, CLIENT_H
    img = Image.new("RGB", (w, h), BODY)
    d = ImageDraw.Draw(img)
    # White title area: the link buttons along the top paint white behind their captions.
    d.rectangle([0, 0, w - 1, HEADER_H - 1], fill=WHITE)
    img.paste(horizontal_gradient((w, 4), BRAND, (14, 165, 233)), (0, 0))
    d.line([(0, HEADER_H - 1), (w, HEADER_H - 1)], fill=LINE)

    # Program mark, name and tagline; they end left of the first link button.
    mark = app_mark(40)
    composite(img, mark, (16, 18))
    title = FONTS.display(25)
    tag = FONTS.ui(12)
    fit(title, "Tarnock", HOVER_X0 - 66 - 8)
    fit(tag, TAGLINE, HOVER_X0 - 67 - 8)
    draw_text(img, (66, 40), "Tarnock", title, BRAND_DEEP)
    draw_text(img, (67, 58), TAGLINE, tag, MUTED)

    # maker's line at the foot of the category column
    small = FONTS.ui(11)
    draw_text(img, (CATEGORY_X + 3, ROW_Y + 17), "Olmatic", small, FAINT)

    # a hairline frame so the captionless window stands out from what lies behind it
    d.rectangle([0, 0, w - 1, h - 1], outline=(148, 163, 184))
    return img


# ---------------------------------------------------------------------------------------
# Loading splash (resource 173)


def loading():
    w, h = ART["kSplashWidth"], ART["kSplashHeight"]
    img = Image.new("RGB", (w, h), WHITE)
    L = Layer(w, h)
    L.rring(0, 0, w, h, 0, 1, (148, 163, 184))
    L.rrect(0, 0, w, 4, 0, BRAND + (255,))
    # a spinner: a faint ring and a bright quarter
    cx, cy, r = 30, 43, 13
    L.arc(cx - r, cy - r, cx + r, cy + r, 0, 360, BRAND_TINT + (255,), 4)
    L.arc(cx - r, cy - r, cx + r, cy + r, 200, 320, BRAND + (255,), 4)
    composite(img, L.result())
    line1, line2 = "프로그램 목록을 읽는 중입니다", "잠시만 기다려 주세요..."
    fit(FONTS.bold(12), line1, w - 54 - 8)
    fit(FONTS.ui(12), line2, w - 54 - 8)
    draw_text(img, (54, 39), line1, FONTS.bold(12), INK)
    draw_text(img, (54, 58), line2, FONTS.ui(12), MUTED)
    return img


# ---------------------------------------------------------------------------------------
# Browser dialog skin (resource 166): frame, title, close mark


HELP_W, HELP_H = ART["kHelpSkinWidth"], ART["kHelpSkinHeight"]
HELP_CLOSE = ART.rect("kHelpClose")  # the close mark's hot area, inclusive


def help_skin():
    w, h = HELP_W, HELP_H
    img = Image.new("RGB", (w, h), BODY)
    d = ImageDraw.Draw(img)
    title_h = 26
    img.paste(horizontal_gradient((w, title_h), BRAND_DEEP, BRAND_DARK), (0, 0))
    mark = app_mark(16)
    composite(img, mark, (8, 5))
    draw_text(img, (30, 18), "Program Review", FONTS.bold(13), WHITE)
    draw_text(img, (140, 18), "사용자 의견", FONTS.ui(12), tint(BRAND, 0.55))
    # close mark inside its hot area: a soft square with a white cross
    x0, y0, x1, y1 = HELP_CLOSE
    L = Layer(w, h)
    L.rrect(x0 - 2, y0 - 2, x1 + 3, y1 + 3, 3, (255, 255, 255, 48))
    L.line([(x0 + 2.5, y0 + 2.5), (x1 - 1.5, y1 - 1.5)], (255, 255, 255, 255), 1.8)
    L.line([(x1 - 1.5, y0 + 2.5), (x0 + 2.5, y1 - 1.5)], (255, 255, 255, 255), 1.8)
    composite(img, L.result())
    # the browser's well: a white sunken area behind the control
    bx0, by0, bx1, by1 = 9, 30, 589, 468
    d.rectangle([bx0, by0, bx1, by1], fill=WHITE, outline=LINE)
    draw_text(img, (12, 489), "Tarnock", FONTS.bold(11), FAINT)
    # the window's frame
    d.rectangle([0, 0, w - 1, h - 1], outline=BRAND_DEEP)
    return img


# ---------------------------------------------------------------------------------------
# Updater skin (TarnockUpdate's bitmap 129): title band, close mark, light panel.
# The window uses the same 9 point font as the main window; the skin is one pixel wider and
# taller than its client area because the window's rounded region is. Its texts are black
# on the skin, so the panel behind them stays light.

UPDATE_W, UPDATE_H = ART["kUpdaterSkinWidth"], ART["kUpdaterSkinHeight"]
UPDATE_CLIENT = dlu(*UPDATER_DIALOG.size)
UPDATE_CLOSE = ART.rect("kUpdaterClose")  # the close mark's hot area, inclusive
UPDATE_TEXT = UPDATER_DIALOG.pixels("IDC_STATE_TEXT")  # the state line, left top right bottom
UPDATE_TITLE = "Tarnock 업데이트"


def updater_skin():
    w, h = UPDATE_W, UPDATE_H
    cw, ch = UPDATE_CLIENT
    img = Image.new("RGB", (w, h), BODY)
    d = ImageDraw.Draw(img)
    title_h = 26
    img.paste(horizontal_gradient((w, title_h), BRAND_DEEP, BRAND_DARK), (0, 0))
    composite(img, app_mark(16), (8, 5))
    title = FONTS.bold(13)
    fit(title, UPDATE_TITLE, UPDATE_CLOSE[0] - 8 - 30)
    draw_text(img, (30, 18), UPDATE_TITLE, title, WHITE)
    # close mark filling its hot area: a red rounded square with a white cross
    x0, y0, x1, y1 = UPDATE_CLOSE
    L = Layer(w, h)
    L.rrect(x0, y0, x1 + 1, y1 + 1, 3, DANGER + (255,))
    L.line([(x0 + 3.5, y0 + 3.5), (x1 - 2.5, y1 - 2.5)], WHITE + (255,), 1.6)
    L.line([(x1 - 2.5, y0 + 3.5), (x0 + 3.5, y1 - 2.5)], WHITE + (255,), 1.6)
    composite(img, L.result())
    d.line([(0, title_h), (w, title_h)], fill=LINE)
    # a white well behind the state line and the progress bar, even around the bar
    tx0, ty0, _, _ = UPDATE_TEXT
    px0, _, px1, py1 = UPDATER_DIALOG.pixels("IDC_PROGRESS")
    d.rectangle([px0 - 9, ty0 - 8, px1 + 8, py1 + 6], fill=WHITE, outline=LINE)
    draw_text(img, (14, UPDATER_DIALOG.pixels("IDC_DETAILS")[3] - 8), "Olmatic", FONTS.ui(11), FAINT)
    # the frame follows the window's rounded region on the client area; the extra column
    # and row stay the frame's colour whichever of the two sizes the window has
    F = Layer(w, h)
    F.rring(0, 0, cw, ch, ART["kUpdaterCornerEllipse"] / 2, 1, BRAND_DEEP + (255,))
    composite(img, F.result())
    d.line([(cw, 0), (cw, h)], fill=BRAND_DEEP)
    d.line([(0, ch), (w, ch)], fill=BRAND_DEEP)
    return img


# ---------------------------------------------------------------------------------------
# List header skin (bitmap 144): column 0 the band, column 1 the edge


def header_skin():
    """Rows 0-16 the band's gradient, row 17 its lower hairline. The header also shrinks the
    whole column 0 into its one-pixel top line; with the usual AND of shrunk pixels this
    band gives a quiet blue-grey line there."""
    img = Image.new("RGB", (ART["kHeaderSkinWidth"], ART["kHeaderSkinHeight"]), WHITE)
    top, bottom = WHITE, (238, 242, 247)
    for y in range(17):
        t = y / 16
        img.putpixel((0, y), tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)))
        img.putpixel((1, y), LINE_SOFT)
    img.putpixel((0, 17), LINE)
    img.putpixel((1, 17), LINE)
    return img


# ---------------------------------------------------------------------------------------
# Icons


def icon_image(name, size):
    L = Layer(size, size)
    if name == "tarnock":
        return app_mark(size)
    if name == "program":  # a generic application window
        k = size / 16
        L.rrect(1 * k, 2 * k, 15 * k, 14 * k, 2 * k, (100, 116, 139, 255))
        L.rrect(2 * k, 5 * k, 14 * k, 13 * k, 1 * k, (255, 255, 255, 255))
        L.rrect(3.5 * k, 6.5 * k, 9 * k, 8 * k, 0.5 * k, tint(BRAND, 0.3) + (255,))
        L.rrect(3.5 * k, 9 * k, 12.5 * k, 10.2 * k, 0.5 * k, (203, 213, 225, 255))
        L.rrect(3.5 * k, 11 * k, 11 * k, 12 * k, 0.4 * k, (203, 213, 225, 255))
        return L.result()
    colour = BRAND + (255,)
    glyph(L, name, 0, 0, size / 16, colour, 1.7)
    return L.result()


def dib_entry(img):
    """A 32-bit BGRA DIB with an AND mask, as stored in .ico files."""
    w, h = img.size
    px = img.load()
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = px[x, y]
            xor += bytes((b, g, r, a))
    stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if px[x, y][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + bytes(xor) + bytes(mask)


def png_bytes(img):
    buf = io.BytesIO()
    img.save(buf, format="PNG", optimize=False, compress_level=9)
    return buf.getvalue()


def write_ico(path, images):
    entries = []
    for img in images:
        data = png_bytes(img) if img.size[0] >= 256 else dib_entry(img)
        entries.append((img.size, data))
    out = bytearray(struct.pack("<HHH", 0, 1, len(entries)))
    offset = 6 + 16 * len(entries)
    for (w, h), data in entries:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in entries:
        out += data
    write_bytes(path, bytes(out))


def write_bmp(path, img):
    """An uncompressed bottom-up 24-bit BMP file."""
    img = img.convert("RGB")
    w, h = img.size
    stride = (w * 3 + 3) & ~3
    px = img.load()
    rows = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for x in range(w):
            r, g, b = px[x, y]
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        rows += row
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(rows), 3780, 3780, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(rows), 0, 0, 14 + len(info))
    write_bytes(path, head + info + bytes(rows))


def write_bytes(path, data):
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)


# ---------------------------------------------------------------------------------------


def build_all():
    """Returns (file name, image or list of icon images) for every output."""
    art = []
    art.append(("background.bmp", background()))
    for name, label in CATEGORIES:
        art.append((f"{name}.bmp", category_strip(name, label)))
    art.append(("remove.bmp", row_strip("remove", "Tarnock로 밀기", REMOVE_W, True)))
    art.append(("search.bmp", row_strip("search", "검색", SMALL_W, False)))
    art.append(("info.bmp", row_strip("info", "정보", SMALL_W, False)))
    art.append(("exit.bmp", row_strip("exit", "종료", SMALL_W, False)))
    art.append(("loading.bmp", loading()))
    art.append(("help.bmp", help_skin()))
    art.append(("updater.bmp", updater_skin()))
    art.append(("header.bmp", header_skin()))
    art.append(("tarnock.ico", [icon_image("tarnock", s) for s in (16, 32, 48, 256)]))
    for name in ("info", "menu", "website", "update", "style"):
        art.append((f"{name}.ico", [icon_image(name, s) for s in (16, 32, 48)]))
    art.append(("program.ico", [icon_image("program", s) for s in (16, 32, 48)]))
    return art


def key_onto(target, strip_img, frame, at):
    """Draws one frame of a strip the way the buttons do: magenta pixels stay unpainted."""
    w = strip_img.size[0] // 4
    piece = strip_img.crop((frame * w, 0, (frame + 1) * w, strip_img.size[1]))
    px = piece.load()
    mask = Image.new("L", piece.size, 255)
    mp = mask.load()
    for y in range(piece.size[1]):
        for x in range(piece.size[0]):
            if px[x, y] == MAGENTA:
                mp[x, y] = 0
    target.paste(piece, at, mask)


def preview(art):
    """The main window put together from the art at the template's places: one category
    button hovered, one pressed, the row buttons inactive; plus the splash over the list."""
    by_name = dict(art)
    img = by_name["background.bmp"].copy()
    d = ImageDraw.Draw(img)
    d.rectangle([LIST_X, LIST_Y, LIST_R - 1, LIST_B - 1], fill=WHITE, outline=(174, 174, 174))
    for i, (name, _) in enumerate(CATEGORIES):
        frame = {1: 1, 2: 2}.get(i, 0)
        key_onto(img, by_name[f"{name}.bmp"], frame, (CATEGORY_X, MAIN_DIALOG.pixels(f"IDC_{name.upper()}")[1]))
    key_onto(img, by_name["remove.bmp"], 3, (LIST_X, ROW_Y))
    key_onto(img, by_name["search.bmp"], 3, (SEARCH_X, ROW_Y))
    key_onto(img, by_name["info.bmp"], 3, (INFO_X, ROW_Y))
    key_onto(img, by_name["exit.bmp"], 0, (EXIT_X, ROW_Y))
    splash = by_name["loading.bmp"]
    img.paste(splash, ((LIST_X + LIST_R) // 2 - splash.size[0] // 2, (LIST_Y + LIST_B) // 2 - splash.size[1] // 2))
    return img


def contact_sheet(art):
    """All art on one page for review, with the strips shown on their body colour."""
    font = FONTS.ui(12)
    pad = 16
    items = [("main window put together (category 2 hovered, 3 pressed)", preview(art))]
    for name, thing in art:
        if isinstance(thing, list):
            row = Image.new("RGB", (sum(i.size[0] for i in thing) + 12 * len(thing), max(i.size[1] for i in thing)), WHITE)
            x = 0
            for i in thing:
                composite(row, i, (x, row.size[1] - i.size[1]))
                x += i.size[0] + 12
            items.append((name, row))
        elif thing.size[1] <= 40 and thing.getpixel((0, 0)) == MAGENTA:
            seen = thing.copy()
            px_src, px_dst = thing.load(), seen.load()
            for yy in range(thing.size[1]):
                for xx in range(thing.size[0]):
                    px_dst[xx, yy] = BODY if px_src[xx, yy] == MAGENTA else px_src[xx, yy]
            both = Image.new("RGB", (thing.size[0], thing.size[1] * 2 + 4), (250, 250, 250))
            both.paste(thing, (0, 0))
            both.paste(seen, (0, thing.size[1] + 4))
            items.append((name, both))
        elif name == "header.bmp":
            items.append((name, thing.resize((thing.size[0] * 8, thing.size[1] * 8), Image.NEAREST)))
        else:
            items.append((name, thing))
    width = max(i.size[0] for _, i in items) + 2 * pad
    height = sum(i.size[1] + 28 for _, i in items) + pad
    sheet = Image.new("RGB", (width, height), (250, 250, 250))
    y = pad
    for name, i in items:
        draw_text(sheet, (pad, y + 12), name, font, MUTED)
        sheet.paste(i, (pad, y + 18))
        y += i.size[1] + 28
    return sheet


def main():
    global FONTS
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", required=True, help="folder for the rendered files")
    ap.add_argument("--fonts", default="/usr/share/fonts/truetype/nanum", help="folder of the Nanum fonts")
    ap.add_argument("--contact-sheet", help="also write a PNG with all art for review")
    args = ap.parse_args()
    FONTS = Fonts(args.fonts)
    os.makedirs(args.out, exist_ok=True)
    art = build_all()
    for name, thing in art:
        path = os.path.join(args.out, name)
        if name.endswith(".ico"):
            write_ico(path, thing)
        else:
            write_bmp(path, thing)
    if args.contact_sheet:
        write_bytes(args.contact_sheet, png_bytes(contact_sheet(art)))


if __name__ == "__main__":
    main()
