#!/usr/bin/env python3
"""Compose rough mock-ups of the default skin, for judging the art.

Reads the pictures written by make_default_skin.py (assets/skin/...) and
draws a few of the console screens roughly the way the editor's preview
does: the game information screen, the icon and list views, the start menu
with a submenu, a message dialog, the hotkey and help windows, the game
settings window and the cheat list.  Green (0, 248, 0) and (0, 255, 0)
pixels are skipped where the preview uses its green key.  Texts use the
preview font from assets/font/kestrelux.txt when it is there, otherwise a
plain stand-in.

Writes /tmp/mock_<screen>.png (both screens with the hinge, 3x) and
/tmp/mock_sheet.png (every skin picture, 3x).  Standard library only.

Usage:  python3 tools/mock_screens.py [--assets DIR] [--out-dir DIR] [--scale N]
"""

import argparse
import os
import struct
import sys
import zlib

KEYS = ((0, 248, 0), (0, 255, 0))

# --------------------------------------------------------------------------
# PNG reading and writing
# --------------------------------------------------------------------------


def read_png(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(path + ": not a PNG file")
    pos, idat, plte = 8, b"", None
    w = h = ctype = 0
    while pos < len(data):
        n = struct.unpack(">I", data[pos:pos + 4])[0]
        kind = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + n]
        pos += 12 + n
        if kind == b"IHDR":
            w, h, depth, ctype = struct.unpack(">IIBB", body[:10])
            if depth != 8:
                raise ValueError(path + ": only 8-bit pictures are read")
        elif kind == b"PLTE":
            plte = [tuple(body[i:i + 3]) for i in range(0, len(body), 3)]
        elif kind == b"IDAT":
            idat += body
    bpp = {2: 3, 3: 1, 6: 4, 0: 1}[ctype]
    raw = zlib.decompress(idat)
    stride = w * bpp
    prev = bytearray(stride)
    pixels = []
    i = 0
    for _ in range(h):
        ft = raw[i]
        line = bytearray(raw[i + 1:i + 1 + stride])
        i += 1 + stride
        for x in range(stride):
            a = line[x - bpp] if x >= bpp else 0
            b = prev[x]
            c = prev[x - bpp] if x >= bpp else 0
            if ft == 1:
                line[x] = (line[x] + a) & 255
            elif ft == 2:
                line[x] = (line[x] + b) & 255
            elif ft == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif ft == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pr = a if pa <= pb and pa <= pc else b if pb <= pc else c
                line[x] = (line[x] + pr) & 255
        prev = line
        for x in range(w):
            if ctype == 2:
                pixels.append(tuple(line[x * 3:x * 3 + 3]))
            elif ctype == 6:
                pixels.append(tuple(line[x * 4:x * 4 + 3]))
            elif ctype == 3:
                pixels.append(plte[line[x]])
            else:
                pixels.append((line[x],) * 3)
    return Pic(w, h, pixels)


def write_png(path, pic, scale=1):
    w, h = pic.w * scale, pic.h * scale
    rows = []
    for y in range(pic.h):
        row = bytearray()
        for x in range(pic.w):
            row += bytes(pic.px[y * pic.w + x]) * scale
        for _ in range(scale):
            rows.append(b"\x00" + bytes(row))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    data = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(b"".join(rows), 6)) + chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(data)


class Pic:
    def __init__(self, w, h, px=None, fill=(0, 0, 0)):
        self.w, self.h = w, h
        self.px = px if px is not None else [fill] * (w * h)

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y * self.w + x] = c

    def draw(self, img, x, y, key=True):
        for sy in range(img.h):
            for sx in range(img.w):
                p = img.px[sy * img.w + sx]
                if key and p in KEYS:
                    continue
                self.set(x + sx, y + sy, p)

    def box(self, x, y, w, h, c):
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                self.set(xx, yy, c)

    def grab(self, x, y, w, h):
        out = Pic(w, h)
        for yy in range(h):
            for xx in range(w):
                out.px[yy * w + xx] = self.px[(y + yy) * self.w + x + xx]
        return out


# --------------------------------------------------------------------------
# Text
# --------------------------------------------------------------------------


