#!/usr/bin/python3
"""Check the Kestrelux glyph data and render a specimen sheet.

Usage:
    python3 tools/font_sheet.py [--font FILE] [--out PNG] [--check-only]

The glyph file (default: assets/font/kestrelux.txt next to this script's
parent directory) is parsed exactly the way the editor parses it, every
metric rule of the font is checked, and unless --check-only is given a
specimen sheet is written (default: /tmp/kestrelux_sheet.png): every glyph
at 4x with its cell, then sample texts at 1x and 3x.

Exit status: 0 when the font is valid; 1 when the font cannot be read or
breaks a rule (each violation is printed on its own line); 2 when the
arguments are wrong or the sheet cannot be written.
"""

import argparse
import os
import re
import struct
import sys
import unicodedata
import zlib

CELL_H = 15
CAP_TOP, BASE_ROW = 4, 12          # capitals and digits: rows 4..12
X_TOP = 7                          # x-height: rows 7..12
DESC_ROW = 13                      # descenders end on row 13

# Advance widths of printable ASCII; these are fixed, the preview layout
# depends on them.
ASCII_WIDTHS = {
    2: "!.:Ii",
    3: " ',1l|",
    4: "\"()/;<>[\\]`j",
    5: "-3EFJLS^fkrst",
    6: "+0256789ABCDGHKMNOPQRTUVWXYZabcdeghnopuvwxyz~",
    7: "#$%*4=?q",
    8: "_m{}",
    9: "&",
    11: "@",
}

# Button symbols: code point -> (advance, description)
SYMBOLS = {
    0xE0: (10, "round button A"),
    0xE1: (10, "round button B"),
    0xE2: (10, "round button X"),
    0xE3: (10, "round button Y"),
    0xE4: (10, "left shoulder button L"),
    0xE5: (10, "right shoulder button R"),
    0xE6: (9, "direction pad"),
}

LOWER_X = "acemnorsuvwxz"          # x-height only
LOWER_DESC = "gpqy"                 # x-height plus row 13
LOWER_ASC = "bdfhkl"                # reach row 4 like capitals

# Glyphs whose ink may reach the last column (the direction pad is exactly
# as wide as its advance).
FULL_WIDTH_OK = {0xE6}

HEADER_RE = re.compile(r"^glyph U\+([0-9A-F]{4,}) ([0-9]+)$")
ROW_RE = re.compile(r"^[.#]+$")


class FontError(Exception):
    pass


def default_font_path():
    here = os.path.dirname(os.path.abspath(__file__))
    return os.path.join(os.path.dirname(here), "assets", "font", "kestrelux.txt")


def parse(path):
    """Return {code point: (advance, [15 row strings])} or raise FontError."""
    try:
        with open(path, "r", encoding="ascii", newline=None) as f:
            lines = f.read().split("\n")
    except (OSError, UnicodeDecodeError) as e:
        raise FontError("cannot read %s: %s" % (path, e))
    glyphs = {}
    order = []
    cur = None  # (cp, adv, rows, header line number)
    for no, raw in enumerate(lines, 1):
        line = raw.rstrip("\r")
        if line.startswith(";") or line.strip() == "":
            continue
        if cur is None:
            m = HEADER_RE.match(line)
            if not m:
                raise FontError("line %d: expected 'glyph U+XXXX <advance>', got %r" % (no, line))
            cp, adv = int(m.group(1), 16), int(m.group(2))
            if adv < 1 or adv > 16:
                raise FontError("line %d: advance %d out of range 1..16" % (no, adv))
            if cp in glyphs:
                raise FontError("line %d: U+%04X defined twice" % (no, cp))
            cur = (cp, adv, [], no)
            continue
        cp, adv, rows, hno = cur
        if HEADER_RE.match(line):
            raise FontError("line %d: U+%04X (line %d) has %d rows, needs %d"
                            % (no, cp, hno, len(rows), CELL_H))
        if not ROW_RE.match(line):
            raise FontError("line %d: U+%04X row %d: only '.' and '#' allowed: %r"
                            % (no, cp, len(rows), line))
        if len(line) != adv:
            raise FontError("line %d: U+%04X row %d is %d long, advance is %d"
                            % (no, cp, len(rows), len(line), adv))
        rows.append(line)
        if len(rows) == CELL_H:
            glyphs[cp] = (adv, rows)
            order.append(cp)
            cur = None
    if cur is not None:
        raise FontError("end of file: U+%04X (line %d) has only %d rows"
                        % (cur[0], cur[3], len(cur[2])))
    if order != sorted(order):
        for a, b in zip(order, order[1:]):
            if b < a:
                raise FontError("glyphs out of order: U+%04X follows U+%04X" % (b, a))
    return glyphs


