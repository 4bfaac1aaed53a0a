#!/usr/bin/env bash
# Makes the picture and archive fixtures under tests/data with outside tools
# (ImageMagick, Python's PIL and zipfile, Info-ZIP). The tests only read the
# committed results; run this by hand to remake them:
#   apt-get install imagemagick python3-pil zip && tests/data/make_fixtures.sh
set -euo pipefail
cd "$(dirname "$0")"
PY=/usr/bin/python3
IM=/usr/bin/convert

# --- pictures -----------------------------------------------------------------
# (The 5-5-5 and 5-6-5 bit-field ramps are made in ../data/bmp; see its README.)
cd images
# A 4 x 3 test card; its colours are the expectations in the tests.
$PY - <<'PYEOF'
from PIL import Image
card = [(255,0,0),(0,255,0),(0,0,255),(255,255,255),
        (10,20,30),(200,100,50),(0,0,0),(128,128,128),
        (248,248,248),(8,16,24),(255,128,1),(1,2,3)]
im = Image.new("RGB", (4, 3)); im.putdata(card)
im.save("card_rgb8.png")
im.convert("P", palette=Image.ADAPTIVE, colors=12).save("card_palette.png")
# RGBA: alpha 0, 127, 128, 255 across the first row.
rgba = Image.new("RGBA", (4, 1)); rgba.putdata([(255,0,0,0),(0,0,255,127),(10,20,30,128),(40,50,60,255)])
rgba.save("alpha_rgba.png")
# Palette with a transparent entry (tRNS).
p = Image.new("P", (2, 1)); p.putpalette([200,100,0, 0,0,0] + [0]*762); p.putdata([0, 1])
p.save("palette_trns.png", transparency=1)
# Grey 1-bit.
g = Image.new("1", (8, 1)); g.putdata([0,255,0,255,0,0,255,255]); g.save("gray1.png")
PYEOF
# 16-bit RGB (ImageMagick keeps 16 bits per sample).
$IM card_rgb8.png -interlace PNG card_interlaced.png
$IM -size 2x1 xc:'rgb(100%,0%,50%)' -depth 16 PNG48:rgb16.png
$IM -size 2x1 xc:'gray(50%)' -depth 16 -define png:color-type=0 gray16.png
# JPEG: a flat colour survives compression within a few levels.
$IM -size 16x16 xc:'rgb(200,40,120)' -quality 95 -sampling-factor 1x1 baseline.jpg
$IM -size 16x16 xc:'rgb(200,40,120)' -quality 95 -sampling-factor 1x1 -interlace JPEG progressive.jpg
$IM -size 16x16 xc:'gray(60%)' -quality 95 -colorspace Gray grayscale.jpg
$IM -size 16x16 xc:'rgb(200,40,120)' -quality 95 -colorspace CMYK cmyk.jpg
cp baseline.jpg jpeg_named.png          # JPEG bytes under a .png name
cp card_rgb8.png png_named.bmp          # PNG bytes under a .bmp name
cd ..

