#!/usr/bin/env python3
"""Writes the PNG corpus of tests/data/png/, valid and damaged files:

  make_png_corpus.py [OUT]        (OUT: tests/data/png beside this script)

  {pal,grey,greyalpha,rgb,rgba}{depth}[_trns]_{W}x{H}[_adam7].png
      every colour type and bit depth, with and without tRNS, plain and
      Adam7 interlaced, at 1 x 1, 3 x 7 and 33 x 17; the rows cycle through
      the five filter types, the samples reach both ends of their range
  edge_*.png   files that are valid or that libpng takes (with a warning)
  bad_*.png    damaged files, each made from a valid one by one change

Only Python's standard library (zlib, struct): every byte is the script's.
The files are committed; the tests never run this."""
import os
import struct
import sys
import zlib

OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), 'png')
SIG = b'\x89PNG\r\n\x1a\n'
CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}
ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]


def crc(kind, data):
    return struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff)


def chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + crc(kind, data)


def sample(x, y, c, depth, seed):
    """A sample that spreads over the whole range of the depth, with the
    extremes (0 and the top) where conversions go wrong."""
    top = (1 << depth) - 1
    v = (x * 37 + y * 101 + c * 53 + seed * 7 + (x * y) % 13 * 29) % (top + 1)
    if (x + y + c) % 5 == 0:
        v = top
    if (x + 2 * y + c) % 7 == 0:
        v = 0
    return v