def ink(rows):
    return [(x, y) for y, r in enumerate(rows) for x, c in enumerate(r) if c == "#"]


def bbox(rows):
    pts = ink(rows)
    if not pts:
        return None
    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]
    return min(xs), min(ys), max(xs), max(ys)


def silhouette(rows):
    """Ink plus every empty pixel not reachable from the cell border."""
    h, w = len(rows), len(rows[0])
    outside = set()
    stack = [(x, y) for y in range(h) for x in range(w)
             if (x in (0, w - 1) or y in (0, h - 1)) and rows[y][x] == "."]
    while stack:
        x, y = stack.pop()
        if (x, y) in outside or not (0 <= x < w and 0 <= y < h) or rows[y][x] == "#":
            continue
        outside.add((x, y))
        stack.extend(((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)))
    return ["".join("." if (x, y) in outside else "#" for x in range(w)) for y in range(h)]


def name(cp):
    if cp in SYMBOLS:
        return "U+%04X %s" % (cp, SYMBOLS[cp][1])
    try:
        n = unicodedata.name(chr(cp))
    except ValueError:
        n = "?"
    return "U+%04X %s" % (cp, n)


def required_set():
    req = set(range(0x20, 0x7F)) | set(range(0xA1, 0x100)) | {0x2C9, 0x2010}
    return req