# --- archives -----------------------------------------------------------------
cd archives
rm -f ./*.zip
work=$(mktemp -d)
mkdir -p "$work/MySkin/icon"
printf '[SkinInfo]\r\nTitle=Zipped\r\n[start menu]\r\nitemHeight=21\r\n[end]\r\n' > "$work/MySkin/UISettings.INI"
$IM -size 3x2 xc:'rgb(8,16,24)' -define bmp:format=bmp3 -type truecolor "$work/MySkin/lamp.bmp"
$IM -size 2x2 xc:'rgb(255,255,255)' -define bmp:format=bmp3 -type truecolor "$work/MySkin/icon/nds.bmp"
cp ../images/baseline.jpg "$work/MySkin/cheatbg.bmp"
# Info-ZIP: the settings and lamp stored (-0), the rest deflated.
(cd "$work" && zip -q -0 ../stored.zip MySkin/UISettings.INI MySkin/lamp.bmp && zip -q ../stored.zip MySkin/cheatbg.bmp MySkin/icon/nds.bmp)
mv "$work/../stored.zip" infozip_mixed.zip
# Encrypted member (password "x").
(cd "$work" && zip -q -P x ../enc.zip MySkin/UISettings.INI MySkin/lamp.bmp)
mv "$work/../enc.zip" encrypted.zip
rm -rf "$work"

$PY - <<'PYEOF'
import zipfile, io, struct
def bmp24(w, h, rgb):
    row = bytes(rgb[::-1]) * w
    row += b"\0" * ((4 - len(row) % 4) % 4)
    data = row * h
    hdr = b"BM" + struct.pack("<IHHI", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 0, 0, 0, 0)
    return hdr + info + data
settings = b"[SkinInfo]\r\nTitle=Python\r\n[start menu]\r\nitemHeight=30\r\n[end]\r\n"
# Backslash names, case variants, a second settings entry further on.
with zipfile.ZipFile("python_backslash.zip", "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("Skin\\uisettings.ini", settings)
    z.writestr("skin\\ICON\\NDS.BMP", bmp24(5, 4, (16, 32, 48)))
    z.writestr("Skin/lamp.bmp", bmp24(1, 1, (255, 255, 255)))
    z.writestr("Other/uisettings.ini", b"[start menu]\r\nitemHeight=99\r\n")
    z.writestr("Other/lamp.bmp", bmp24(9, 9, (0, 0, 0)))
# Settings in a folder, pictures at the top: nothing matches.
with zipfile.ZipFile("python_split.zip", "w", zipfile.ZIP_STORED) as z:
    z.writestr("deep/uisettings.ini", settings)
    z.writestr("lamp.bmp", bmp24(1, 1, (255, 255, 255)))
# Settings at the top level, stored.
with zipfile.ZipFile("python_top.zip", "w", zipfile.ZIP_STORED) as z:
    z.writestr("UISETTINGS.INI", settings)
    z.writestr("Lamp.BMP", bmp24(2, 1, (255, 255, 255)))
# A member that declares far more than the limit: 65 MiB of zeros.
with zipfile.ZipFile("bomb.zip", "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("uisettings.ini", settings)
    z.writestr("lamp.bmp", b"\0" * (65 * 1024 * 1024))
# A damaged member: flip a byte of the compressed data so the CRC fails.
buf = io.BytesIO()
with zipfile.ZipFile(buf, "w", zipfile.ZIP_STORED) as z:
    z.writestr("uisettings.ini", settings)
    z.writestr("lamp.bmp", bmp24(2, 2, (255, 0, 0)))
data = bytearray(buf.getvalue())
at = data.find(b"BM", data.find(b"lamp.bmp") + 8)
data[at + 60] ^= 0xFF
open("bad_crc.zip", "wb").write(data)
# Truncated: the first 100 bytes of a valid archive.
open("truncated.zip", "wb").write(open("python_top.zip", "rb").read()[:100])
# A member of 102 bytes whose local and central headers record 60 MiB.
with zipfile.ZipFile("claims_60mb.zip", "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr(zipfile.ZipInfo("uisettings.ini", (2020, 1, 1, 0, 0, 0)), settings, zipfile.ZIP_DEFLATED)
    z.writestr(zipfile.ZipInfo("lamp.bmp", (2020, 1, 1, 0, 0, 0)), b"BM" + b"\0" * 100, zipfile.ZIP_DEFLATED)
data = bytearray(open("claims_60mb.zip", "rb").read())
claim = struct.pack("<I", 60 * 1024 * 1024)
local = data.find(b"PK\x03\x04", data.find(b"lamp.bmp") - 40)
data[local + 22:local + 26] = claim
central = data.rfind(b"PK\x01\x02")
data[central + 24:central + 28] = claim
open("claims_60mb.zip", "wb").write(data)
# Names longer than a reader keeps (500 bytes): the settings entry's name
# ends past that, so it is no settings entry; a picture beside it likewise.
deep = "d" * 490 + "/"
with zipfile.ZipFile("long_names.zip", "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr(zipfile.ZipInfo(deep + "uisettings.ini", (2020, 1, 1, 0, 0, 0)), settings, zipfile.ZIP_DEFLATED)
    z.writestr(zipfile.ZipInfo(deep + "lamp.bmp", (2020, 1, 1, 0, 0, 0)), bmp24(2, 2, (0, 0, 255)), zipfile.ZIP_DEFLATED)
# A member with an empty name beside settings at the top: not part of the
# skin, so a save must not write the archive over it.
with zipfile.ZipFile("empty_name.zip", "w", zipfile.ZIP_STORED) as z:
    z.writestr(zipfile.ZipInfo("uisettings.ini", (2020, 1, 1, 0, 0, 0)), settings)
    z.writestr(zipfile.ZipInfo("", (2020, 1, 1, 0, 0, 0)), b"another program's note")
# A deflated member whose checksum no longer matches (in both headers).
buf = io.BytesIO()
with zipfile.ZipFile(buf, "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr(zipfile.ZipInfo("uisettings.ini", (2020, 1, 1, 0, 0, 0)), settings, zipfile.ZIP_DEFLATED)
    z.writestr(zipfile.ZipInfo("lamp.bmp", (2020, 1, 1, 0, 0, 0)), bmp24(2, 2, (0, 255, 0)), zipfile.ZIP_DEFLATED)
data = bytearray(buf.getvalue())
for signature, crc in ((b"PK\x03\x04", 14), (b"PK\x01\x02", 16)):
    data[data.rfind(signature) + crc] ^= 0x01
open("bad_crc_deflated.zip", "wb").write(data)
# Sizes and offsets in zip64 fields from the first byte, as a writer forced
# to zip64 lays them out (Python does past 4 GB): the records keep their
# local headers' offsets in their zip64 extra fields. Last, as it changes
# how this Python writes.
zipfile.ZIP64_LIMIT = 0
with zipfile.ZipFile("zip64_forced.zip", "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr(zipfile.ZipInfo("Forced/uisettings.ini", (2020, 1, 1, 0, 0, 0)), settings, zipfile.ZIP_DEFLATED)
    z.writestr(zipfile.ZipInfo("Forced/lamp.bmp", (2020, 1, 1, 0, 0, 0)), bmp24(3, 2, (255, 0, 0)), zipfile.ZIP_DEFLATED)
    z.writestr(zipfile.ZipInfo("Forced/icon/nds.bmp", (2020, 1, 1, 0, 0, 0)), bmp24(2, 2, (0, 0, 255)), zipfile.ZIP_STORED)
PYEOF

# --- seeds of the whole-skin fuzz targets (tests/fuzz/skin_open, skin_check) ----
# Small versions of the skins made to break the budgets: the targets run with
# small budgets, so that a few kilobytes reach every limit.
cd ../fuzz
mkdir -p skin_open skin_check
$PY - <<'PYEOF'
import shutil, struct, zipfile
settings = b"[start menu]\r\nitemHeight=30\r\n"
def bmp16(width, height):
    stride = (width * 2 + 3) & ~3
    return (b"BM" + struct.pack("<IHHI", 54 + stride * height, 0, 0, 54) +
            struct.pack("<IiiHHIIiiII", 40, width, height, 1, 16, 0, stride * height, 0, 0, 0, 0) +
            bytes(stride * height))
# Three pictures of 300 x 300 (each fits, two together pass the small budget).
with zipfile.ZipFile("skin_open/over_budget.zip", "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("Big/uisettings.ini", settings)
    for name in ("active.bmp", "lamp.bmp", "icon/nds.bmp"):
        z.writestr("Big/" + name, bmp16(300, 300))
# A settings entry of 2 MB of one line over and over.
with zipfile.ZipFile("skin_open/settings_2mb.zip", "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("Big/uisettings.ini", b"a=1\r\n" * (2 * 1024 * 1024 // 5))
    z.writestr("Big/lamp.bmp", bmp16(2, 2))
# A root folder whose name holds a line break and an escape sequence, and a
# stray file whose name is no UTF-8.
with zipfile.ZipFile("skin_open/forged_names.zip", "w", zipfile.ZIP_STORED) as z:
    z.writestr("My\nerror missing-settings \x1b[31mSkin/uisettings.ini", settings)
    z.writestr("My\nerror missing-settings \x1b[31mSkin/lamp.bmp.bak", b"x")
    z.writestr("My\nerror missing-settings \x1b[31mSkin/XXX.bmp", b"x")
# The last name with an overlong form where XXX stands (zipfile writes UTF-8 only).
data = open("skin_open/forged_names.zip", "rb").read().replace(b"XXX.bmp", b"\xe0\x80\x80.bmp")
open("skin_open/forged_names.zip", "wb").write(data)
for name in ("over_budget.zip", "settings_2mb.zip", "forged_names.zip"):
    shutil.copy("skin_open/" + name, "skin_check/" + name)
for name in ("infozip_mixed.zip", "claims_60mb.zip", "python_backslash.zip"):
    shutil.copy("../data/archives/" + name, "skin_open/" + name)
    shutil.copy("../data/archives/" + name, "skin_check/" + name)
PYEOF