class Font:
    def __init__(self, path):
        self.glyphs = {}
        if path and os.path.exists(path):
            self._load(path)

    def _load(self, path):
        cur, rows, adv = None, [], 0
        with open(path, encoding="utf-8") as f:
            for line in f:
                line = line.rstrip("\n")
                if not line or line.startswith(";"):
                    continue
                if line.startswith("glyph "):
                    parts = line.split()
                    cur, adv, rows = int(parts[1][2:], 16), int(parts[2]), []
                    continue
                if cur is not None:
                    rows.append(line)
                    if len(rows) == 15:
                        self.glyphs[chr(cur)] = (adv, rows)
                        cur = None

    def glyph(self, ch):
        if ch in self.glyphs:
            return self.glyphs[ch]
        # stand-in: a box the size of a capital
        rows = ["......"] * 4 + ["#####."] + ["#...#."] * 7 + ["#####."] + ["......"] * 2
        return 6, rows

    def width(self, text):
        return sum(self.glyph(c)[0] for c in text)

    def put(self, pic, x, y, text, colour):
        for ch in text:
            adv, rows = self.glyph(ch)
            for gy, row in enumerate(rows):
                for gx, c in enumerate(row):
                    if c == "#":
                        pic.set(x + gx, y + gy, colour)
            x += adv

    def fit(self, text, limit):
        text = text[:-1]
        while text and self.width(text) >= limit:
            text = text[:-1]
        return text


def c15(v):
    return ((v & 31) * 8, ((v >> 5) & 31) * 8, ((v >> 10) & 31) * 8)


COL = {k: c15(v) for k, v in {
    "formFrameColor": 0x180c, "formBodyColor": 0x0c63, "formTextColor": 0x3b1f,
    "formTitleTextColor": 0x3b1f, "buttonTextColor": 0x7fff, "listTextBgColor": 0x2413,
    "listTextColor": 0x3b1f, "listTextHighLightColor": 0x7b48, "vTextColor": 0x329e,
    "vTextHighLightColor": 0x7fff, "cheatListTextColor": 0x3b1f, "cheatListTextHighLightColor": 0x7b48,
    "logoFrameColor": 0x2413, "popMenuTextColor": 0x3b1f, "popMenuTextHighLightColor": 0x7348,
    "popSubMenuTextColor": 0x3b1f, "popSubMenuTextHighLightColor": 0x7fff, "popSubMenuBodyColor": 0x0422,
    "spinBoxNormalColor": 0x140c, "spinBoxFocusColor": 0x38d7, "spinBoxFrameColor": 0x38d7,
    "spinBoxTextColor": 0x2818, "spinBoxTextHighLightColor": 0x7fff, "romInfoTextColor": 0x36bf,
    "romInfoTitleColor": 0x2413, "gameInfoTextColor": 0x329e, "gameInfoTitleColor": 0x2413,
    "fileNameTextColor": 0x329e, "cheatTitleTextColor": 0x329e,
}.items()}

# --------------------------------------------------------------------------
# Screens
# --------------------------------------------------------------------------