def check(glyphs):
    errs = []

    def err(cp, msg):
        errs.append("%s: %s" % (name(cp), msg))

    for cp in sorted(required_set() - set(glyphs)):
        err(cp, "missing")

    want = {}
    for w, chars in ASCII_WIDTHS.items():
        for c in chars:
            want[ord(c)] = w
    assert len(want) == 95, "ASCII width table incomplete"
    for cp, (w, _) in SYMBOLS.items():
        want[cp] = w

    for cp, (adv, rows) in sorted(glyphs.items()):
        if cp in want and adv != want[cp]:
            err(cp, "advance %d, must be %d" % (adv, want[cp]))
        bb = bbox(rows)
        if cp == 0x20:
            if bb:
                err(cp, "space must be empty")
            continue
        if bb is None:
            if cp != 0xAD:  # nothing else may be blank
                err(cp, "glyph is empty")
            continue
        x0, y0, x1, y1 = bb
        if x1 == adv - 1 and cp not in FULL_WIDTH_OK:
            err(cp, "ink in the last column (the advance includes one blank column)")
        if cp < 0x80 and (y0 < CAP_TOP or y1 > DESC_ROW):
            err(cp, "ASCII glyph uses rows %d..%d, allowed 4..13" % (y0, y1))
        if y1 == 14 and cp < 0xA0:
            err(cp, "row 14 is reserved")
        ch = chr(cp)

        # capitals and digits
        if "A" <= ch <= "Z" or "0" <= ch <= "9":
            if (y0, y1) != (CAP_TOP, BASE_ROW):
                err(cp, "must occupy rows 4..12 exactly, uses %d..%d" % (y0, y1))
            if ch == "I":
                if (x0, x1) != (0, 0):
                    err(cp, "I must be one column wide at column 0")
            elif x0 != 0 or x1 != adv - 2:
                err(cp, "ink must span columns 0..%d (advance minus the blank column), spans %d..%d"
                    % (adv - 2, x0, x1))
            if "A" <= ch <= "Z" and ch not in "IEFJLS" and x1 - x0 + 1 != 5:
                err(cp, "capital must be 5 columns of ink wide")
            if ch == "A" and rows[CAP_TOP] != "..#...":
                err(cp, "apex of A must be the single middle pixel of row 4 (got %r)" % rows[CAP_TOP])

        # lower case
        if ch in LOWER_X or ch in LOWER_DESC:
            bottom = DESC_ROW if ch in LOWER_DESC else BASE_ROW
            if (y0, y1) != (X_TOP, bottom):
                err(cp, "must occupy rows %d..%d, uses %d..%d" % (X_TOP, bottom, y0, y1))
        if ch in LOWER_ASC:
            if (y0, y1) != (CAP_TOP, BASE_ROW):
                err(cp, "ascender letter must occupy rows 4..12, uses %d..%d" % (y0, y1))
        if ch == "t" and (y0 < CAP_TOP or y0 >= X_TOP or y1 != BASE_ROW):
            err(cp, "t must stand on row 12 and rise above row 7 (not above row 4)")
        if ch in "ij":
            bottom = DESC_ROW if ch == "j" else BASE_ROW
            if y1 != bottom or y0 < CAP_TOP or rows[X_TOP].count("#") == 0:
                err(cp, "stem must run from row 7 to row %d, dot not above row 4" % bottom)
        if "a" <= ch <= "z" and ch not in "ijmqw" and adv == 6 and x1 - x0 + 1 != 5:
            err(cp, "lower case of advance 6 must be 5 columns of ink wide")

    # Latin-1 letters with diacritics: same width and body as the base letter
    for cp in range(0xC0, 0x100):
        if cp in SYMBOLS or cp not in glyphs:
            continue
        d = unicodedata.decomposition(chr(cp)).split()
        if len(d) != 2:
            continue
        base = int(d[0], 16)
        if base not in glyphs:
            continue
        adv, rows = glyphs[cp]
        badv, brows = glyphs[base]
        cap = chr(base).isupper()
        top = CAP_TOP if cap else X_TOP
        shift = 0
        if chr(base) in "Ii":
            # the narrow i family is widened to 4 so its accents fit
            if adv != 4:
                err(cp, "accented I/i must have advance 4")
                continue
            shift = 1
        elif adv != badv:
            err(cp, "advance %d differs from its base letter (%d)" % (adv, badv))
            continue
        for y in range(top, BASE_ROW + 1):
            exp = ("." * shift + brows[y])[:adv].ljust(adv, ".")
            if rows[y] != exp:
                err(cp, "row %d differs from the base letter %s" % (y, chr(base)))
                break
        bb = bbox(rows)
        if d[1] == "0327":
            if bb and bb[3] <= BASE_ROW:
                err(cp, "cedilla missing below the letter")
        else:
            if bb and bb[1] >= top:
                err(cp, "accent missing above the letter")
            if bb and cap and bb[1] > 3:
                err(cp, "capital accent must sit in rows 0..3")

    # ASCII glyphs never use rows 0..3 and row 14; Latin-1 only when needed
    for cp, (adv, rows) in glyphs.items():
        if 0xA1 <= cp <= 0xFF and cp not in SYMBOLS:
            bb = bbox(rows)
            if bb and bb[3] == 14 and unicodedata.decomposition(chr(cp)).split()[-1:] != ["0327"] \
                    and cp != 0xB8:
                err(cp, "row 14 is only for cedillas")

    # button symbols
    disc = None
    for cp, (w, what) in SYMBOLS.items():
        if cp not in glyphs:
            continue
        adv, rows = glyphs[cp]
        bb = bbox(rows)
        if bb != (0, CAP_TOP, 8, BASE_ROW):
            err(cp, "%s must be 9 x 9 on rows 4..12, columns 0..8 (bbox %s)" % (what, bb))
            continue
        sil = silhouette(rows)
        holes = sum(r.count("#") for r in sil) - sum(r.count("#") for r in rows)
        body = [r[:9] for r in sil[CAP_TOP:BASE_ROW + 1]]
        if cp <= 0xE3:
            if disc is None:
                disc = body
            if body != disc:
                err(cp, "disc outline differs from U+00E0")
            if body != [r[::-1] for r in body] or body != body[::-1]:
                err(cp, "disc outline is not symmetric")
            if body[0][0] == "#" or body[4] != "#########":
                err(cp, "disc must be round (empty corners) and full in the middle row")
            if holes < 8:
                err(cp, "letter is not cut out of the disc")
        elif cp in (0xE4, 0xE5):
            corner = body[0][0] if cp == 0xE4 else body[0][8]
            other = body[0][8] if cp == 0xE4 else body[0][0]
            if corner != "." or other != "#" or body[8] != "#########":
                err(cp, "shoulder block must have exactly the %s top corner rounded"
                    % ("left" if cp == 0xE4 else "right"))
            if holes < 8:
                err(cp, "letter is not cut out of the block")
        else:
            if rows[8][4] != ".":
                err(cp, "direction pad must have a hollow centre")
            rot = ["".join(body[8 - x][y] for x in range(9)) for y in range(9)]
            if rot != body or body[0][0] != "." or body[4] != "#########":
                err(cp, "direction pad outline must be a symmetric cross")
    if 0xE4 in glyphs and 0xE5 in glyphs:
        a = [r[:9] for r in silhouette(glyphs[0xE4][1])]
        b = [r[:9][::-1] for r in silhouette(glyphs[0xE5][1])]
        if a != b:
            err(0xE5, "outline is not the mirror image of U+00E4")
    return errs


