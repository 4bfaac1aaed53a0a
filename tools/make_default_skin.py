#!/usr/bin/env python3
"""Generate the built-in default skin and the editor's own pictures.

Writes, below the repository's assets/ folder:

  skin/<name>.png        the 53 default skin pictures (8-bit RGB PNG)
  skin/icon/<name>.png   (the file-type icons live in the icon/ sub-folder)
  sample_icon.png        32 x 32 sample game icon (palette PNG)
  hinge.png              266 x 86 hinge strip of the preview
  about_banner.png       468 x 60 banner of the About box
  app_icon.png           256 x 256 application icon (RGBA)

Only the Python standard library is used and the output is the same on
every run.  Skin pictures keep every channel a multiple of 8 (the console
shows 15-bit colour) except noactivehotke, progress_bar and progress_wnd;
pixels meant to be see-through are pure green (0, 248, 0).

Usage:  python3 tools/make_default_skin.py [--out ASSETS_DIR]
"""

import argparse
import math
import os
import struct
import sys
import zlib

GREEN = (0, 248, 0)

# --------------------------------------------------------------------------
# PNG writing
# --------------------------------------------------------------------------


def _chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def _png(width, height, colour_type, rows, extra=b""):
    raw = b"".join(b"\x00" + bytes(r) for r in rows)
    ihdr = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", ihdr) + extra
            + _chunk(b"IDAT", zlib.compress(raw, 9)) + _chunk(b"IEND", b""))