class Mock:
    def __init__(self, assets):
        self.assets = assets
        self.img = {}
        skin = os.path.join(assets, "skin")
        for root, _, files in os.walk(skin):
            for f in files:
                if f.endswith(".png"):
                    rel = os.path.relpath(os.path.join(root, f), skin)[:-4].replace(os.sep, "/")
                    self.img[rel] = read_png(os.path.join(root, f))
        self.sample = read_png(os.path.join(assets, "sample_icon.png"))
        hp = os.path.join(assets, "hinge.png")
        self.hinge = read_png(hp) if os.path.exists(hp) else Pic(266, 86, fill=(150, 150, 150))
        self.font = Font(os.path.join(assets, "font", "kestrelux.txt"))

    def I(self, name):
        return self.img[name]

    def text(self, pic, x, y, s, colour):
        self.font.put(pic, x, y, s, colour)

    # upper screen ------------------------------------------------------------
    def upper(self, folder=False):
        p = Pic(256, 192)
        p.draw(self.I("upper_screen"), 0, 0, key=False)
        if not folder:
            self.text(p, 127, 69, "File name", COL["gameInfoTitleColor"])
            name = self.font.fit("0022 - Gear Hollow DX.nds ", 115)
            off = 0 if self.font.width("0022 - Gear Hollow DX.nds ") > 115 else (115 - self.font.width(name)) // 2
            self.text(p, 127 + off, 84, name, COL["fileNameTextColor"])
            self.text(p, 127, 99, "Game name", COL["gameInfoTitleColor"])
            self.text(p, 127, 114, "GEAR HOLLOW DX", COL["gameInfoTextColor"])
            for i, s in enumerate(("Type: NDS ", "Size: 16 MB ", "Save: EEPROM ")):
                self.text(p, 166, 30 + 12 * i, self.font.fit(s, 78), COL["gameInfoTextColor"])
            p.draw(self.sample, 127, 30)
        else:
            self.text(p, 127, 69, "Folder", COL["gameInfoTitleColor"])
            self.text(p, 127 + 40, 84, "NDS", COL["fileNameTextColor"])
            self.text(p, 127, 99, "fat1:/NDS", COL["gameInfoTitleColor"])
            self.text(p, 127, 114, "fat1:/NDS", COL["gameInfoTextColor"])
            self.text(p, 166, 43, "Folder", COL["gameInfoTextColor"])
            p.draw(self.I("icon/pth"), 127, 30)
        self.clock(p)
        return p

    def clock(self, p):
        nums, colon = self.I("clock_numbers"), self.I("clock_colon")
        dh, dw, cw = nums.h // 10, nums.w, colon.w
        cx, cy = 131, 141
        for d, x in ((1, cx), (2, cx + dw), (3, cx + 2 * dw + cw), (4, cx + 3 * dw + cw)):
            p.draw(nums.grab(0, d * dh, dw, dh), x, cy)
        p.draw(colon, cx + 2 * dw, cy)

    # lower screens -----------------------------------------------------------
    GRID = (("icon/rpth", "../", 15, 42), ("icon/cheat", "cheat.bmp", 71, 42), ("icon/dpg", "dpg.bmp", 132, 42),
            ("icon/gba", "gba.bmp", 193, 42), (None, None, 0, 0), ("icon/nds", "nds.bmp", 71, 96),
            ("icon/plg", "plg.bmp", 132, 96), ("icon/pth", "pth.bmp", 193, 96),
            ("icon/realtime", "realtime", 10, 150), ("icon/sav", "sav.bmp", 71, 150),
            ("icon/txt", "txt.bmp", 132, 150), ("icon/unk", "unk.bmp", 193, 150))

    def icons(self, p):
        for i, (name, _, _, _) in enumerate(self.GRID):
            x, y = (16, 77, 138, 199)[i % 4], (10, 64, 118)[i // 4]
            p.draw(self.sample if name is None else self.I(name), x, y)

    def labels(self, p):
        for name, label, x, y in self.GRID:
            if label:
                self.text(p, x, y, label, COL["vTextColor"])
        c = COL["logoFrameColor"]
        p.box(15, 63, 1, 34, c)
        p.box(15, 63, 34, 1, c)
        p.box(48, 63, 1, 34, c)
        p.box(15, 96, 34, 1, c)
        p.box(3, 98, 61, 13, COL["listTextBgColor"])
        s = self.font.fit("0022 - Gear Hollow", 60)
        self.text(p, 4 + (60 - self.font.width(s)) // 2, 96, s, COL["vTextHighLightColor"])

    def icon_view(self):
        p = Pic(256, 192)
        p.draw(self.I("lower_screen"), 0, 0, key=False)
        p.draw(self.I("startbar"), 0, 172, key=False)
        self.icons(p)
        p.draw(self.I("start_released"), 0, 172)
        self.labels(p)
        p.draw(self.I("cardFrame0"), 178, 174)
        p.draw(self.I("brightness"), 206, 174, key=False)
        p.draw(self.I("reBack"), 232, 174)
        return p

    def base(self):
        p = Pic(256, 192)
        p.draw(self.I("lower_screen"), 0, 0, key=False)
        p.draw(self.I("startbar"), 0, 172, key=False)
        p.draw(self.I("brightness"), 206, 174, key=False)
        p.draw(self.I("reBack"), 232, 174)
        self.icons(p)
        p.draw(self.I("start_released"), 0, 172)
        self.labels(p)
        return p

    def list_view(self):
        p = Pic(256, 192)
        p.draw(self.I("lower_screen"), 0, 0, key=False)
        p.draw(self.I("startbar"), 0, 172, key=False)
        p.draw(self.I("start_released"), 0, 172)
        sb = self.I("selectbar")
        p.draw(sb, 0, 55 - (sb.h - 32) // 2)
        for y in (17, 55, 93, 131):
            p.draw(self.I("icon/pth"), 16 + (4 if y == 55 else 0), y + (1 if y == 55 else 0))
        names = ("GBA", "NDS", "Music", "Video")
        for i, y in enumerate((26, 64, 102, 140)):
            self.text(p, 52 + (4 if i == 1 else 0), y, names[i],
                      COL["listTextHighLightColor"] if i == 1 else COL["listTextColor"])
        p.draw(self.I("cardFrame1"), 178, 174)
        p.draw(self.I("brightness"), 206, 174, key=False)
        p.draw(self.I("reBack"), 232, 174)
        return p

    def start_menu(self, p, h):
        mx, my = 0, 56
        fl, fm, fr = self.I("form_L"), self.I("form_M"), self.I("form_R")
        p.draw(fl, mx, my)
        n = (108 - fr.w - fl.w) // fm.w
        for i in range(n + 1):
            p.draw(fm, mx + fl.w + i * fm.w, my)
        p.draw(fr, mx + 108 - fr.w, my)
        lamp, tri = self.I("lamp"), self.I("triangle")

        def anchor(hh):
            return hh // 2 + 1 + (1 if hh % 2 else 0)
        c = my + 18 + 17 // 2 + h * 17
        k = anchor(lamp.h)
        if h == 0:
            p.draw(lamp.grab(0, 6, lamp.w, lamp.h - 6), mx + 5, c - k + 6)
        elif h == 4:
            p.draw(lamp.grab(0, 0, lamp.w, lamp.h - 6), mx + 5, c - k)
        else:
            p.draw(lamp, mx + 5, c - k)
        p.draw(tri, mx + 108 - 4 - tri.w, c - anchor(tri.h))
        for i, s in enumerate(("File Operation", "Skin", "Language", "System settings", "Help")):
            self.text(p, mx + 12, my + 18 + i * 17 - 2, s,
                      COL["popMenuTextHighLightColor"] if i == h else COL["popMenuTextColor"])

    def submenu(self, p, bx, by, bw, rows, bar_row, x0, L, tx, hi, marker=None):
        sih, soy = 16, 10
        hgt = len(rows) * sih + 2 * soy
        p.box(bx, by, bw, hgt, COL["formFrameColor"])
        p.box(bx + 1, by + 1, bw - 2, hgt - 2, COL["popSubMenuBodyColor"])
        bar = self.I("popsubbar")
        y0 = by + soy + sih // 2 - bar.h // 2 - 1 + bar_row * sih
        for x in range(x0, x0 + L - bar.w + 1):
            p.draw(bar, x, y0)
        if marker:
            name, mxp, row = marker
            p.draw(self.I(name), mxp, by + soy + row * sih + 4)
        for i, s in enumerate(rows):
            self.text(p, tx, by + soy + i * sih - 2, s,
                      COL["popSubMenuTextHighLightColor"] if i == hi else COL["popSubMenuTextColor"])

    def screen_file_ops(self):
        p = self.base()
        self.start_menu(p, 0)
        ax = 2
        self.submenu(p, ax + 107, 82, 70, ("Copy", "Cut", "Paste", "Delete"), 3, ax + 109, 66, ax + 119, 3)
        return p

    def screen_language(self):
        p = self.base()
        self.start_menu(p, 2)
        ax = 2
        langs = ("English", "S-Chinese", "T-Chinese", "French", "Italian", "German", "Spanish", "Korean")
        self.submenu(p, ax + 107, 20, 100, langs, 5, ax + 109, 96, ax + 119, 5, ("active", ax + 111, 0))
        return p

    def screen_skin(self):
        p = self.base()
        self.start_menu(p, 1)
        ax = 2
        self.submenu(p, ax + 107, 96, 100, ("PINK", "SILVER"), 0, ax + 109, 96, ax + 119, -1,
                     ("activehotkey", ax + 109, 0))
        return p

    def screen_dialog(self):
        p = self.base()
        self.start_menu(p, 0)
        p.box(12, 65, 234, 80, COL["formFrameColor"])
        p.box(13, 66, 232, 78, COL["formBodyColor"])
        for y, s in zip((74, 86, 98), ("File cannot be recovered after", "deletion. Do you wish to delete '0022 -",
                                       "Gear Hollow DX (E)(M5).nds")):
            self.text(p, 36, y, s, COL["formTextColor"])
        b3 = self.I("btn3")
        w3 = b3.w
        p.draw(b3, 237 - w3, 126)
        p.draw(b3, 229 - 2 * w3, 126)
        for lab, bx in (("YES(A) ", 229 - 2 * w3), ("NO(B) ", 237 - w3)):
            self.text(p, bx + (w3 - self.font.width(lab)) // 2, 125, lab, COL["buttonTextColor"])
        p.draw(self.I("brightness"), 206, 174, key=False)
        p.draw(self.I("reBack"), 232, 174)
        tl, tb, tr = self.I("title_left"), self.I("title_bg"), self.I("title_right")
        ty = 65 - tl.h
        self.title_bar(p, 12, ty, 12 + tl.w, 244 - tl.w, 246 - tl.w)
        self.text(p, 112, 62 - tb.h + (tb.h - 12) // 2, "Confirm", COL["formTitleTextColor"])
        return p

    def title_bar(self, p, tx, ty, m0, m1, rx):
        p.draw(self.I("title_left"), tx, ty)
        for x in range(m0, m1 + 1):
            p.draw(self.I("title_bg"), x, ty, key=False)
        p.draw(self.I("title_right"), rx, ty)

    def screen_hotkey(self):
        p = self.base()
        self.start_menu(p, 3)
        ax = 2
        self.submenu(p, ax + 108, 80, 75, ("Display", "Brightness", "Hotkey"), 2, ax + 110, 71, ax + 116, -1)
        hk = self.I("hotkeybk")
        p.draw(hk, (256 - hk.w) // 2, (192 - hk.h) // 2)
        p.draw(self.I("btn"), 75, 139)
        p.draw(self.I("btn"), 135, 139)
        self.text(p, 110, 32, "Hotkey", COL["formTitleTextColor"])
        self.text(p, 86, 138, "OK(A)", COL["buttonTextColor"])
        self.text(p, 146, 138, "NO(B)", COL["buttonTextColor"])
        return p

    def screen_help(self):
        p = self.base()
        self.start_menu(p, 4)
        ww, wh = 200, 160
        hx, hy = (256 - ww) // 2, (192 - wh) // 2
        th = self.I("title_left").h
        p.box(hx, hy + th, ww, wh - th, COL["formFrameColor"])
        p.box(hx + 1, hy + th + 1, ww - 2, wh - th - 2, COL["formBodyColor"])
        lines = ((32, "\u00e6  Select Programs"), (44, "\u00e0  Start/OK/YES"), (56, "\u00e1  Back/Cancel/NO"),
                 (68, "\u00e3  Select cheats"), (80, "\u00e2  Set game info"),
                 (92, "\u00e4  Back to parent directory"), (104, "\u00e5  Adjust brightnes"),
                 (116, "START  Start Menu"), (128, "SELECT  Menu style new/classical"), (152, "Version 1.01"))
        for y, s in lines:
            self.text(p, 38, y, s, COL["formTextColor"])
        self.title_bar(p, hx, hy, hx + self.I("title_right").w, hx + ww - self.I("title_left").w,
                       hx + ww - self.I("title_left").w)
        b = self.I("btn")
        p.draw(b, 217 - b.w, 154)
        self.text(p, hx + 56, hy, "Help informations", COL["formTitleTextColor"])
        self.text(p, 217 - b.w + (b.w - self.font.width("OK(A) ")) // 2, 153, "OK(A) ", COL["buttonTextColor"])
        return p

    def screen_settings(self):
        p = self.base()
        p.draw(self.I("settingbg"), 28, 46)
        p.draw(self.I("close1"), 200, 49)
        self.text(p, 80, 46, "0022 - Gear Hollow", COL["romInfoTitleColor"])
        for y, s in ((70, "Multi-Save"), (90, "Cheat"), (110, "Mode")):
            self.text(p, 80, y, s, COL["romInfoTextColor"])
        for y, body, val, dx, vc in ((72, "spinBoxFocusColor", "3", 26, "spinBoxTextHighLightColor"),
                                     (92, "spinBoxNormalColor", "On", 23, "spinBoxTextColor"),
                                     (112, "spinBoxNormalColor", "Patch", 14, "spinBoxTextColor")):
            p.box(148, y, 56, 14, COL["spinBoxFrameColor"])
            p.box(149, y + 1, 54, 12, COL[body])
            self.text(p, 148 + dx, y - 1, val, COL[vc])
        p.draw(self.sample, 40, 74)
        sl = self.I("spin_btn_left")
        for y in (72, 92, 112):
            p.draw(sl, 145 - sl.w, y)
            p.draw(self.I("spin_btn_right"), 207, y)
        p.draw(self.I("cheatmenubtn"), 36, 131)
        p.draw(self.I("btn"), 120, 131)
        p.draw(self.I("btn"), 170, 131)
        p.draw(self.I("brightness"), 206, 174, key=False)
        p.draw(self.I("reBack"), 232, 174)
        self.text(p, 50, 130, "Cheat(Y)", COL["buttonTextColor"])
        self.text(p, 131, 130, "OK(A)", COL["buttonTextColor"])
        self.text(p, 181, 130, "NO(B)", COL["buttonTextColor"])
        return p

    def screen_cheats(self):
        p = Pic(256, 192)
        p.draw(self.I("cheatbg"), 0, 0, key=False)
        self.text(p, 15, 13, self.font.fit("Gear Hollow DX - cheats ", 160), COL["cheatTitleTextColor"])
        self.text(p, 180, 11, self.font.fit("Clear all ", 56), COL["cheatTitleTextColor"])
        p.draw(self.I("cheat_clearall"), 160, 13)
        p.draw(self.I("close"), 233, 11)
        p.draw(self.I("cheatselectbar"), 18, 36, key=False)
        p.draw(self.I("cheatselectbar"), 18, 55, key=False)
        marks = ("pitchon", "pitchon", "pitchdown", "onehoton", "onehotdown", "onehotdown", "fathernode")
        for i, m in enumerate(marks):
            p.draw(self.I(m), 18, 41 + 20 * i)
        entries = ("Infinite lives", "Max cogs", "Float jump", "Start as Tilly", "Start as Bram",
                   "Start as Wren", "Level select codes")
        for i, s in enumerate(entries):
            self.text(p, 35, 38 + 20 * i, s,
                      COL["cheatListTextHighLightColor"] if i == 0 else COL["cheatListTextColor"])
        return p


def compose(mock, upper, lower, bg=(64, 64, 72)):
    p = Pic(266, 490, fill=bg)
    p.draw(upper, 5, 5, key=False)
    p.draw(mock.hinge, 0, 202, key=False)
    p.draw(lower, 5, 293, key=False)
    return p


def sheet(mock, bg=(96, 96, 104)):
    names = sorted(mock.img, key=lambda n: (mock.img[n].w * mock.img[n].h > 20000, n))
    x, y, rowh, W = 4, 4, 0, 540
    places = []
    for n in names:
        im = mock.img[n]
        if x + im.w + 4 > W:
            x, y, rowh = 4, y + rowh + 6, 0
        places.append((n, x, y))
        x += im.w + 6
        rowh = max(rowh, im.h)
    H = y + rowh + 4
    p = Pic(W, H, fill=bg)
    for n, x, y in places:
        p.draw(mock.img[n], x, y, key=True)
    return p


def main(argv=None):
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description="Compose mock-ups of the default skin.")
    ap.add_argument("--assets", default=os.path.join(os.path.dirname(here), "assets"))
    ap.add_argument("--out-dir", default="/tmp")
    ap.add_argument("--scale", type=int, default=3)
    args = ap.parse_args(argv)
    m = Mock(args.assets)
    game = m.upper()
    screens = {
        "icons": (game, m.icon_view()),
        "list": (m.upper(folder=True), m.list_view()),
        "fileops": (game, m.screen_file_ops()),
        "skin": (game, m.screen_skin()),
        "language": (game, m.screen_language()),
        "dialog": (game, m.screen_dialog()),
        "hotkey": (game, m.screen_hotkey()),
        "help": (game, m.screen_help()),
        "settings": (game, m.screen_settings()),
        "cheats": (game, m.screen_cheats()),
    }
    for name, (up, low) in screens.items():
        write_png(os.path.join(args.out_dir, "mock_%s.png" % name), compose(m, up, low), args.scale)
    write_png(os.path.join(args.out_dir, "mock_sheet.png"), sheet(m), args.scale)
    print("wrote %d mock-ups and a picture sheet to %s" % (len(screens), args.out_dir))
    return 0


if __name__ == "__main__":
    sys.exit(main())