def measure(glyphs, text):
    return sum(glyphs[ord(c)][0] if ord(c) in glyphs else 0 for c in text)


def fit_text(glyphs, text, limit):
    while True:
        text = text[:-1]
        if measure(glyphs, text) < limit:
            return text


def layout_checks(glyphs):
    """Widths that the preview layout relies on."""
    errs = []
    cases = [("0022 - Gear Hollow", 91), ("YES(A) ", 33), ("OK(A) ", 29), ("NO(B) ", 29)]
    for text, w in cases:
        got = measure(glyphs, text)
        if got != w:
            errs.append("width of %r is %d, must be %d" % (text, got, w))
    fitted = fit_text(glyphs, "0022 - Gear Hollow", 60)
    if fitted != "0022 - Gear" or measure(glyphs, fitted) != 58:
        errs.append("FitText('0022 - Gear Hollow', 60) gives %r" % fitted)
    return errs


# ------------------------------------------------------------------ PNG

class Canvas:
    def __init__(self, w, h, bg):
        self.w, self.h = w, h
        self.px = [bytearray(bytes(bg) * w) for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][3 * x:3 * x + 3] = bytes(c)

    def box(self, x, y, w, h, c):
        for yy in range(max(0, y), min(self.h, y + h)):
            for xx in range(max(0, x), min(self.w, x + w)):
                self.px[yy][3 * xx:3 * xx + 3] = bytes(c)

    def text(self, glyphs, x, y, s, c, scale=1):
        for ch in s:
            g = glyphs.get(ord(ch))
            if g is None:
                g = glyphs.get(ord("?"))
            adv, rows = g
            for gy, r in enumerate(rows):
                for gx, v in enumerate(r):
                    if v == "#":
                        self.box(x + gx * scale, y + gy * scale, scale, scale, c)
            x += adv * scale
        return x

    def write_png(self, path):
        raw = b"".join(b"\x00" + bytes(r) for r in self.px)

        def chunk(tag, data):
            body = tag + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        png = b"\x89PNG\r\n\x1a\n"
        png += chunk(b"IHDR", struct.pack(">IIBBBBB", self.w, self.h, 8, 2, 0, 0, 0))
        png += chunk(b"IDAT", zlib.compress(raw, 9))
        png += chunk(b"IEND", b"")
        with open(path, "wb") as f:
            f.write(png)


