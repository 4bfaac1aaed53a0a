#!/usr/bin/env python3
"""Rebuilds the hostile skins the budgets are measured on (too large to commit):

  make_hostile_files.py SKINTOOL OUT

  OUT/pictures.zip        53 members, each a 16-bit BMP of 8192 x 4095 zeros
                          (64 MB inflated, 3.5 MB in all), and a settings file
  OUT/settings_10mb/      the default skin with a 10 MB uisettings.ini of a=1 lines
  OUT/settings_64mb.zip   a 60 KB archive whose settings entry inflates to 64 MB
  OUT/fifo_settings/      the default skin with a pipe for uisettings.ini
  OUT/fifo_picture/       the default skin with a pipe for lamp.bmp
  OUT/device_picture/     the default skin with lamp.bmp a link to /dev/zero

The default skin comes from `SKINTOOL convert`, so the names are the ones the
program reads. Only Python's standard library is used.
"""
import os
import shutil
import struct
import subprocess
import sys
import zipfile


def bmp16_zeros(width, height):
    stride = (width * 2 + 3) & ~3
    pixels = stride * height
    header = b"BM" + struct.pack("<IHHI", 54 + pixels, 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 16, 0, pixels, 2835, 2835, 0, 0)
    return header + info + bytes(pixels)


def skin_files(folder):
    files = []
    for root, _, names in os.walk(folder):
        for name in names:
            files.append(os.path.relpath(os.path.join(root, name), folder))
    return sorted(files)


def main():
    skintool, out = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    default = os.path.join(out, "default")
    shutil.rmtree(default, ignore_errors=True)
    subprocess.run([skintool, "convert", "--out", default], check=True)
    files = skin_files(default)

    picture = bmp16_zeros(8192, 4095)
    with zipfile.ZipFile(os.path.join(out, "pictures.zip"), "w", zipfile.ZIP_DEFLATED) as z:
        for f in files:
            data = open(os.path.join(default, f), "rb").read() if f == "uisettings.ini" else picture
            z.writestr("Huge/" + f, data)

    lines = b"a=1\r\n" * (10 * 1024 * 1024 // 5)
    big = os.path.join(out, "settings_10mb")
    shutil.rmtree(big, ignore_errors=True)
    shutil.copytree(default, big)
    open(os.path.join(big, "uisettings.ini"), "wb").write(lines)

    with zipfile.ZipFile(os.path.join(out, "settings_64mb.zip"), "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("Big/uisettings.ini", b"a=1\r\n" * (64 * 1024 * 1024 // 5))
        for f in files:
            if f != "uisettings.ini":
                z.writestr("Big/" + f, open(os.path.join(default, f), "rb").read())

    for name, target, make in (("fifo_settings", "uisettings.ini", os.mkfifo),
                               ("fifo_picture", "lamp.bmp", os.mkfifo),
                               ("device_picture", "lamp.bmp", lambda p: os.symlink("/dev/zero", p))):
        folder = os.path.join(out, name)
        shutil.rmtree(folder, ignore_errors=True)
        shutil.copytree(default, folder)
        os.remove(os.path.join(folder, target))
        make(os.path.join(folder, target))


if __name__ == "__main__":
    main()