def write_file(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def _pixel_rows(width, height, pixels):
    """Row-major tuples of channel values as one byte string per row."""
    rows = []
    for y in range(height):
        row = bytearray()
        for p in pixels[y * width:(y + 1) * width]:
            row += bytes(p)
        rows.append(row)
    return rows


def png_rgb(width, height, pixels):
    """pixels: list of (r, g, b) ints, row-major."""
    return _png(width, height, 2, _pixel_rows(width, height, pixels))


def png_rgba(width, height, pixels):
    """pixels: list of (r, g, b, a) ints, row-major."""
    return _png(width, height, 6, _pixel_rows(width, height, pixels))


def png_palette(width, height, pixels):
    palette = []
    index = {}
    for p in pixels:
        if p not in index:
            index[p] = len(palette)
            palette.append(p)
    if len(palette) > 256:
        raise ValueError("too many colours for a palette picture")
    plte = _chunk(b"PLTE", b"".join(bytes(p) for p in palette))
    rows = [bytes(index[p] for p in pixels[y * width:(y + 1) * width]) for y in range(height)]
    return _png(width, height, 3, rows, plte)


# --------------------------------------------------------------------------
# Colour helpers
# --------------------------------------------------------------------------


def clamp(v, lo=0.0, hi=255.0):
    return lo if v < lo else hi if v > hi else v


def mix(a, b, t):
    t = clamp(t, 0.0, 1.0)
    return (a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t)


def grad(stops, t):
    """Colour at t along a list of (position, colour) stops."""
    if t <= stops[0][0]:
        return stops[0][1]
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            return mix(c0, c1, (t - p0) / (p1 - p0) if p1 > p0 else 1.0)
    return stops[-1][1]


def add(c, d):
    return (c[0] + d[0], c[1] + d[1], c[2] + d[2])


def scale(c, f):
    return (c[0] * f, c[1] * f, c[2] * f)


def hexc(s):
    s = s.lstrip("#")
    return (int(s[0:2], 16), int(s[2:4], 16), int(s[4:6], 16))


BAYER4 = ((0, 8, 2, 10), (12, 4, 14, 6), (3, 11, 1, 9), (15, 7, 13, 5))

# theme colours
INK = hexc("12040f")          # outlines
MAGENTA = hexc("d02890")
HOT = hexc("f048a8")
PINK = hexc("f880c0")
PINK_HI = hexc("f8c0e0")
WHITE = hexc("f8f8f8")
PEACH = hexc("f8d098")
CYAN = hexc("50d0f0")

# --------------------------------------------------------------------------
# Canvas
# --------------------------------------------------------------------------


class Img:
    """A picture of float RGB pixels; None marks a see-through pixel."""

    def __init__(self, w, h, fill=None):
        self.w, self.h = w, h
        self.px = [fill] * (w * h)

    def inside(self, x, y):
        return 0 <= x < self.w and 0 <= y < self.h

    def get(self, x, y):
        if self.inside(x, y):
            return self.px[y * self.w + x]
        return None

    def set(self, x, y, c):
        if self.inside(x, y):
            self.px[y * self.w + x] = c

    def over(self, x, y, c, a):
        """Blend c over an existing visible pixel with opacity a."""
        if self.inside(x, y):
            cur = self.px[y * self.w + x]
            if cur is not None:
                self.px[y * self.w + x] = mix(cur, c, a)

    def fill_fn(self, fn, mask=None):
        for y in range(self.h):
            for x in range(self.w):
                if mask is None or mask.get(x, y):
                    c = fn(x, y)
                    if c is not None:
                        self.px[y * self.w + x] = c

    def rect(self, x0, y0, w, h, c):
        for y in range(y0, y0 + h):
            for x in range(x0, x0 + w):
                self.set(x, y, c(x, y) if callable(c) else c)

    def paint(self, mask, c, dx=0, dy=0):
        for y in range(mask.h):
            for x in range(mask.w):
                if mask.bits[y * mask.w + x]:
                    self.set(x + dx, y + dy, c(x + dx, y + dy) if callable(c) else c)

    def blend_mask(self, mask, c, a):
        for y in range(mask.h):
            for x in range(mask.w):
                if mask.bits[y * mask.w + x]:
                    self.over(x, y, c(x, y) if callable(c) else c, a)

    def blit(self, other, ox, oy):
        for y in range(other.h):
            for x in range(other.w):
                p = other.px[y * other.w + x]
                if p is not None:
                    self.set(ox + x, oy + y, p)

    def crop(self, x0, y0, w, h):
        out = Img(w, h)
        for y in range(h):
            for x in range(w):
                out.px[y * w + x] = self.get(x0 + x, y0 + y)
        return out


class Mask:
    def __init__(self, w, h, fn=None):
        self.w, self.h = w, h
        if fn is None:
            self.bits = [False] * (w * h)
        else:
            self.bits = [bool(fn(x + 0.5, y + 0.5)) for y in range(h) for x in range(w)]

    def get(self, x, y):
        return 0 <= x < self.w and 0 <= y < self.h and self.bits[y * self.w + x]

    def set(self, x, y, v=True):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.bits[y * self.w + x] = v

    def _new(self, pred):
        m = Mask(self.w, self.h)
        m.bits = [pred(x, y) for y in range(self.h) for x in range(self.w)]
        return m

    def __or__(self, o):
        return self._new(lambda x, y: self.get(x, y) or o.get(x, y))

    def __and__(self, o):
        return self._new(lambda x, y: self.get(x, y) and o.get(x, y))

    def __sub__(self, o):
        return self._new(lambda x, y: self.get(x, y) and not o.get(x, y))

    def shift(self, dx, dy):
        return self._new(lambda x, y: self.get(x - dx, y - dy))

    def dilate(self, diag=True):
        nb = [(-1, 0), (1, 0), (0, -1), (0, 1)]
        if diag:
            nb += [(-1, -1), (1, -1), (-1, 1), (1, 1)]
        return self._new(lambda x, y: self.get(x, y) or any(self.get(x + a, y + b) for a, b in nb))

    def erode(self, diag=False):
        nb = [(-1, 0), (1, 0), (0, -1), (0, 1)]
        if diag:
            nb += [(-1, -1), (1, -1), (-1, 1), (1, 1)]
        return self._new(lambda x, y: self.get(x, y) and all(self.get(x + a, y + b) for a, b in nb))

    def outline(self, diag=True):
        return self.dilate(diag) - self

    def edge_tl(self):
        """Inside pixels with an outside pixel above or to the left."""
        return self._new(lambda x, y: self.get(x, y) and (not self.get(x - 1, y) or not self.get(x, y - 1)))

    def edge_br(self):
        return self._new(lambda x, y: self.get(x, y) and (not self.get(x + 1, y) or not self.get(x, y + 1)))

    def edge_top(self):
        return self._new(lambda x, y: self.get(x, y) and not self.get(x, y - 1))

    def edge_bottom(self):
        return self._new(lambda x, y: self.get(x, y) and not self.get(x, y + 1))


# shape predicates working on pixel centres -------------------------------


def sd_box(px, py, x0, y0, x1, y1, r=0.0):
    """Signed distance to a rounded box covering [x0, x1) x [y0, y1)."""
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - r, (y1 - y0) / 2.0 - r
    qx, qy = abs(px - cx) - hx, abs(py - cy) - hy
    out = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return out + min(max(qx, qy), 0.0) - r


def rrect(x0, y0, x1, y1, r=0.0, bias=0.15):
    return lambda px, py: sd_box(px, py, x0, y0, x1, y1, r) <= bias


def circle(cx, cy, r):
    return lambda px, py: (px - cx) ** 2 + (py - cy) ** 2 <= r * r


def ellipse(cx, cy, rx, ry):
    return lambda px, py: ((px - cx) / rx) ** 2 + ((py - cy) / ry) ** 2 <= 1.0


def seg_dist(px, py, ax, ay, bx, by):
    vx, vy = bx - ax, by - ay
    wx, wy = px - ax, py - ay
    ll = vx * vx + vy * vy
    t = 0.0 if ll == 0 else clamp((wx * vx + wy * vy) / ll, 0.0, 1.0)
    return math.hypot(wx - vx * t, wy - vy * t)


def capsule(ax, ay, bx, by, r):
    return lambda px, py: seg_dist(px, py, ax, ay, bx, by) <= r


def polygon(pts):
    def inside(px, py):
        c = False
        n = len(pts)
        for i in range(n):
            x1, y1 = pts[i]
            x2, y2 = pts[(i + 1) % n]
            if (y1 > py) != (y2 > py):
                xi = x1 + (py - y1) * (x2 - x1) / (y2 - y1)
                if px < xi:
                    c = not c
        return c
    return inside


def union(*fns):
    return lambda px, py: any(f(px, py) for f in fns)


def minus(a, b):
    return lambda px, py: a(px, py) and not b(px, py)


def from_rows(rows, ox=0, oy=0, w=None, h=None, chars=None):
    """Mask from text rows; any character other than '.' and ' ' is set."""
    w = w if w is not None else max(len(r) for r in rows) + ox
    h = h if h is not None else len(rows) + oy
    m = Mask(w, h)
    for y, r in enumerate(rows):
        for x, ch in enumerate(r):
            if (chars is None and ch not in ". ") or (chars is not None and ch in chars):
                m.set(x + ox, y + oy)
    return m


def vgrad(y0, y1, stops):
    return lambda x, y: grad(stops, (y - y0) / float(max(1, y1 - y0)))


def hgrad(x0, x1, stops):
    return lambda x, y: grad(stops, (x - x0) / float(max(1, x1 - x0)))


# --------------------------------------------------------------------------
# Quantising and saving
# --------------------------------------------------------------------------


def quantise(img, dither=False, exact=True):
    """Return integer pixels; channels a multiple of 8 unless exact is False."""
    out = []
    for y in range(img.h):
        for x in range(img.w):
            p = img.px[y * img.w + x]
            if p is None:
                out.append(GREEN)
                continue
            if exact:
                if dither:
                    t = (BAYER4[y & 3][x & 3] + 0.5) / 16.0
                    q = tuple(min(31, max(0, int(math.floor(clamp(v) / 8.0 + t)))) * 8 for v in p)
                else:
                    q = tuple(min(31, max(0, int(math.floor(clamp(v) / 8.0 + 0.5)))) * 8 for v in p)
            else:
                q = tuple(int(round(clamp(v))) for v in p)
            if q[0] == 0 and q[2] == 0 and q[1] in (248, 255):
                q = (8, q[1] - 8, 8)
            out.append(q)
    return out


SIZES = {
    "active": (6, 6), "activehotkey": (9, 9), "brightness": (22, 18), "btn": (47, 14),
    "btn3": (39, 14), "cardFrame0": (23, 18), "cardFrame1": (23, 18), "cheat_clearall": (16, 12),
    "cheatbg": (256, 192), "cheatmenubtn": (70, 14), "cheatselectbar": (203, 1),
    "clock_colon": (10, 31), "clock_numbers": (24, 310), "close": (13, 12), "close1": (20, 13),
    "fathernode": (11, 10), "form_L": (28, 116), "form_M": (3, 116), "form_R": (36, 116),
    "hotkeybk": (198, 127), "lamp": (22, 38), "lower_screen": (256, 192), "noactivehotke": (9, 9),
    "onehotdown": (11, 10), "onehoton": (11, 10), "pitchdown": (11, 10), "pitchon": (11, 10),
    "popsubbar": (1, 12), "progress_bar": (102, 12), "progress_wnd": (198, 93), "reBack": (23, 18),
    "selectbar": (256, 42), "settingbg": (198, 104), "spin_btn_left": (8, 14),
    "spin_btn_right": (8, 14), "start_released": (58, 20), "startbar": (256, 20),
    "title_bg": (2, 16), "title_left": (56, 16), "title_right": (56, 16), "triangle": (14, 16),
    "upper_screen": (256, 192), "icon/cheat": (15, 16), "icon/dpg": (33, 32), "icon/gba": (32, 32),
    "icon/nds": (32, 32), "icon/plg": (32, 32), "icon/pth": (32, 32), "icon/realtime": (17, 14),
    "icon/rpth": (32, 32), "icon/sav": (32, 32), "icon/txt": (33, 32), "icon/unk": (8, 14),
}

FREE_DEPTH = ("noactivehotke", "progress_bar", "progress_wnd")
DITHERED = ("upper_screen", "lower_screen", "cheatbg", "hotkeybk", "settingbg")

# --------------------------------------------------------------------------
# Pixel letters
# --------------------------------------------------------------------------

FONT5X7 = {
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "D": ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "N": ["#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "I": ["###", ".#.", ".#.", ".#.", ".#.", ".#.", "###"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "d": ["....#", "....#", ".####", "#...#", "#...#", "#...#", ".####"],
    "i": ["#", ".", "#", "#", "#", "#", "#"],
    "k": ["#...", "#...", "#..#", "#.#.", "##..", "#.#.", "#..#"],
    "n": ["....", "....", "###.", "#..#", "#..#", "#..#", "#..#"],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    "r": ["....", "....", "#.##", "##..", "#...", "#...", "#..."],
    "t": [".#..", ".#..", "####", ".#..", ".#..", ".#..", "..##"],
    " ": ["..", "..", "..", "..", "..", "..", ".."],
}


def text_mask(text, w, h, ox, oy, sx=1, sy=1, gap=1):
    m = Mask(w, h)
    x = ox
    for ch in text:
        g = FONT5X7[ch]
        gw = len(g[0])
        for gy, row in enumerate(g):
            for gx, c in enumerate(row):
                if c == "#":
                    for yy in range(sy):
                        for xx in range(sx):
                            m.set(x + gx * sx + xx, oy + gy * sy + yy)
        x += (gw + gap) * sx
    return m


def text_width(text, sx=1, gap=1):
    return sum((len(FONT5X7[c][0]) + gap) * sx for c in text) - gap * sx


# --------------------------------------------------------------------------
# Shared pieces
# --------------------------------------------------------------------------


def background_field(w, h, top, bottom, glow_at=None, glow=(0, 0, 0), glow_r=100.0, pattern=True):
    """Dark gradient background with an optional soft glow and a faint lattice."""
    img = Img(w, h)

    def col(x, y):
        c = mix(top, bottom, y / float(h - 1))
        if glow_at is not None:
            d = math.hypot(x - glow_at[0], (y - glow_at[1]) * 1.2) / glow_r
            f = max(0.0, 1.0 - d) ** 2
            c = add(c, scale(glow, f))
        if pattern:
            # faint diamond lattice
            u, v = (x + y) % 16, (x - y) % 16
            if u == 0 or v == 0:
                c = add(c, (7, 2, 7))
        return c
    img.fill_fn(col)
    return img


def panel(img, x0, y0, x1, y1, r, body, border=(176, 40, 128), outline=INK, bevel=True):
    """A rounded panel: outline, border, inner bevel and a body colour function."""
    outer = Mask(img.w, img.h, rrect(x0, y0, x1, y1, r))
    inner = Mask(img.w, img.h, rrect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, max(0, r - 1)))
    core = Mask(img.w, img.h, rrect(x0 + 2, y0 + 2, x1 - 2, y1 - 2, max(0, r - 2)))
    img.paint(outer, outline)
    img.paint(inner, border if not callable(border) else border)
    img.paint(core, body)
    if bevel:
        img.blend_mask(core.edge_tl(), WHITE, 0.22)
        img.blend_mask(core.edge_br(), INK, 0.35)
    return core


def pill(w, h, top, mid, bottom, outline=INK, r=None, gloss=0.28):
    """A plain bevelled pill button."""
    img = Img(w, h)
    r = h / 2.0 if r is None else r
    outer = Mask(w, h, rrect(0, 0, w, h, r, 0.0))
    body = Mask(w, h, rrect(1, 1, w - 1, h - 1, r - 1, 0.0))
    img.paint(outer, outline)
    img.paint(body, vgrad(1, h - 2, [(0.0, top), (0.45, mid), (1.0, bottom)]))
    # gloss on the upper half
    gl = Mask(w, h, rrect(3, 2, w - 3, h // 2, (h // 2 - 2) / 2.0, 0.0)) & body
    img.blend_mask(gl, WHITE, gloss)
    img.blend_mask(body.edge_tl(), WHITE, 0.45)
    img.blend_mask(body.edge_br(), INK, 0.45)
    return img


# --------------------------------------------------------------------------
# Backgrounds
# --------------------------------------------------------------------------


def sparkle(img, cx, cy, r, colour, a=1.0):
    """A four-pointed star."""
    for y in range(int(cy - r) - 1, int(cy + r) + 2):
        for x in range(int(cx - r) - 1, int(cx + r) + 2):
            dx, dy = abs(x + 0.5 - cx), abs(y + 0.5 - cy)
            if dx * dy <= r * 0.35 and dx + dy <= r + 0.2:
                f = 1.0 - (dx + dy) / (r + 1.0)
                img.over(x, y, colour, a * (0.35 + 0.65 * f))


def make_upper_screen():
    img = background_field(256, 192, hexc("361032"), hexc("0e040e"), glow_at=(58, 96),
                           glow=(72, 8, 56), glow_r=120.0)
    # top band
    band = Mask(256, 192, rrect(0, 0, 256, 14))
    img.blend_mask(band, hexc("120410"), 0.55)
    img.paint(Mask(256, 192, rrect(0, 14, 256, 15)), hexc("a02070"))
    img.blend_mask(Mask(256, 192, rrect(0, 15, 256, 16)), INK, 0.5)
    # emblem on the calm left side: rings and sparkles
    cx, cy = 58.0, 98.0
    for r, a in ((44.0, 0.28), (36.0, 0.16), (52.0, 0.10)):
        ring = Mask(256, 192, lambda px, py, r=r: r - 0.6 <= math.hypot(px - cx, py - cy) <= r + 0.6)
        img.blend_mask(ring, HOT, a)
    for i in range(12):
        a = i * math.pi / 6.0
        r0 = 38.5 if i % 3 else 36.0
        tick = Mask(256, 192, capsule(cx + math.sin(a) * r0, cy - math.cos(a) * r0,
                                      cx + math.sin(a) * 41.5, cy - math.cos(a) * 41.5, 0.6))
        img.blend_mask(tick, PINK, 0.45 if i % 3 else 0.7)
    disc = Mask(256, 192, circle(cx, cy, 28.0))
    img.blend_mask(disc, hexc("200818"), 0.35)
    sparkle(img, cx, cy, 20.0, PINK_HI, 0.55)
    sparkle(img, cx + 30, cy - 34, 6.0, PINK, 0.55)
    sparkle(img, cx - 32, cy + 30, 4.0, PINK, 0.45)
    sparkle(img, cx + 36, cy + 40, 3.0, PINK_HI, 0.4)
    sparkle(img, 20, 34, 3.0, PINK_HI, 0.35)

    # information card
    def card_body(x, y):
        return mix(hexc("2a0a26"), hexc("14050f"), (y - 22) / 110.0)
    panel(img, 120, 22, 251, 133, 6, card_body, border=hexc("7a1a5c"))
    # icon slot
    panel(img, 123, 26, 163, 66, 4, vgrad(27, 65, [(0, hexc("0c030a")), (1, hexc("200a1c"))]),
          border=hexc("8c2068"))
    # separator under the file type lines
    img.rect(166, 68, 80, 1, hexc("5a1446"))
    # header strips for the field titles
    for y0 in (71, 101):
        strip = Mask(256, 192, rrect(124, y0, 248, y0 + 13, 3))
        img.paint(strip, vgrad(y0, y0 + 12, [(0, hexc("f8c8e4")), (0.55, hexc("f0a8d0")), (1, hexc("d880b8"))]))
        img.blend_mask(strip.edge_top(), WHITE, 0.6)
        img.blend_mask(strip.edge_bottom(), INK, 0.35)
    # clock tray
    panel(img, 124, 136, 246, 178, 6, vgrad(137, 177, [(0, hexc("0a0208")), (1, hexc("1e0818"))]),
          border=hexc("7a1a5c"))
    return img


def make_lower_screen():
    img = background_field(256, 192, hexc("2e0c2c"), hexc("0c030c"), glow_at=(128, 8),
                           glow=(48, 6, 40), glow_r=170.0)
    # soft shade above the start bar
    for y in range(160, 172):
        for x in range(256):
            img.over(x, y, INK, (y - 160) / 24.0)
    return img


def make_cheatbg():
    img = background_field(256, 192, hexc("2a0a28"), hexc("0c030c"), glow_at=(128, 20),
                           glow=(40, 4, 32), glow_r=160.0)
    # header bar behind the titles and the two buttons
    hb = Mask(256, 192, rrect(6, 6, 250, 28, 5))
    img.paint(hb.dilate(False), INK)
    img.paint(hb, vgrad(6, 27, [(0, hexc("9a2070")), (0.5, hexc("681050")), (0.52, hexc("520a3e")),
                                  (1, hexc("3a0830"))]))
    img.blend_mask(hb.edge_top(), PINK_HI, 0.55)
    img.blend_mask(hb.edge_bottom(), INK, 0.4)
    # list panel
    core = panel(img, 12, 31, 244, 182, 5, vgrad(33, 180, [(0, hexc("1a0618")), (1, hexc("10040e"))]),
                 border=hexc("6a1650"))
    for i in range(7):
        y0 = 36 + 20 * i
        if i % 2 == 1:
            img.blend_mask(Mask(256, 192, rrect(15, y0, 226, y0 + 20)) & core, hexc("3a1034"), 0.55)
        if i:
            img.rect(18, y0, 203, 1, hexc("2a0c26"))
    # scroll bar
    track = Mask(256, 192, rrect(230, 38, 240, 177, 4))
    img.paint(track, hexc("0a0208"))
    img.blend_mask(track.edge_br(), hexc("5a1446"), 0.8)
    thumb = Mask(256, 192, rrect(231, 40, 239, 86, 3))
    img.paint(thumb, hgrad(231, 238, [(0, PINK), (1, hexc("a01870"))]))
    img.blend_mask(thumb.edge_tl(), WHITE, 0.4)
    return img


# --------------------------------------------------------------------------
# Bars and frames
# --------------------------------------------------------------------------


def make_startbar():
    img = Img(256, 20)
    stops = [(0.0, hexc("e060b0")), (0.06, hexc("8a1c68")), (0.45, hexc("4a0e3c")),
             (0.5, hexc("2c0826")), (1.0, hexc("14040f"))]
    img.fill_fn(lambda x, y: grad(stops, y / 19.0))
    # faint lattice in the lower half, like the screens
    for y in range(11, 20):
        for x in range(256):
            if (x + y) % 4 == 0:
                img.over(x, y, hexc("3a0c32"), 0.6)
    return img


def make_start_released():
    img = Img(58, 20)
    shape = Mask(58, 20, union(rrect(-10, 1, 57, 20, 9.0, 0.0)))
    inner = Mask(58, 20, rrect(-10, 2, 56, 19, 8.0, 0.0))
    img.paint(shape, INK)
    img.paint(inner, vgrad(2, 18, [(0, hexc("f8a0d0")), (0.45, hexc("e03898")), (0.5, hexc("b81878")),
                                  (1, hexc("780c50"))]))
    gloss = Mask(58, 20, rrect(-10, 3, 53, 10, 4.0, 0.0)) & inner
    img.blend_mask(gloss, WHITE, 0.22)
    img.blend_mask(inner.edge_top(), WHITE, 0.55)
    img.blend_mask(inner.edge_br(), INK, 0.4)
    # the word
    tw = text_width("START")
    tx = 20 + (34 - tw) // 2
    word = text_mask("START", 58, 20, tx, 7)
    img.paint(word.shift(1, 1), hexc("5a0840"))
    img.paint(word, vgrad(7, 13, [(0, WHITE), (1, hexc("f8d0e8"))]))
    # emblem: a small sparkle inside a ring
    ring = Mask(58, 20, lambda px, py: 3.6 <= math.hypot(px - 11.5, py - 10.5) <= 5.6)
    img.paint(ring.shift(0, 1) - ring, hexc("5a0840"))
    img.paint(ring, hexc("f8d0e8"))
    img.set(11, 10, WHITE)
    for d in (-1, 1):
        img.set(11 + d, 10, PINK_HI)
        img.set(11, 10 + d, PINK_HI)
    return img


def make_selectbar():
    img = Img(256, 42)
    bar = Mask(256, 42, rrect(2, 5, 254, 37, 7.0, 0.0))
    inner = Mask(256, 42, rrect(3, 6, 253, 36, 6.0, 0.0))
    img.paint(bar, lambda x, y: mix(hexc("f880c0"), hexc("a02078"), (x / 255.0) ** 1.3))
    body = [(0.0, hexc("9a2478")), (0.46, hexc("6a1052")), (0.54, hexc("520a40")), (1.0, hexc("6a0e50"))]
    img.paint(inner, lambda x, y: mix(grad(body, (y - 6) / 30.0), hexc("2a0624"), 0.6 * (x / 255.0) ** 1.4))
    gloss = Mask(256, 42, rrect(5, 7, 251, 20, 5.0, 0.0))
    img.blend_mask(gloss, hexc("f8a0d0"), 0.10)
    img.blend_mask(inner.edge_top(), WHITE, 0.3)
    img.blend_mask(inner.edge_bottom(), INK, 0.4)
    # soft glow rows above and below: sparse pixels
    for y in (4, 38):
        for x in range(8, 248):
            if (x + y) % 2 == 0:
                img.set(x, y, mix(hexc("8a1a68"), hexc("3a0830"), (x / 255.0) ** 1.3))
    # bright accent at the left end
    acc = Mask(256, 42, rrect(6, 10, 9, 32, 1.5, 0.0))
    img.paint(acc.outline(False) & inner, hexc("3a0630"))
    img.paint(acc, vgrad(10, 31, [(0, WHITE), (1, PINK)]))
    return img


def make_cheatselectbar():
    img = Img(203, 1)
    img.fill_fn(lambda x, y: grad([(0, hexc("501040")), (0.15, hexc("c83090")), (0.5, hexc("f8a0d0")),
                                   (0.85, hexc("c83090")), (1, hexc("501040"))], x / 202.0))
    return img


def make_popsubbar():
    img = Img(1, 12)
    cols = ["f0a0d0", "e050a8", "d03c98", "c02c88", "b0207c", "9c1870",
            "901468", "8a1264", "8a1464", "961a6c", "a82478", "601048"]
    for y, c in enumerate(cols):
        img.set(0, y, hexc(c))
    return img


def title_profile(y):
    stops = [(0.0, hexc("f890c8")), (0.07, hexc("e04ca4")), (0.45, hexc("b01c80")),
             (0.5, hexc("8c1064")), (0.93, hexc("5a0a44")), (1.0, hexc("2a0420"))]
    return grad(stops, y / 15.0)


def make_title_bg():
    img = Img(2, 16)
    img.fill_fn(lambda x, y: title_profile(y))
    return img


def make_title_cap(right):
    w = 56
    img = Img(w, 16)
    shape = Mask(w, 16, lambda px, py: sd_box(px, py, 0, 0, w * 2, 40, 6.0) <= 0.15)
    if right:
        shape = Mask(w, 16, lambda px, py: sd_box(px, py, -w, 0, w, 40, 6.0) <= 0.15)
    img.paint(shape, lambda x, y: title_profile(y))
    # darken the rounded outer edge
    if right:
        rim = shape._new(lambda x, y: shape.get(x, y) and (not shape.get(x + 1, y) or not shape.get(x, y - 1)))
    else:
        rim = shape.edge_tl()
    img.blend_mask(rim, INK, 0.55)
    # gem on the left cap, three dots on the right cap
    if not right:
        gem = Mask(w, 16, polygon([(8.0, 3.5), (12.5, 8.0), (8.0, 12.5), (3.5, 8.0)]))
        img.paint(gem.outline(False), hexc("4a0636"))
        img.paint(gem, vgrad(4, 12, [(0, WHITE), (0.5, PINK_HI), (1, HOT)]))
        img.set(7, 6, WHITE)
    else:
        for i, cx in enumerate((38, 43, 48)):
            dot = Mask(w, 16, circle(cx + 0.5, 8.0, 1.6))
            img.paint(dot.shift(0, 1), hexc("4a0636"))
            img.paint(dot, PINK_HI if i == 2 else hexc("f070b8"))
    return img


def form_profile(y):
    """Vertical profile of the start menu's body."""
    stops = [(0.0, hexc("3e1238")), (0.12, hexc("2a0a28")), (1.0, hexc("12040f"))]
    return grad(stops, y / 115.0)


def make_form():
    """Draw the whole 108 px start menu frame once and cut it into three."""
    W, H = 108, 116
    img = Img(W, H)
    outer = Mask(W, H, lambda px, py: sd_box(px, py, 0, 0, W, H + 8, 7.0) <= 0.15)
    border = Mask(W, H, lambda px, py: sd_box(px, py, 1, 1, W - 1, H + 8, 6.0) <= 0.15)
    core = Mask(W, H, lambda px, py: sd_box(px, py, 3, 3, W - 3, H + 8, 4.0) <= 0.15)
    img.paint(outer, INK)
    img.paint(border, vgrad(1, H - 1, [(0, hexc("f070b8")), (0.2, hexc("b02480")), (1, hexc("5a0c44"))]))
    ring = border - core
    inner_ring = ring - Mask(W, H, lambda px, py: sd_box(px, py, 2, 2, W - 2, H + 8, 5.0) <= 0.15)
    img.paint(ring - inner_ring, hexc("300a2a"))  # dark groove between border and body
    img.paint(core, lambda x, y: form_profile(y))
    # bottom rail where the menu meets the start bar
    img.rect(3, H - 3, W - 6, 1, hexc("a02070"))
    img.rect(1, H - 2, W - 2, 1, hexc("300a2a"))
    img.rect(0, H - 1, W, 1, INK)
    # header strip with a gem on the left and three dots on the right
    head = core & Mask(W, H, rrect(0, 0, W, 13))
    img.paint(head, lambda x, y: grad([(0.0, hexc("f890c8")), (0.1, hexc("d83c9c")), (0.5, hexc("a01874")),
                                       (0.55, hexc("801060")), (1.0, hexc("4a0838"))], (y - 3) / 9.0))
    img.rect(3, 13, W - 6, 1, INK)
    img.rect(3, 14, W - 6, 1, hexc("6a1050"))
    gem = Mask(W, H, polygon([(9.0, 3.5), (12.5, 7.5), (9.0, 11.5), (5.5, 7.5)]))
    img.paint(gem.outline(False), hexc("4a0636"))
    img.paint(gem, vgrad(4, 11, [(0, WHITE), (0.5, PINK_HI), (1, HOT)]))
    for i, cx in enumerate((91, 96, 101)):
        dot = Mask(W, H, circle(cx + 0.5, 7.5, 1.6))
        img.paint(dot.shift(0, 1), hexc("4a0636"))
        img.paint(dot, PINK_HI if i == 2 else hexc("f070b8"))
    left = img.crop(0, 0, 28, H)
    mid = img.crop(40, 0, 3, H)
    right = img.crop(W - 36, 0, 36, H)
    return left, mid, right


def lamp_img():
    img = Img(22, 38)
    body = Mask(22, 38, rrect(1, 10, 7, 27, 3.0, 0.0))
    near = body.dilate(True)
    halo1 = near.dilate(True) - near
    halo2 = halo1.dilate(True) - halo1 - near
    for y in range(38):
        for x in range(22):
            if halo2.get(x, y) and (x + y) % 2 == 0:
                img.set(x, y, hexc("5a1048"))
    img.paint(halo1, hexc("841a68"))
    img.paint(near - body, hexc("c02c8c"))
    cy = 18.5
    img.paint(body, lambda x, y: mix(WHITE, HOT, abs(y + 0.5 - cy) / 8.5 + abs(x + 0.5 - 4.0) / 5.0))
    core = Mask(22, 38, rrect(3, 14, 5, 23, 1.0, 0.0))
    img.paint(core, WHITE)
    return img


def make_triangle():
    img = Img(14, 16)
    # pointing right, centred on row 7.5
    tri = Mask(14, 16, polygon([(3.0, 1.0), (12.0, 7.5), (3.0, 14.0)]))
    img.paint(tri.outline(False), INK)
    img.paint(tri, vgrad(1, 14, [(0, PINK_HI), (0.5, HOT), (1, hexc("a01470"))]))
    img.blend_mask(tri.edge_tl(), WHITE, 0.5)
    return img


# --------------------------------------------------------------------------
# Windows
# --------------------------------------------------------------------------


def window(w, h, title_h, title_light=False):
    img = Img(w, h)
    outer = Mask(w, h, rrect(0, 0, w, h, 7.0))
    border = Mask(w, h, rrect(1, 1, w - 1, h - 1, 6.0))
    core = Mask(w, h, rrect(2, 2, w - 2, h - 2, 5.0))
    img.paint(outer, INK)
    img.paint(border, vgrad(1, h - 2, [(0, hexc("f070b8")), (0.15, hexc("b02480")), (1, hexc("5a0c44"))]))
    img.paint(core, vgrad(2, h - 3, [(0, hexc("2a0a28")), (1, hexc("140510"))]))
    # faint lattice in the body
    for y in range(h):
        for x in range(w):
            if core.get(x, y) and ((x + y) % 16 == 0 or (x - y) % 16 == 0):
                img.over(x, y, hexc("401238"), 0.7)
    head = Mask(w, h, rrect(2, 2, w - 2, title_h, 5.0)) & core
    head = head - Mask(w, h, rrect(0, title_h - 1, w, h))
    if title_light:
        img.paint(head, vgrad(2, title_h - 2, [(0, hexc("f8d8ec")), (0.5, hexc("f0b0d6")),
                                                (0.52, hexc("e898c8")), (1, hexc("d47cb4"))]))
    else:
        img.paint(head, vgrad(2, title_h - 2, [(0, hexc("e050a8")), (0.48, hexc("a81c78")),
                                                (0.52, hexc("86105e")), (1, hexc("5a0a44"))]))
    img.blend_mask(head.edge_top(), WHITE, 0.5)
    img.rect(2, title_h - 1, w - 4, 1, INK)
    img.rect(2, title_h, w - 4, 1, hexc("a02070"))
    img.blend_mask(core.edge_br(), INK, 0.4)
    return img, core


def make_hotkeybk():
    img, core = window(198, 127, 16)
    # inset content area
    panel(img, 8, 22, 190, 102, 4, vgrad(23, 101, [(0, hexc("0e030c")), (1, hexc("1c0818"))]),
          border=hexc("4a1040"), bevel=False)
    return img


def make_settingbg():
    img, core = window(198, 104, 16, title_light=True)
    # icon slot at (12, 28) for the 32 x 32 game icon
    panel(img, 9, 25, 47, 63, 4, vgrad(26, 62, [(0, hexc("0a0208")), (1, hexc("200a1c"))]),
          border=hexc("8c2068"))
    # shallow tray behind the three setting rows
    tray = Mask(198, 104, rrect(50, 22, 192, 82, 4))
    img.blend_mask(tray, hexc("080206"), 0.45)
    img.blend_mask(tray.edge_br(), hexc("6a1650"), 0.6)
    for y in (43, 63):
        img.rect(54, y, 134, 1, hexc("3a0c32"))
    return img


def make_progress_wnd():
    img, core = window(198, 93, 16)
    # track for the progress bar (the bar is 102 x 12)
    tr = Mask(198, 93, rrect(46, 50, 152, 66, 8.0))
    img.paint(tr, INK)
    img.paint(Mask(198, 93, rrect(47, 51, 151, 65, 7.0)), vgrad(51, 64, [(0, hexc("080206")), (1, hexc("2a0a28"))]))
    return img


def make_progress_bar():
    img = Img(102, 12)
    shape = Mask(102, 12, rrect(0, 0, 102, 12, 6.0, 0.0))
    inner = Mask(102, 12, rrect(1, 1, 101, 11, 5.0, 0.0))
    img.paint(shape, (74, 8, 54))
    img.paint(inner, lambda x, y: mix(grad([(0, (255, 176, 220)), (0.45, (240, 72, 168)),
                                            (0.5, (214, 40, 140)), (1, (150, 18, 98))], (y - 1) / 9.0),
                                      (255, 140, 200), 0.25 * math.sin(x / 101.0 * math.pi)))
    # diagonal sheen stripes
    for y in range(12):
        for x in range(102):
            if inner.get(x, y) and ((x + y) // 5) % 2 == 0:
                img.over(x, y, (255, 255, 255), 0.08)
    img.blend_mask(inner.edge_top(), (255, 255, 255), 0.55)
    return img


# --------------------------------------------------------------------------
# Buttons and small marks
# --------------------------------------------------------------------------


def make_btn(w):
    return pill(w, 14, hexc("d040a0"), hexc("98146c"), hexc("5a0840"), gloss=0.16)


def make_close(w, h):
    img = Img(w, h)
    r = 3.0 if w < 16 else 5.0
    outer = Mask(w, h, rrect(0, 0, w, h, r + 1, 0.0))
    body = Mask(w, h, rrect(1, 1, w - 1, h - 1, r, 0.0))
    img.paint(outer, INK)
    img.paint(body, vgrad(1, h - 2, [(0, hexc("f890c0")), (0.45, hexc("e03c80")), (0.5, hexc("c02068")),
                                    (1, hexc("800c44"))]))
    img.blend_mask(body.edge_tl(), WHITE, 0.45)
    img.blend_mask(body.edge_br(), INK, 0.4)
    cx, cy = w / 2.0, h / 2.0
    s = 2.5 if w < 16 else 3.0
    x_mark = Mask(w, h, union(capsule(cx - s, cy - s, cx + s, cy + s, 0.85),
                              capsule(cx - s, cy + s, cx + s, cy - s, 0.85)))
    img.paint(x_mark.shift(0, 1) - x_mark, hexc("5a0630"))
    img.paint(x_mark, WHITE)
    return img


def make_spin(left):
    img = Img(8, 14)
    if left:
        shape = Mask(8, 14, lambda px, py: sd_box(px, py, 0, 0, 16, 14, 6.0) <= 0.15)
    else:
        shape = Mask(8, 14, lambda px, py: sd_box(px, py, -8, 0, 8, 14, 6.0) <= 0.15)
    img.paint(shape, INK)
    body = shape.erode()
    if left:
        body = body - Mask(8, 14, rrect(7, 0, 8, 14))
    else:
        body = body - Mask(8, 14, rrect(0, 0, 1, 14))
    img.paint(body, vgrad(1, 12, [(0, hexc("e060b0")), (0.5, hexc("a81c78")), (1, hexc("600a48"))]))
    img.blend_mask(body.edge_top(), WHITE, 0.45)
    if left:
        tri = Mask(8, 14, polygon([(5.5, 3.5), (5.5, 10.5), (2.0, 7.0)]))
    else:
        tri = Mask(8, 14, polygon([(2.5, 3.5), (2.5, 10.5), (6.0, 7.0)]))
    img.paint(tri, WHITE)
    return img


def make_checkbox(on):
    img = Img(11, 10)
    box = Mask(11, 10, rrect(0, 0, 10, 10, 2.0, 0.0))
    img.paint(box, hexc("c03090") if on else hexc("7a2066"))
    inner = Mask(11, 10, rrect(1, 1, 9, 9, 1.0, 0.0))
    img.paint(inner, vgrad(1, 8, [(0, hexc("0a0208")), (1, hexc("2a0a28"))]))
    img.blend_mask(inner.edge_tl(), INK, 0.6)
    if on:
        tick = from_rows([
            "..........#",
            ".........##",
            "........##.",
            ".#.....##..",
            "##....##...",
            ".##..##....",
            "..####.....",
            "...##......",
        ], 0, 1, 11, 10)
        img.paint(tick.outline(False) - box, INK)
        img.paint(tick, vgrad(1, 8, [(0, WHITE), (1, PINK_HI)]))
    return img


def make_radio(on):
    img = Img(11, 10)
    ring = Mask(11, 10, ellipse(5.0, 5.0, 5.0, 5.0))
    img.paint(ring, hexc("c03090") if on else hexc("7a2066"))
    inner = Mask(11, 10, ellipse(5.0, 5.0, 4.0, 4.0))
    img.paint(inner, vgrad(1, 8, [(0, hexc("0a0208")), (1, hexc("2a0a28"))]))
    if on:
        dot = Mask(11, 10, ellipse(5.0, 5.0, 2.6, 2.6))
        img.paint(dot, vgrad(3, 7, [(0, WHITE), (0.4, PINK_HI), (1, HOT)]))
    return img


def make_fathernode():
    img = Img(11, 10)
    back = from_rows([
        ".####......",
        "#....#.....",
        "#.....####.",
        "#.........#",
        "#.........#",
        "#.........#",
        "#.........#",
        "#.........#",
        "#.........#",
        ".#########.",
    ])
    fill = from_rows([
        "...........",
        ".####......",
        ".#####.....",
        ".########..",
        ".#########.",
        ".#########.",
        ".#########.",
        ".#########.",
        ".#########.",
        "...........",
    ])
    img.paint(back, INK)
    img.paint(fill, vgrad(1, 8, [(0, hexc("f8b0d8")), (1, hexc("c8388e"))]))
    img.rect(1, 3, 9, 1, hexc("f8d8ec"))
    return img


def make_active():
    img = Img(6, 6)
    m = from_rows(["..##..", ".####.", "######", "######", ".####.", "..##.."])
    img.paint(m, vgrad(0, 5, [(0, WHITE), (0.4, PINK_HI), (1, HOT)]))
    img.set(2, 1, WHITE)
    img.set(3, 4, hexc("c02890"))
    return img


def make_hotkey_mark(on):
    img = Img(9, 9)
    ring = Mask(9, 9, rrect(0, 0, 9, 9, 3.0, 0.0))
    inner = Mask(9, 9, rrect(1, 1, 8, 8, 2.0, 0.0))
    if on:
        img.paint(ring, hexc("f070b8"))
        img.paint(inner, hexc("3a0830"))
        led = Mask(9, 9, rrect(2, 2, 7, 7, 1.5, 0.0))
        img.paint(led, vgrad(2, 6, [(0, WHITE), (0.5, PINK), (1, MAGENTA)]))
        img.set(3, 3, WHITE)
    else:
        img.paint(ring, (104, 58, 96))
        img.paint(inner, (34, 14, 31))
        led = Mask(9, 9, rrect(2, 2, 7, 7, 1.5, 0.0))
        img.paint(led, vgrad(2, 6, [(0, (92, 54, 86)), (1, (60, 30, 56))]))
    return img


def make_cheat_clearall():
    img = Img(16, 12)
    # an eraser lying on a slant
    body = Mask(16, 12, polygon([(1.5, 7.5), (7.5, 1.5), (14.5, 1.5), (14.5, 4.5), (8.5, 10.5), (1.5, 10.5)]))
    img.paint(body.outline(False), INK)
    img.paint(body, vgrad(1, 10, [(0, hexc("f8a8d0")), (1, hexc("d03c90"))]))
    sleeve = body & Mask(16, 12, lambda px, py: px + py >= 12.5 and px + py <= 15.5)
    img.paint(sleeve, hexc("f8e8f0"))
    tip = body & Mask(16, 12, lambda px, py: px + py < 12.5)
    img.paint(tip, vgrad(1, 10, [(0, WHITE), (1, hexc("f0c8dc"))]))
    img.blend_mask(body.edge_tl(), WHITE, 0.4)
    return img


def make_brightness(startbar):
    img = startbar.crop(206, 2, 22, 18)
    cx, cy = 11.0, 9.0
    rays = Mask(22, 18, lambda px, py: False)
    for i in range(8):
        a = i * math.pi / 4.0
        ax, ay = cx + math.cos(a) * 5.6, cy + math.sin(a) * 5.6
        bx, by = cx + math.cos(a) * 7.6, cy + math.sin(a) * 7.6
        rays = rays | Mask(22, 18, capsule(ax, ay, bx, by, 0.75))
    disc = Mask(22, 18, circle(cx, cy, 4.2))
    shape = rays | disc
    img.paint(shape.outline(True), INK)
    img.paint(rays, PEACH)
    img.paint(disc, lambda x, y: mix(hexc("fff0c0"), hexc("f8a860"), math.hypot(x + 0.5 - cx + 1.5, y + 0.5 - cy + 1.5) / 6.0))
    img.set(9, 7, WHITE)
    return img


def make_reback():
    img = Img(23, 18)
    # a curved arrow turning back to the left
    arc = Mask(23, 18, lambda px, py: px >= 11.5 and 3.2 <= math.hypot(px - 11.5, py - 9.0) <= 6.2)
    stem = Mask(23, 18, rrect(7, 3, 12, 6)) | Mask(23, 18, rrect(8, 12, 12, 15))
    head = Mask(23, 18, polygon([(8.5, -0.5), (8.5, 9.5), (2.0, 4.5)]))
    shape = arc | stem | head
    img.paint(shape.outline(True), INK)
    img.paint(shape, vgrad(0, 15, [(0, WHITE), (0.45, PINK_HI), (1, HOT)]))
    img.blend_mask(shape.edge_br(), hexc("a01470"), 0.5)
    return img


def make_card_frame(state):
    img = Img(23, 18)
    pal = ((hexc("f8c8e4"), hexc("e060b0"), hexc("a01870"), PINK_HI) if state == 0 else
           (hexc("d8f0f8"), hexc("50b8e8"), hexc("1868a0"), CYAN))
    # a memory card standing in its slot
    card = Mask(23, 18, polygon([(5.0, 1.0), (14.0, 1.0), (14.0, 4.0), (16.0, 6.0), (16.0, 15.0), (5.0, 15.0)]))
    slot = Mask(23, 18, rrect(1, 14, 22, 18, 2.0, 0.0))
    img.paint(slot, INK)
    img.paint(Mask(23, 18, rrect(2, 15, 21, 17, 1.0, 0.0)), vgrad(15, 16, [(0, hexc("6a1a58")), (1, hexc("3a0c32"))]))
    img.paint(card.outline(False) - slot, INK)
    img.paint(card & Mask(23, 18, rrect(0, 0, 23, 15)), vgrad(1, 14, [(0, pal[0]), (1, pal[1])]))
    # contacts along the top edge
    for x in (6, 8, 10, 12):
        img.rect(x, 2, 1, 3, hexc("f8e0a0"))
    # label
    img.rect(7, 8, 7, 5, pal[2])
    img.rect(7, 8, 7, 1, mix(pal[2], WHITE, 0.4))
    img.set(10, 10, WHITE)
    img.set(9, 10, pal[3])
    img.set(11, 10, pal[3])
    img.set(10, 9, pal[3])
    img.set(10, 11, pal[3])
    img.blend_mask(card.edge_tl(), WHITE, 0.5)
    # state light
    led = Mask(23, 18, circle(19.5, 4.5, 1.9))
    img.paint(led.outline(False), INK)
    img.paint(led, pal[3])
    img.set(19, 4, WHITE)
    return img


# --------------------------------------------------------------------------
# Clock digits
# --------------------------------------------------------------------------


def digit_mask(d, w=24, h=31):
    x0, x1, y0, y1, t, g = 2.0, 22.0, 1.0, 30.0, 5.0, 0.7
    ym = y0 + (y1 - y0 - t) / 2.0

    def hseg(y):
        return polygon([(x0 + t / 2 + g, y + t / 2), (x0 + t + g, y), (x1 - t - g, y),
                        (x1 - t / 2 - g, y + t / 2), (x1 - t - g, y + t), (x0 + t + g, y + t)])

    def vseg(x, ya, yb):
        return polygon([(x + t / 2, ya + t / 2 + g), (x + t, ya + t + g), (x + t, yb - t - g),
                        (x + t / 2, yb - t / 2 - g), (x, yb - t - g), (x, ya + t + g)])
    segs = {
        "a": hseg(y0), "g": hseg(ym), "d": hseg(y1 - t),
        "f": vseg(x0, y0, ym + t), "b": vseg(x1 - t, y0, ym + t),
        "e": vseg(x0, ym, y1), "c": vseg(x1 - t, ym, y1),
    }
    lit = {0: "abcdef", 1: "bc", 2: "abged", 3: "abgcd", 4: "fgbc", 5: "afgcd",
           6: "afgedc", 7: "abc", 8: "abcdefg", 9: "abcdfg"}[d]
    on = Mask(w, h, union(*[segs[s] for s in lit]))
    off = Mask(w, h, union(*[segs[s] for s in "abcdefg" if s not in lit]))
    return on, off


def draw_digit_cell(img, on, off, oy):
    h = on.h
    img.paint(off, hexc("221020"), 0, oy)
    img.paint(on.outline(True), INK, 0, oy)
    colour = lambda x, y: grad([(0, hexc("f8d8ec")), (0.35, hexc("f890c8")), (0.62, hexc("e84ca8")),
                                (1, hexc("b01c80"))], (y - oy) / float(h - 1))
    img.paint(on, colour, 0, oy)
    hi = on.edge_top()
    for y in range(h):
        for x in range(on.w):
            if hi.get(x, y):
                img.over(x, y + oy, WHITE, 0.35)


def make_clock_numbers():
    img = Img(24, 310)
    for d in range(10):
        on, off = digit_mask(d)
        draw_digit_cell(img, on, off, d * 31)
    return img


def make_clock_colon():
    img = Img(10, 31)
    dots = Mask(10, 31, union(rrect(3, 8, 8, 13, 1.5, 0.0), rrect(3, 18, 8, 23, 1.5, 0.0)))
    img.paint(dots.outline(True), INK)
    img.paint(dots, lambda x, y: grad([(0, hexc("f8d8ec")), (0.35, hexc("f890c8")), (0.62, hexc("e84ca8")),
                                       (1, hexc("b01c80"))], y / 30.0))
    return img


# --------------------------------------------------------------------------
# File-type icons
# --------------------------------------------------------------------------


def finish_icon(img, mask, light=0.35, dark=0.3):
    img.blend_mask(mask.edge_tl(), WHITE, light)
    img.blend_mask(mask.edge_br(), INK, dark)
    img.paint(mask.outline(True), INK)


def make_icon_nds():
    img = Img(32, 32)
    body = Mask(32, 32, polygon([(5.0, 2.0), (22.0, 2.0), (27.0, 7.0), (27.0, 30.0), (5.0, 30.0)]))
    img.paint(body, vgrad(2, 29, [(0, hexc("e8e4f0")), (1, hexc("9890a8"))]))
    # grip ridges
    for y in (4, 6, 8):
        img.rect(8, y, 12, 1, hexc("8a8098"))
        img.rect(8, y + 1, 12, 1, hexc("f8f8f8"))
    # label
    lab = Mask(32, 32, rrect(8, 11, 25, 28, 1.0))
    img.paint(lab.outline(False), hexc("58506a"))
    img.paint(lab, vgrad(11, 27, [(0, hexc("f8a0d0")), (0.5, hexc("e03898")), (1, hexc("8a1064"))]))
    sparkle(img, 16.5, 18.5, 5.0, WHITE, 1.0)
    img.rect(10, 25, 13, 1, hexc("f8c0e0"))
    finish_icon(img, body)
    return img


def make_icon_gba():
    img = Img(32, 32)
    shell = Mask(32, 32, union(rrect(3, 4, 29, 26, 3.0), rrect(3, 12, 29, 26)))
    plug = Mask(32, 32, rrect(6, 25, 26, 29, 1.0))
    body = shell | plug
    img.paint(shell, vgrad(4, 25, [(0, hexc("d8d0e8")), (1, hexc("8a80a0"))]))
    img.paint(plug, hexc("4a4058"))
    for x in range(8, 25, 2):
        img.rect(x, 26, 1, 3, hexc("f8d070"))
    # grip ridges
    for x in range(9, 24, 3):
        img.rect(x, 5, 2, 2, hexc("9a90b0"))
        img.rect(x, 5, 2, 1, hexc("f8f0f8"))
    # label
    lab = Mask(32, 32, rrect(6, 9, 26, 23, 1.0))
    img.paint(lab.outline(False), hexc("4a405c"))
    img.paint(lab, vgrad(9, 22, [(0, hexc("c0a0f8")), (0.5, hexc("7048d0")), (1, hexc("382080"))]))
    img.rect(8, 11, 16, 2, hexc("f070b8"))
    img.rect(8, 11, 16, 1, hexc("f8b0d8"))
    sparkle(img, 16.0, 17.5, 3.6, WHITE, 1.0)
    img.rect(8, 21, 10, 1, hexc("a088e0"))
    finish_icon(img, body)
    return img


def make_icon_sav():
    img = Img(32, 32)
    body = Mask(32, 32, polygon([(3.0, 3.0), (25.0, 3.0), (29.0, 7.0), (29.0, 29.0), (3.0, 29.0)]))
    body = body & Mask(32, 32, rrect(3, 3, 29, 29, 2.0))
    img.paint(body, vgrad(3, 28, [(0, hexc("f070b8")), (1, hexc("901468"))]))
    # shutter
    sh = Mask(32, 32, rrect(9, 3, 23, 12))
    img.paint(sh, vgrad(3, 11, [(0, hexc("f0f0f8")), (1, hexc("a0a0b0"))]))
    img.rect(18, 5, 3, 5, hexc("3a3444"))
    img.rect(9, 11, 14, 1, hexc("6a6478"))
    # label
    lab = Mask(32, 32, rrect(7, 16, 25, 29, 1.0))
    img.paint(lab, vgrad(16, 28, [(0, WHITE), (1, hexc("e0d8e8"))]))
    for y in (19, 22, 25):
        img.rect(9, y, 14, 1, hexc("e898c8"))
    img.rect(9, 19, 9, 1, hexc("c02890"))
    finish_icon(img, body)
    return img


def make_icon_txt():
    img = Img(33, 32)
    page = Mask(33, 32, polygon([(6.0, 2.0), (21.0, 2.0), (27.0, 8.0), (27.0, 30.0), (6.0, 30.0)]))
    img.paint(page, vgrad(2, 29, [(0, WHITE), (1, hexc("d8d0e0"))]))
    fold = Mask(33, 32, polygon([(21.0, 2.0), (27.0, 8.0), (21.0, 8.0)]))
    img.paint(fold, hexc("b8acc8"))
    img.rect(21, 8, 6, 1, hexc("8a7e9c"))
    img.rect(21, 2, 1, 6, hexc("8a7e9c"))
    img.rect(9, 6, 9, 2, hexc("d02890"))
    for i, y in enumerate((11, 14, 17, 20, 23, 26)):
        ln = 15 if i % 3 != 2 else 10
        img.rect(9, y, ln, 1, hexc("9088a8"))
    finish_icon(img, page)
    return img


def make_icon_dpg():
    img = Img(33, 32)
    film = Mask(33, 32, rrect(2, 5, 31, 27, 2.0))
    img.paint(film, vgrad(5, 26, [(0, hexc("3a3244")), (1, hexc("1a141e"))]))
    for x in range(4, 30, 4):
        img.rect(x, 7, 2, 2, hexc("d8d0e0"))
        img.rect(x, 23, 2, 2, hexc("d8d0e0"))
    frame = Mask(33, 32, rrect(4, 10, 29, 22, 1.0))
    img.paint(frame, vgrad(10, 21, [(0, hexc("60c8f0")), (0.5, hexc("b050d0")), (1, hexc("e03898"))]))
    img.rect(16, 10, 1, 12, hexc("1a141e"))
    play = Mask(33, 32, polygon([(13.0, 11.5), (22.0, 16.0), (13.0, 20.5)]))
    img.paint(play.outline(False) & frame, hexc("4a0e40"))
    img.paint(play, WHITE)
    finish_icon(img, film)
    return img


def make_icon_plg():
    img = Img(32, 32)
    sq = rrect(4, 10, 23, 29, 1.5)
    knobs = union(circle(13.5, 6.5, 4.2), rrect(11, 8, 16, 11), circle(26.5, 19.5, 4.2), rrect(22, 17, 25, 22))
    holes = union(circle(4.0, 19.5, 3.6), circle(13.5, 29.5, 3.6))
    m = Mask(32, 32, minus(union(sq, knobs), holes))
    img.paint(m, vgrad(2, 29, [(0, hexc("b0f0f8")), (0.45, hexc("40c0e8")), (1, hexc("1868a0"))]))
    img.blend_mask(m & Mask(32, 32, circle(12.5, 5.5, 1.6)), WHITE, 0.5)
    img.blend_mask(m & Mask(32, 32, capsule(7.5, 16.0, 10.5, 13.0, 0.8)), WHITE, 0.55)
    finish_icon(img, m, 0.5, 0.35)
    return img


def folder_masks():
    back = Mask(32, 32, union(rrect(3, 5, 14, 10, 2.0), rrect(3, 8, 29, 28, 2.0)))
    front = Mask(32, 32, polygon([(3.0, 28.0), (6.0, 13.0), (31.0, 13.0), (28.0, 28.0)]))
    return back, front


def draw_folder(img):
    back, front = folder_masks()
    img.paint(back, vgrad(5, 27, [(0, hexc("b0287e")), (1, hexc("60083e"))]))
    img.rect(5, 10, 22, 3, hexc("f8f0f4"))  # paper
    img.rect(5, 10, 22, 1, hexc("d8d0e0"))
    img.paint(front, vgrad(13, 27, [(0, hexc("f8a8d4")), (0.3, hexc("f070b8")), (1, hexc("b01c80"))]))
    img.blend_mask(front.edge_top(), WHITE, 0.6)
    whole = back | front
    img.paint(whole.outline(True), INK)
    return front


def make_icon_pth():
    img = Img(32, 32)
    draw_folder(img)
    return img


def make_icon_rpth():
    img = Img(32, 32)
    draw_folder(img)
    arrow = Mask(32, 32, union(polygon([(17.0, 14.5), (23.0, 20.5), (11.0, 20.5)]), rrect(15, 20, 19, 26)))
    img.paint(arrow.outline(False), hexc("5a0840"))
    img.paint(arrow, vgrad(15, 25, [(0, WHITE), (1, hexc("f8d0e8"))]))
    return img


def make_icon_cheat():
    img = Img(15, 16)
    stick = Mask(15, 16, capsule(2.0, 14.0, 8.0, 8.0, 1.2))
    star = Mask(15, 16, polygon([
        (10.5 + 5.2 * math.sin(a), 5.0 - 5.2 * math.cos(a)) if i % 2 == 0 else
        (10.5 + 2.2 * math.sin(a), 5.0 - 2.2 * math.cos(a))
        for i, a in ((i, i * math.pi / 5.0) for i in range(10))]))
    shape = stick | star
    img.paint(shape.outline(False), INK)
    img.paint(stick, lambda x, y: WHITE if (x + y) % 4 < 2 else hexc("d02890"))
    img.paint(star, vgrad(0, 9, [(0, hexc("fff0b0")), (1, hexc("f8b048"))]))
    img.set(10, 3, WHITE)
    return img


def make_icon_realtime():
    img = Img(17, 14)
    bells = Mask(17, 14, union(circle(3.0, 2.8, 2.2), circle(14.0, 2.8, 2.2)))
    face = Mask(17, 14, circle(8.5, 7.5, 6.0))
    feet = Mask(17, 14, union(capsule(4.0, 13.0, 5.0, 12.0, 0.6), capsule(13.0, 13.0, 12.0, 12.0, 0.6)))
    shape = bells | face | feet
    img.paint(shape.outline(False), INK)
    img.paint(bells | feet, hexc("f070b8"))
    img.paint(face, hexc("e03898"))
    dial = Mask(17, 14, circle(8.5, 7.5, 4.6))
    img.paint(dial, vgrad(3, 12, [(0, WHITE), (1, hexc("e0d8e8"))]))
    img.rect(8, 4, 1, 4, INK)
    img.rect(8, 7, 3, 1, INK)
    img.set(8, 7, hexc("c02890"))
    return img


def make_icon_unk():
    glyph = from_rows([
        ".####.",
        "##..##",
        "##..##",
        "....##",
        "...##.",
        "..##..",
        "..##..",
        "..##..",
        "......",
        "..##..",
        "..##..",
    ], 1, 1, 8, 14)
    img = Img(8, 14)
    img.paint(glyph.outline(True), INK)
    img.paint(glyph, vgrad(1, 11, [(0, WHITE), (0.4, PINK_HI), (1, HOT)]))
    return img


# --------------------------------------------------------------------------
# Editor pictures (not part of the skin)
# --------------------------------------------------------------------------


def make_sample_icon():
    """A round little hero with a cap: the preview's sample game icon."""
    img = Img(32, 32)
    body = Mask(32, 32, ellipse(16.0, 18.5, 11.0, 10.0))
    feet = Mask(32, 32, union(ellipse(10.0, 28.5, 4.5, 2.5), ellipse(22.0, 28.5, 4.5, 2.5)))
    cap = Mask(32, 32, union(ellipse(16.0, 10.5, 10.0, 6.5), rrect(14, 2, 25, 7, 2.5)))
    cap = cap - Mask(32, 32, rrect(0, 11, 32, 32))
    brim = Mask(32, 32, rrect(12, 9, 31, 12, 1.5))
    star = Mask(32, 32, polygon([
        (27.5 + 3.4 * math.sin(a), 22.0 - 3.4 * math.cos(a)) if i % 2 == 0 else
        (27.5 + 1.5 * math.sin(a), 22.0 - 1.5 * math.cos(a))
        for i, a in ((i, i * math.pi / 5.0) for i in range(10))]))
    whole = body | feet | cap | brim | star
    img.paint(whole.outline(False), (24, 16, 40))
    img.paint(feet, (200, 64, 40))
    img.paint(body, lambda x, y: mix((255, 214, 120), (240, 136, 48), (y - 9) / 20.0 + (x - 6) / 60.0))
    img.paint(cap, vgrad(2, 11, [(0, (96, 176, 255)), (1, (40, 88, 216))]))
    img.paint(brim, (32, 64, 176))
    img.rect(17, 4, 3, 3, (255, 255, 255))
    # face
    for ex in (12, 19):
        img.rect(ex, 15, 2, 4, (24, 16, 40))
        img.set(ex, 15, (255, 255, 255))
    img.rect(9, 20, 3, 2, (255, 128, 144))
    img.rect(21, 20, 3, 2, (255, 128, 144))
    img.rect(14, 22, 4, 1, (120, 32, 40))
    img.set(13, 21, (120, 32, 40))
    img.set(18, 21, (120, 32, 40))
    img.paint(star, (255, 232, 64))
    img.set(27, 21, (255, 255, 255))
    img.blend_mask(body.edge_tl() - cap - brim, (255, 250, 220), 0.7)
    out = []
    for p in img.px:
        out.append(GREEN if p is None else tuple(int(round(clamp(v))) for v in p))
    return 32, 32, out


def make_hinge():
    w, h = 266, 86
    px = []
    prof = [(0.0, (52, 50, 56)), (0.05, (84, 82, 90)), (0.12, (132, 130, 138)), (0.35, (176, 174, 182)),
            (0.55, (190, 188, 196)), (0.8, (164, 162, 170)), (0.95, (132, 130, 138)), (1.0, (100, 98, 106))]
    lens = (133.0, 43.0)
    dot = (153.0, 43.0)
    for y in range(h):
        for x in range(w):
            c = grad(prof, y / (h - 1.0))
            # rounded ends of the hinge barrel
            for ex in (14.0, w - 14.0):
                dx = abs(x + 0.5 - ex)
                if dx < 2.0:
                    c = mix(c, (96, 94, 102), 0.5)
            if x < 12 or x >= w - 12:
                c = mix(c, (120, 118, 126), 0.35)
            dl = math.hypot(x + 0.5 - lens[0], y + 0.5 - lens[1])
            if dl <= 9.0:
                c = (112, 110, 118) if dl > 7.8 else (150, 148, 156) if dl > 6.6 else c
            if dl <= 6.6:
                f = dl / 6.6
                c = mix((10, 8, 16), (40, 36, 60), f)
                if math.hypot(x + 0.5 - lens[0] + 2.0, y + 0.5 - lens[1] + 2.0) <= 1.6:
                    c = (220, 220, 235)
                elif 3.0 <= dl <= 4.0:
                    c = mix(c, (70, 60, 110), 0.6)
            dd = math.hypot(x + 0.5 - dot[0], y + 0.5 - dot[1])
            if dd <= 2.2:
                c = (48, 46, 54) if dd > 1.2 else (24, 22, 28)
            px.append(tuple(int(round(clamp(v))) for v in c))
    return w, h, px


# anti-aliased drawing for the application icon and the banner -------------


class Rgba:
    def __init__(self, w, h, bg=(0.0, 0.0, 0.0, 0.0)):
        self.w, self.h = w, h
        self.px = [list(bg) for _ in range(w * h)]

    def shape(self, sdf, colour, alpha=1.0, box=None):
        x0, y0, x1, y1 = box if box else (0, 0, self.w, self.h)
        x0, y0 = max(0, int(x0)), max(0, int(y0))
        x1, y1 = min(self.w, int(x1) + 1), min(self.h, int(y1) + 1)
        for y in range(y0, y1):
            for x in range(x0, x1):
                d = sdf(x + 0.5, y + 0.5)
                cov = clamp(0.5 - d, 0.0, 1.0)
                if cov <= 0.0:
                    continue
                c = colour(x, y) if callable(colour) else colour
                a = cov * alpha
                p = self.px[y * self.w + x]
                na = a + p[3] * (1.0 - a)
                if na > 0:
                    for i in range(3):
                        p[i] = (c[i] * a + p[i] * p[3] * (1.0 - a)) / na
                p[3] = na

    def pixels(self):
        return [(int(round(clamp(p[0]))), int(round(clamp(p[1]))), int(round(clamp(p[2]))),
                 int(round(clamp(p[3] * 255.0)))) for p in self.px]


def sdf_box(x0, y0, x1, y1, r):
    return lambda px, py: sd_box(px, py, x0, y0, x1, y1, r)


def sdf_circle(cx, cy, r):
    return lambda px, py: math.hypot(px - cx, py - cy) - r


def sdf_capsule(ax, ay, bx, by, r):
    return lambda px, py: seg_dist(px, py, ax, ay, bx, by) - r


def sdf_poly(pts):
    inside = polygon(pts)

    def f(px, py):
        d = min(seg_dist(px, py, pts[i][0], pts[i][1], pts[(i + 1) % len(pts)][0], pts[(i + 1) % len(pts)][1])
                for i in range(len(pts)))
        return -d if inside(px, py) else d
    return f


def draw_handheld(c, s, ox, oy, brush=True):
    """A two-screen handheld, 256 units square, scaled by s and placed at (ox, oy)."""
    def B(x0, y0, x1, y1, r):
        return sdf_box(ox + x0 * s, oy + y0 * s, ox + x1 * s, oy + y1 * s, r * s)

    def bb(x0, y0, x1, y1):
        return (ox + x0 * s - 2, oy + y0 * s - 2, ox + x1 * s + 2, oy + y1 * s + 2)

    def vg(y0, y1, stops):
        return lambda x, y: grad(stops, (y - (oy + y0 * s)) / max(1.0, (y1 - y0) * s))
    # shadow
    c.shape(B(34, 30, 230, 240, 26), (0, 0, 0), 0.35, bb(34, 30, 230, 240))
    # upper half
    c.shape(B(28, 20, 228, 122, 24), (26, 6, 24), 1.0, bb(28, 20, 228, 122))
    c.shape(B(31, 23, 225, 119, 21), vg(23, 119, [(0, (120, 36, 104)), (1, (58, 14, 52))]), 1.0, bb(31, 23, 225, 119))
    c.shape(B(58, 36, 198, 108, 8), (14, 4, 14), 1.0, bb(58, 36, 198, 108))
    c.shape(B(64, 42, 192, 102, 4), vg(42, 102, [(0, (250, 170, 220)), (0.55, (236, 72, 168)), (1, (120, 20, 96))]),
            1.0, bb(64, 42, 192, 102))
    # hinge
    c.shape(B(40, 118, 216, 132, 7), vg(118, 132, [(0, (70, 20, 62)), (0.5, (150, 60, 130)), (1, (50, 12, 44))]),
            1.0, bb(40, 118, 216, 132))
    # lower half
    c.shape(B(28, 128, 228, 236, 24), (26, 6, 24), 1.0, bb(28, 128, 228, 236))
    c.shape(B(31, 131, 225, 233, 21), vg(131, 233, [(0, (104, 30, 92)), (1, (48, 10, 42))]), 1.0, bb(31, 131, 225, 233))
    c.shape(B(70, 144, 186, 222, 6), (14, 4, 14), 1.0, bb(70, 144, 186, 222))
    c.shape(B(75, 149, 181, 217, 3), vg(149, 217, [(0, (70, 24, 70)), (1, (34, 8, 34))]), 1.0, bb(75, 149, 181, 217))
    # a little icon grid on the lower screen
    for i in range(3):
        for j in range(2):
            x0 = 84 + i * 32
            y0 = 158 + j * 28
            col = [(248, 120, 192), (96, 208, 240), (250, 200, 120)][(i + j) % 3]
            c.shape(B(x0, y0, x0 + 22, y0 + 18, 4), col, 1.0, bb(x0, y0, x0 + 22, y0 + 18))
    # d-pad and buttons
    c.shape(B(40, 170, 62, 178, 2), (240, 200, 230), 1.0, bb(40, 170, 62, 178))
    c.shape(B(47, 163, 55, 185, 2), (240, 200, 230), 1.0, bb(47, 163, 55, 185))
    for bx, by in ((206, 164), (206, 184), (196, 174), (216, 174)):
        c.shape(sdf_circle(ox + bx * s, oy + by * s, 5 * s), (240, 200, 230), 1.0,
                (ox + (bx - 7) * s, oy + (by - 7) * s, ox + (bx + 7) * s, oy + (by + 7) * s))
    if not brush:
        return
    # paint stroke on the upper screen
    c.shape(sdf_capsule(ox + 90 * s, oy + 86 * s, ox + 150 * s, oy + 60 * s, 9 * s), (255, 255, 255), 0.85,
            bb(78, 48, 162, 98))
    # brush: handle from lower right to the upper screen
    c.shape(sdf_capsule(ox + 236 * s, oy + 222 * s, ox + 176 * s, oy + 96 * s, 8 * s), (20, 6, 20), 1.0,
            bb(160, 80, 250, 236))
    c.shape(sdf_capsule(ox + 236 * s, oy + 222 * s, ox + 180 * s, oy + 104 * s, 5.5 * s),
            lambda x, y: mix((250, 210, 120), (200, 120, 40), ((x - ox) / s - 190) / 40.0), 1.0, bb(170, 96, 246, 230))
    c.shape(sdf_poly([(ox + 170 * s, oy + 96 * s), (ox + 186 * s, oy + 88 * s), (ox + 194 * s, oy + 104 * s),
                      (ox + 178 * s, oy + 112 * s)]), (200, 200, 214), 1.0, bb(164, 84, 200, 116))
    c.shape(sdf_poly([(ox + 172 * s, oy + 92 * s), (ox + 186 * s, oy + 86 * s), (ox + 168 * s, oy + 62 * s),
                      (ox + 158 * s, oy + 66 * s)]), (26, 6, 24), 1.0, bb(150, 56, 192, 98))
    c.shape(sdf_poly([(ox + 172.5 * s, oy + 89 * s), (ox + 183 * s, oy + 85 * s), (ox + 167 * s, oy + 65.5 * s),
                      (ox + 161 * s, oy + 68 * s)]), (248, 64, 168), 1.0, bb(150, 56, 192, 98))


def make_app_icon():
    c = Rgba(256, 256)
    draw_handheld(c, 1.0, 0.0, 0.0)
    return 256, 256, c.pixels()


def make_about_banner():
    w, h = 468, 60
    c = Rgba(w, h, (0.0, 0.0, 0.0, 1.0))

    def bg(x, y):
        base = mix(hexc("3a1036"), hexc("10040e"), y / 59.0)
        d = math.hypot((x - 120) / 2.2, y - 20) / 110.0
        base = add(base, scale((90, 10, 70), max(0.0, 1.0 - d) ** 2))
        if (x + y) % 16 == 0 or (x - y) % 16 == 0:
            base = add(base, (8, 2, 8))
        return base
    c.shape(lambda px, py: -1.0, bg)
    c.shape(sdf_box(0, 56, w, 57, 0), (200, 50, 150))
    c.shape(sdf_box(0, 57, w, 60, 0), (20, 4, 18))
    draw_handheld(c, 48.0 / 256.0, 12.0, 5.0)
    # the program name in big pixel letters
    text = "Skin Editor"
    sx, sy = 4, 4
    tw = text_width(text, sx)
    tx, ty = 80, 12
    m = text_mask(text, w, h, tx, ty, sx, sy)
    rim = m.dilate(True)
    for y in range(h):
        for x in range(w):
            if rim.get(x - 2, y - 2) and not m.get(x, y):
                c.px[y * w + x] = [14.0, 2.0, 12.0, 1.0]
            elif rim.get(x, y) and not m.get(x, y):
                c.px[y * w + x] = [60.0, 6.0, 46.0, 1.0]
    for y in range(h):
        for x in range(w):
            if m.get(x, y):
                t = (y - ty) / float(7 * sy - 1)
                col = grad([(0, (255, 236, 246)), (0.4, (250, 150, 206)), (0.55, (236, 72, 168)),
                            (1, (176, 28, 128))], t)
                if not m.get(x, y - 1) or not m.get(x - 1, y):
                    col = mix(col, (255, 255, 255), 0.5)
                c.px[y * w + x] = [col[0], col[1], col[2], 1.0]
    # a row of colour swatches, the stuff skins are made of
    swatches = ((248, 120, 188), (212, 44, 148), (104, 24, 88), (80, 208, 240), (250, 204, 124))
    for i, col in enumerate(swatches):
        x0 = 356 + i * 20
        y0 = 22 if i % 2 == 0 else 26
        c.shape(sdf_box(x0 + 2, y0 + 2, x0 + 16, y0 + 16, 3.5), (10, 2, 8), 0.6, (x0, y0, x0 + 19, y0 + 19))
        c.shape(sdf_box(x0, y0, x0 + 14, y0 + 14, 3.5), (22, 4, 20), 1.0, (x0 - 1, y0 - 1, x0 + 15, y0 + 15))
        c.shape(sdf_box(x0 + 1, y0 + 1, x0 + 13, y0 + 13, 2.5),
                lambda x, y, col=col, y0=y0: mix(mix(col, (255, 255, 255), 0.35), col, (y - y0) / 8.0),
                1.0, (x0, y0, x0 + 14, y0 + 14))
        c.shape(sdf_box(x0 + 3, y0 + 2, x0 + 11, y0 + 4, 1.0), (255, 255, 255), 0.35, (x0, y0, x0 + 14, y0 + 6))
    # sparkles
    for (sx_, sy_, r) in ((tx + tw + 16, 14, 6.0), (tx + tw + 34, 40, 3.5), (340, 12, 2.5),
                          (456, 48, 3.5), (455, 12, 2.5)):
        for y in range(int(sy_ - r) - 1, int(sy_ + r) + 2):
            for x in range(int(sx_ - r) - 1, int(sx_ + r) + 2):
                dx, dy = abs(x + 0.5 - sx_), abs(y + 0.5 - sy_)
                if dx * dy <= r * 0.35 and dx + dy <= r + 0.2 and 0 <= x < w and 0 <= y < h:
                    p = c.px[y * w + x]
                    f = 0.4 + 0.6 * (1.0 - (dx + dy) / (r + 1.0))
                    for i, v in enumerate((255, 200, 236)):
                        p[i] = p[i] + (v - p[i]) * f
    px = [tuple(v for v in p[:3]) for p in c.pixels()]
    return w, h, px


# --------------------------------------------------------------------------
# Main
# --------------------------------------------------------------------------


def build_skin():
    pics = {}
    startbar = make_startbar()
    form_l, form_m, form_r = make_form()
    pics.update({
        "active": make_active(),
        "activehotkey": make_hotkey_mark(True),
        "brightness": make_brightness(startbar),
        "btn": make_btn(47),
        "btn3": make_btn(39),
        "cardFrame0": make_card_frame(0),
        "cardFrame1": make_card_frame(1),
        "cheat_clearall": make_cheat_clearall(),
        "cheatbg": make_cheatbg(),
        "cheatmenubtn": make_btn(70),
        "cheatselectbar": make_cheatselectbar(),
        "clock_colon": make_clock_colon(),
        "clock_numbers": make_clock_numbers(),
        "close": make_close(13, 12),
        "close1": make_close(20, 13),
        "fathernode": make_fathernode(),
        "form_L": form_l,
        "form_M": form_m,
        "form_R": form_r,
        "hotkeybk": make_hotkeybk(),
        "lamp": lamp_img(),
        "lower_screen": make_lower_screen(),
        "noactivehotke": make_hotkey_mark(False),
        "onehotdown": make_radio(False),
        "onehoton": make_radio(True),
        "pitchdown": make_checkbox(False),
        "pitchon": make_checkbox(True),
        "popsubbar": make_popsubbar(),
        "progress_bar": make_progress_bar(),
        "progress_wnd": make_progress_wnd(),
        "reBack": make_reback(),
        "selectbar": make_selectbar(),
        "settingbg": make_settingbg(),
        "spin_btn_left": make_spin(True),
        "spin_btn_right": make_spin(False),
        "start_released": make_start_released(),
        "startbar": startbar,
        "title_bg": make_title_bg(),
        "title_left": make_title_cap(False),
        "title_right": make_title_cap(True),
        "triangle": make_triangle(),
        "upper_screen": make_upper_screen(),
        "icon/cheat": make_icon_cheat(),
        "icon/dpg": make_icon_dpg(),
        "icon/gba": make_icon_gba(),
        "icon/nds": make_icon_nds(),
        "icon/plg": make_icon_plg(),
        "icon/pth": make_icon_pth(),
        "icon/realtime": make_icon_realtime(),
        "icon/rpth": make_icon_rpth(),
        "icon/sav": make_icon_sav(),
        "icon/txt": make_icon_txt(),
        "icon/unk": make_icon_unk(),
    })
    return pics


def main(argv=None):
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description="Generate the built-in default skin pictures.")
    ap.add_argument("--out", default=os.path.join(os.path.dirname(here), "assets"),
                    help="assets folder to write into (default: the repository's assets/)")
    args = ap.parse_args(argv)
    out = args.out

    pics = build_skin()
    assert sorted(pics) == sorted(SIZES), "catalogue mismatch"
    for name in sorted(pics):
        img = pics[name]
        if (img.w, img.h) != SIZES[name]:
            raise SystemExit("%s: size %dx%d, expected %dx%d" % ((name, img.w, img.h) + SIZES[name]))
        exact = name not in FREE_DEPTH
        data = quantise(img, dither=name in DITHERED, exact=exact)
        write_file(os.path.join(out, "skin", name + ".png"), png_rgb(img.w, img.h, data))

    w, h, px = make_sample_icon()
    write_file(os.path.join(out, "sample_icon.png"), png_palette(w, h, px))
    w, h, px = make_hinge()
    write_file(os.path.join(out, "hinge.png"), png_rgb(w, h, px))
    w, h, px = make_about_banner()
    write_file(os.path.join(out, "about_banner.png"), png_rgb(w, h, px))
    w, h, px = make_app_icon()
    write_file(os.path.join(out, "app_icon.png"), png_rgba(w, h, px))
    print("wrote %d skin pictures and 4 editor pictures to %s" % (len(pics), out))
    return 0


if __name__ == "__main__":
    sys.exit(main())