SAMPLES = [
    "0022 - Gear Hollow",
    "File Operation",
    "Help informations",
    "\u00e6  Select Programs",
    "\u00e0  Start/OK/YES   \u00e1  Back/Cancel/NO",
    "\u00e3  Select cheats   \u00e2  Set game info",
    "\u00e4  Back to parent directory   \u00e5  Adjust brightnes",
    "YES(A) NO(B) OK(A) Cheat(Y)",
    "ZAZIZUZEZ 1.01",
    "The quick brown fox jumps over the lazy dog",
    "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG",
    "File cannot be recovered after deletion. Do you wish to delete '0022 -",
    "Gear Hollow DX (E)(M5).nds",
    "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~ 0123456789",
]

INK = (0, 0, 0)
PAPER = (255, 255, 255)
CELLBG = (222, 232, 246)
GUIDE = (200, 214, 236)
LABEL = (90, 90, 90)


def render(glyphs, path):
    scale = 4
    cols = 16
    cps = sorted(glyphs)
    colw = max(adv for adv, _ in glyphs.values()) * scale + 12
    rowh = CELL_H * scale + 22
    grid_rows = (len(cps) + cols - 1) // cols
    sample_h = sum(17 + 15 * 3 + 6 for _ in SAMPLES) + 20
    width = max(cols * colw + 16, 16 + max(measure(glyphs, s) for s in SAMPLES) * 3)
    height = 10 + grid_rows * rowh + 20 + sample_h
    cv = Canvas(width, height, PAPER)
    for i, cp in enumerate(cps):
        adv, rows = glyphs[cp]
        ox = 8 + (i % cols) * colw
        oy = 8 + (i // cols) * rowh
        cv.text(glyphs, ox, oy - 4, "%04X" % cp, LABEL)
        cy = oy + 14
        cv.box(ox, cy, adv * scale, CELL_H * scale, CELLBG)
        for gy in (CAP_TOP, X_TOP, BASE_ROW):
            cv.box(ox, cy + gy * scale, adv * scale, 1, GUIDE)
        cv.box(ox, cy + (BASE_ROW + 1) * scale, adv * scale, 1, (150, 170, 210))
        for gy, r in enumerate(rows):
            for gx, v in enumerate(r):
                if v == "#":
                    cv.box(ox + gx * scale, cy + gy * scale, scale, scale, INK)
    y = 10 + grid_rows * rowh + 10
    cv.box(0, y, width, 1, GUIDE)
    y += 8
    for s in SAMPLES:
        cv.text(glyphs, 8, y, s, INK, 1)
        cv.text(glyphs, 8 + measure(glyphs, s) + 12, y, "%d px" % measure(glyphs, s), LABEL, 1)
        y += 17
        cv.text(glyphs, 8, y, s, INK, 3)
        y += 15 * 3 + 6
    cv.write_png(path)


def main(argv):
    ap = argparse.ArgumentParser(description="Check the Kestrelux glyph data and render a sheet.")
    ap.add_argument("--font", default=default_font_path(), help="glyph data file")
    ap.add_argument("--out", default="/tmp/kestrelux_sheet.png", help="sheet PNG to write")
    ap.add_argument("--check-only", action="store_true", help="check only, write no sheet")
    a = ap.parse_args(argv)
    try:
        glyphs = parse(a.font)
    except FontError as e:
        print("kestrelux: %s" % e, file=sys.stderr)
        return 1
    errs = check(glyphs) + layout_checks(glyphs)
    for e in errs:
        print("kestrelux: %s" % e, file=sys.stderr)
    if errs:
        print("kestrelux: %d problem(s) in %s" % (len(errs), a.font), file=sys.stderr)
        return 1
    print("kestrelux: %d glyphs OK; '0022 - Gear Hollow' is %d px wide"
          % (len(glyphs), measure(glyphs, "0022 - Gear Hollow")))
    if not a.check_only:
        try:
            render(glyphs, a.out)
        except OSError as e:
            print("kestrelux: cannot write %s: %s" % (a.out, e), file=sys.stderr)
            return 2
        print("kestrelux: sheet written to %s" % a.out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