def pack_row(values, depth):
    if depth == 16:
        return b''.join(struct.pack('>H', v) for v in values)
    if depth == 8:
        return bytes(values)
    out, acc, bits = bytearray(), 0, 0
    for v in values:
        acc, bits = (acc << depth) | v, bits + depth
        if bits == 8:
            out.append(acc)
            acc, bits = 0, 0
    if bits:
        out.append(acc << (8 - bits))
    return bytes(out)


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def filter_rows(rows, bpp, first_filter):
    """Row i is written with filter (first_filter + i) % 5."""
    out, prev = bytearray(), None
    for i, row in enumerate(rows):
        f = (first_filter + i) % 5
        prior = prev if prev is not None else bytes(len(row))
        out.append(f)
        for k, v in enumerate(row):
            a = row[k - bpp] if k >= bpp else 0
            b = prior[k]
            c = prior[k - bpp] if k >= bpp else 0
            out.append((v - [0, a, b, (a + b) // 2, paeth(a, b, c)][f]) & 255)
        prev = row
    return bytes(out)


def image_data(w, h, ctype, depth, interlace, pixel, seed):
    bpp = max(1, CHANNELS[ctype] * depth // 8)
    if not interlace:
        rows = [pack_row([v for x in range(w) for v in pixel(x, y)], depth) for y in range(h)]
        return filter_rows(rows, bpp, seed)
    raw = b''
    for (x0, y0, dx, dy) in ADAM7:
        xs, ys = range(x0, w, dx), range(y0, h, dy)
        if xs and ys:
            rows = [pack_row([v for x in xs for v in pixel(x, y)], depth) for y in ys]
            raw += filter_rows(rows, bpp, seed + x0 + y0)
    return raw


def png(w, h, ctype, depth, interlace=0, plte=None, trns=None, pixel=None, before_idat=b'',
        idat_split=None, seed=0, level=9):
    if pixel is None:
        pixel = lambda x, y: [sample(x, y, c, depth, seed) for c in range(CHANNELS[ctype])]
    z = zlib.compress(image_data(w, h, ctype, depth, interlace, pixel, seed), level)
    out = SIG + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, depth, ctype, 0, 0, interlace)) + before_idat
    if plte is not None:
        out += chunk(b'PLTE', plte)
    if trns is not None:
        out += chunk(b'tRNS', trns)
    parts = [z] if not idat_split else [z[i:i + idat_split] for i in range(0, len(z), idat_split)]
    for p in parts:
        out += chunk(b'IDAT', p)
    return out + chunk(b'IEND', b'')


def palette(n):
    return bytes(((i * 73) % 256, (i * 151 + 40) % 256, (255 - i * 29) % 256)[k] for i in range(n) for k in range(3))


def chunks_of(data):
    out, p = [], 8
    while p + 12 <= len(data):
        n = struct.unpack('>I', data[p:p + 4])[0]
        out.append((data[p + 4:p + 8], data[p + 8:p + 8 + n], data[p + 8 + n:p + 12 + n]))
        p += 12 + n
    return out


def rebuild(parts):
    return SIG + b''.join(struct.pack('>I', len(d)) + k + d + c for (k, d, c) in parts)


def with_chunk(data, kind, new_data, good_crc=True):
    """`data` with the content of its chunks `kind` replaced (and their CRC
    remade unless told otherwise)."""
    return rebuild([(k, new_data, crc(k, new_data) if good_crc else c) if k == kind else (k, d, c)
                    for (k, d, c) in chunks_of(data)])


def with_crc(data, kind, value):
    return rebuild([(k, d, value) if k == kind else (k, d, c) for (k, d, c) in chunks_of(data)])


files = {}

# --- every colour type and depth -------------------------------------------
for (w, h) in [(1, 1), (3, 7), (33, 17)]:
    for il in (0, 1):
        tag = f'{w}x{h}{"_adam7" if il else ""}'
        for depth in (1, 2, 4, 8):
            n = 1 << depth
            pix = lambda x, y, d=depth: [sample(x, y, 0, d, 3)]
            files[f'pal{depth}_{tag}'] = png(w, h, 3, depth, il, plte=palette(n), pixel=pix)
            alphas = bytes((i * 97) % 256 for i in range(n // 2 + 1))[:n]
            files[f'pal{depth}_trns_{tag}'] = png(w, h, 3, depth, il, plte=palette(n), trns=alphas, pixel=pix)
        for depth in (1, 2, 4, 8, 16):
            files[f'grey{depth}_{tag}'] = png(w, h, 0, depth, il)
            # The key is a value the picture holds.
            key = sample(1 if w > 1 else 0, 0, 0, depth, 0)
            files[f'grey{depth}_trns_{tag}'] = png(w, h, 0, depth, il, trns=struct.pack('>H', key))
        for depth in (8, 16):
            files[f'greyalpha{depth}_{tag}'] = png(w, h, 4, depth, il)
            files[f'rgb{depth}_{tag}'] = png(w, h, 2, depth, il)
            key = [sample(0, 0, c, depth, 0) for c in range(3)]
            files[f'rgb{depth}_trns_{tag}'] = png(w, h, 2, depth, il, trns=struct.pack('>HHH', *key))
            files[f'rgba{depth}_{tag}'] = png(w, h, 6, depth, il)

# --- valid, or taken by libpng ---------------------------------------------
# A tRNS key with bits above the depth: only its low bits count, which make
# a value the picture holds. Some come after other chunks.
gama = chunk(b'gAMA', struct.pack('>I', 45455))
for depth, il, before in [(1, 0, b''), (2, 1, gama), (4, 0, b''), (8, 0, gama)]:
    key = sample(1, 0, 0, depth, 0) | (0xa5 << depth & 0xffff)
    files[f'edge_grey{depth}_trns_high_bits'] = png(33, 17, 0, depth, il, trns=struct.pack('>H', key),
                                                    before_idat=before)
files['edge_rgb8_trns_high_bits'] = png(33, 17, 2, 8, trns=struct.pack(
    '>HHH', *[0x100 * (c + 1) | sample(0, 0, c, 8, 0) for c in range(3)]))
# tRNS in a picture that has an alpha channel: not allowed, and libpng
# ignores it.
files['edge_greyalpha8_with_trns'] = png(33, 17, 4, 8, trns=struct.pack('>H', sample(0, 0, 0, 8, 0)))
files['edge_rgba8_with_trns'] = png(33, 17, 6, 8, trns=struct.pack('>HHH', *[sample(0, 0, c, 8, 0) for c in range(3)]))
files['edge_rgba16_with_trns_adam7'] = png(33, 17, 6, 16, 1, trns=struct.pack('>HHH', 1, 2, 3), before_idat=gama)
# Palette indices past the palette's end (black).
files['edge_pal8_index_past_end'] = png(33, 17, 3, 8, plte=palette(4), pixel=lambda x, y: [(x * 7 + y) % 9])
# 256 colours, each with its own alpha.
files['edge_pal8_256_full_trns'] = png(33, 17, 3, 8, plte=palette(256), trns=bytes(range(256)),
                                       pixel=lambda x, y: [(x * 17 + y * 31) % 256])
# More tRNS alphas than palette entries.
files['edge_pal4_trns_longer_than_plte'] = png(33, 17, 3, 4, plte=palette(6), trns=bytes(range(0, 200, 20)),
                                               pixel=lambda x, y: [(x + y) % 6])
# Ancillary chunks nobody here uses, known and private.
files['edge_rgb8_ancillary_chunks'] = png(33, 17, 2, 8, before_idat=chunk(b'gAMA', struct.pack('>I', 45455)) +
                                          chunk(b'sRGB', b'\x00') + chunk(b'tEXt', b'Comment\x00a test card') +
                                          chunk(b'sBIT', b'\x05\x06\x05') + chunk(b'prVt', b'private data'))
# The image data in many small chunks; deflate's stored blocks.
files['edge_rgb8_idat_split_7'] = png(33, 17, 2, 8, idat_split=7)
files['edge_rgb8_stored_zlib'] = png(33, 17, 2, 8, level=0)
# An RGB picture with a suggested palette.
files['edge_rgb8_with_plte'] = png(33, 17, 2, 8, plte=palette(16))

# --- damaged ---------------------------------------------------------------
base = png(33, 17, 2, 8)
pal = png(33, 17, 3, 4, plte=palette(16), pixel=lambda x, y: [sample(x, y, 0, 4, 3)])
text = png(33, 17, 2, 8, before_idat=chunk(b'tEXt', b'Comment\x00a test card'))
idat = [d for (k, d, c) in chunks_of(base) if k == b'IDAT'][0]
raw = zlib.decompress(idat)
ihdr = [d for (k, d, c) in chunks_of(base) if k == b'IHDR'][0]
files.update({
    'bad_crc_text': with_crc(text, b'tEXt', b'\0\0\0\0'),
    'bad_crc_idat': with_crc(base, b'IDAT', b'\0\0\0\0'),
    'bad_crc_ihdr': with_crc(base, b'IHDR', b'\0\0\0\0'),
    'bad_crc_plte': with_crc(pal, b'PLTE', b'\0\0\0\0'),
    'bad_crc_iend': with_crc(base, b'IEND', b'\0\0\0\0'),
    'bad_signature': SIG[:7] + b'\x00' + base[8:],
    'bad_trailing_garbage': base + b'not a chunk at all' * 3,
    'bad_missing_iend': base[:-12],
    'bad_truncated_in_idat': base[:len(base) - 12 - 4 - len(idat) // 2],
    'bad_zlib_cut': with_chunk(base, b'IDAT', idat[:len(idat) // 2]),
    'bad_rows_missing': with_chunk(base, b'IDAT', zlib.compress(raw[:len(raw) // 2])),
    'bad_too_much_data': with_chunk(base, b'IDAT', zlib.compress(raw + bytes(500))),
    'bad_adler32': with_chunk(base, b'IDAT', idat[:-4] + b'\1\2\3\4'),
    'bad_zlib_header': with_chunk(base, b'IDAT', b'\x78\x00' + idat[2:]),
    'bad_filter_type': with_chunk(base, b'IDAT', zlib.compress(b'\x09' + raw[1:])),
    'bad_unknown_critical_chunk': png(33, 17, 2, 8, before_idat=chunk(b'CRIT', b'must be understood')),
    'bad_palette_without_plte': png(33, 17, 3, 4, pixel=lambda x, y: [sample(x, y, 0, 4, 3)]),
    'bad_plte_not_multiple_of_3': with_chunk(pal, b'PLTE', palette(16)[:-1]),
    'bad_plte_too_long_for_depth': with_chunk(pal, b'PLTE', palette(17)),
    'bad_rgb_depth_4': with_chunk(base, b'IHDR', ihdr[:8] + b'\x04' + ihdr[9:]),
    'bad_colour_type_5': with_chunk(base, b'IHDR', ihdr[:9] + b'\x05' + ihdr[10:]),
    'bad_interlace_method': with_chunk(base, b'IHDR', ihdr[:12] + b'\x02'),
    'bad_zero_width': with_chunk(base, b'IHDR', bytes(4) + ihdr[4:]),
    'bad_ihdr_short': with_chunk(base, b'IHDR', ihdr[:12]),
    'bad_no_idat': rebuild([c for c in chunks_of(base) if c[0] != b'IDAT']),
    'bad_idat_before_ihdr': rebuild(sorted(chunks_of(base), key=lambda c: c[0] != b'IDAT')),
    'bad_signature_only': SIG,
})

os.makedirs(OUT, exist_ok=True)
for name in os.listdir(OUT):
    if name.endswith('.png'):
        os.remove(os.path.join(OUT, name))
for name, data in sorted(files.items()):
    with open(os.path.join(OUT, name + '.png'), 'wb') as f:
        f.write(data)
counts = [sum(1 for n in files if n.startswith(p)) for p in ('edge_', 'bad_')]
print(f'{len(files)} files ({len(files) - sum(counts)} plain, {counts[0]} edge, {counts[1]} damaged) in {OUT}')
