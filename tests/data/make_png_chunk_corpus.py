#!/usr/bin/env python3
"""Writes tests/data/png_chunks/: small PNG files whose ancillary chunks are
damaged, misplaced or repeated, and files whose chunks libpng refuses:

  make_png_chunk_corpus.py [OUT]     (OUT: tests/data/png_chunks beside this script)

  ok_*_{alpha,opaque}.png   files libpng reads (damage in ancillary chunks is
                            a warning to it, or the chunk is one it is told
                            to skip); the suffix says whether the picture it
                            makes has transparent pixels
  bad_*.png                 files libpng refuses

Every picture is 8 x 4 with a few colours, black among them; its image data
is right. Only Python's standard library (zlib, struct): every byte is the
script's. The files are committed; the tests never run this."""
import os
import struct
import sys
import zlib

OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), 'png_chunks')
SIG = b'\x89PNG\r\n\x1a\n'
W, H = 8, 4
NO_CRC = b'\0\0\0\0'


def chunk(kind, data, crc=None):
    good = struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff)
    return struct.pack('>I', len(data)) + kind + data + (good if crc is None else crc)


def header(ctype, depth):
    return chunk(b'IHDR', struct.pack('>IIBBBBB', W, H, depth, ctype, 0, 0, 0))


# Rows as the file holds them, without their filter byte.
RGB_ROWS = [bytes(v for x in range(W) for v in ((0, 0, 0) if (x + y) % 3 == 0 else (x * 30, y * 60, 200 - x * 20)))
            for y in range(H)]
GREY_ROWS = [bytes((x * 36 + y * 9) % 256 for x in range(W)) for y in range(H)]
PAL_ROWS = [bytes([0b00011011 if y % 2 == 0 else 0b11100100, 0b01101100]) for y in range(H)]  # 2-bit indices 0-3
PALETTE = bytes([0, 0, 0, 250, 20, 20, 20, 250, 20, 20, 20, 250])
GREY_KEY = struct.pack('>H', GREY_ROWS[0][1])            # a grey the picture holds
RGB_KEY = struct.pack('>HHH', 30, 0, 180)               # the RGB the picture holds at (1, 0)


def data(rows):
    return zlib.compress(b''.join(b'\0' + r for r in rows), 9)


KIND = {'rgb': (2, 8, RGB_ROWS), 'grey': (0, 8, GREY_ROWS), 'pal': (3, 2, PAL_ROWS)}


def png(kind='rgb', before=b'', after=b'', first=b'', end=None, idat=None):
    """A picture of `kind` with `before` between IHDR (and a palette
    picture's PLTE) and the image data, `after` between the image data and
    IEND, `first` before IHDR, `end` in place of IEND."""
    ctype, depth, rows = KIND[kind]
    plte = chunk(b'PLTE', PALETTE) if kind == 'pal' else b''
    body = idat if idat is not None else chunk(b'IDAT', data(rows))
    return (SIG + first + header(ctype, depth) + plte + before + body + after +
            (chunk(b'IEND', b'') if end is None else end))


def trns(content, crc=None):
    return chunk(b'tRNS', content, crc)


text = chunk(b'tEXt', b'Comment\0a test card')
z = data(RGB_ROWS)
files = {
    # --- chunks libpng is told to skip unread: damage is no matter -------
    'ok_iccp_not_zlib_opaque': png(before=chunk(b'iCCP', b'card\0\0not a zlib stream')),
    'ok_iccp_no_separator_opaque': png(before=chunk(b'iCCP', b'a profile name that never ends')),
    'ok_iccp_method_1_opaque': png(before=chunk(b'iCCP', b'card\0\1' + zlib.compress(b'profile' * 40))),
    'ok_iccp_inflates_to_4mb_opaque': png(before=chunk(b'iCCP', b'card\0\0' + zlib.compress(bytes(4 << 20), 9))),
    # A chunk of more than 1 MiB (zeros, which git keeps small).
    'ok_iccp_over_1mb_opaque': png(before=chunk(b'iCCP', b'card\0\0' + bytes((1 << 20) - 5))),
    'ok_iccp_twice_opaque': png(before=2 * chunk(b'iCCP', b'card\0\0' + zlib.compress(bytes(132)))),
    'ok_text_no_separator_opaque': png(before=chunk(b'tEXt', b'Comment without its separator')),
    'ok_text_keyword_100_letters_opaque': png(before=chunk(b'tEXt', b'K' * 100 + b'\0value')),
    'ok_text_empty_opaque': png(before=chunk(b'tEXt', b'')),
    'ok_text_bad_crc_opaque': png(before=chunk(b'tEXt', b'Comment\0card', NO_CRC)),
    'ok_ztxt_not_zlib_opaque': png(before=chunk(b'zTXt', b'Comment\0\0not a zlib stream')),
    'ok_ztxt_no_separator_opaque': png(before=chunk(b'zTXt', b'Comment' + zlib.compress(b'card'))),
    'ok_itxt_cut_short_opaque': png(before=chunk(b'iTXt', b'Comment')),
    'ok_itxt_not_zlib_opaque': png(before=chunk(b'iTXt', b'Comment\0\1\0en\0\0not a zlib stream')),
    'ok_exif_no_byte_order_opaque': png(before=chunk(b'eXIf', b'XX\0*')),
    'ok_exif_one_byte_opaque': png(before=chunk(b'eXIf', b'M')),
    'ok_pcal_cut_short_opaque': png(before=chunk(b'pCAL', b'x')),
    'ok_scal_unit_5_opaque': png(before=chunk(b'sCAL', b'\5' + b'1\0' + b'1')),
    'ok_splt_depth_7_opaque': png(before=chunk(b'sPLT', b'card\0\7' + bytes(10))),
    'ok_private_opaque': png(before=chunk(b'prVt', b'private data')),
    'ok_private_bad_crc_opaque': png(before=chunk(b'prVt', b'private data', NO_CRC)),
    'ok_private_lowercase_third_letter_opaque': png(before=chunk(b'prvt', b'reserved bit set')),
    # --- chunks libpng reads, and only warns about when they are wrong ---
    'ok_gama_2_bytes_opaque': png(before=chunk(b'gAMA', b'\0\1')),
    'ok_gama_zero_opaque': png(before=chunk(b'gAMA', bytes(4))),
    'ok_gama_twice_opaque': png(before=2 * chunk(b'gAMA', struct.pack('>I', 45455))),
    'ok_gama_bad_crc_opaque': png(before=chunk(b'gAMA', struct.pack('>I', 45455), NO_CRC)),
    'ok_chrm_5_bytes_opaque': png(before=chunk(b'cHRM', bytes(5))),
    'ok_srgb_intent_9_opaque': png(before=chunk(b'sRGB', b'\x09')),
    'ok_srgb_3_bytes_opaque': png(before=chunk(b'sRGB', bytes(3))),
    'ok_phys_3_bytes_opaque': png(before=chunk(b'pHYs', bytes(3))),
    'ok_bkgd_1_byte_opaque': png(before=chunk(b'bKGD', b'\1')),
    'ok_bkgd_index_past_palette_opaque': png('pal', before=chunk(b'bKGD', b'\x09')),
    'ok_hist_in_rgb_opaque': png(before=chunk(b'hIST', bytes(8))),
    'ok_sbit_zero_opaque': png(before=chunk(b'sBIT', bytes(3))),
    'ok_sbit_9_bytes_opaque': png(before=chunk(b'sBIT', bytes(9))),
    'ok_time_2_bytes_opaque': png(before=chunk(b'tIME', bytes(2))),
    'ok_time_month_13_opaque': png(before=chunk(b'tIME', struct.pack('>HBBBBB', 2024, 13, 40, 25, 61, 61))),
    'ok_offs_2_bytes_opaque': png(before=chunk(b'oFFs', bytes(2))),
    'ok_plte_in_grey_opaque': png('grey', before=chunk(b'PLTE', PALETTE)),
    'ok_plte_in_grey_not_whole_entries_opaque': png('grey', before=chunk(b'PLTE', PALETTE[:-1])),
    'ok_plte_in_rgb_not_whole_entries_opaque': png(before=chunk(b'PLTE', PALETTE[:-1])),
    # --- where chunks stand -----------------------------------------------
    'ok_skipped_chunks_before_ihdr_opaque': png(first=text + chunk(b'iCCP', b'x\0\0bad') + chunk(b'prVt', b'', NO_CRC)),
    'ok_damaged_text_after_data_opaque': png(after=chunk(b'tEXt', b'no separator') + chunk(b'iCCP', b'x\0\0bad')),
    'ok_gama_after_data_opaque': png(after=chunk(b'gAMA', b'\0')),
    'ok_unknown_critical_after_data_opaque': png(after=chunk(b'CRIT', b'read on past')),
    'ok_empty_idat_after_text_opaque': png(after=text + chunk(b'IDAT', b'')),
    'ok_text_between_whole_data_and_empty_idat_opaque': png(idat=chunk(b'IDAT', z) + text + chunk(b'IDAT', b'')),
    'ok_iend_with_data_opaque': png(end=chunk(b'IEND', b'not empty')),
    'ok_bad_chunk_after_iend_opaque': png() + chunk(b'b4d!', b'', NO_CRC),
    # --- tRNS, the one ancillary chunk that makes pixels ------------------
    'ok_trns_palette_alpha': png('pal', before=trns(b'\0\x80')),
    'ok_trns_palette_bad_crc_opaque': png('pal', before=trns(b'\0\x80', NO_CRC)),
    'ok_trns_palette_longer_than_palette_opaque': png('pal', before=trns(b'\0\x80\1\2\3')),
    'ok_trns_palette_as_long_as_palette_alpha': png('pal', before=trns(b'\0\x80\1\2')),
    'ok_trns_palette_empty_opaque': png('pal', before=trns(b'')),
    # A palette of 5 entries, of which a 2-bit picture uses 4.
    'ok_trns_palette_as_long_as_depth_allows_alpha': png('pal', before=trns(bytes(4))).replace(
        chunk(b'PLTE', PALETTE), chunk(b'PLTE', PALETTE + b'\1\2\3')),
    'ok_trns_palette_longer_than_depth_allows_opaque': png('pal', before=trns(bytes(5))).replace(
        chunk(b'PLTE', PALETTE), chunk(b'PLTE', PALETTE + b'\1\2\3')),
    'ok_trns_palette_before_plte_opaque': png('pal').replace(header(3, 2), header(3, 2) + trns(b'\0\x80')),
    'ok_trns_palette_twice_alpha': png('pal', before=trns(b'\0\x80') + trns(b'\xff')),
    'ok_trns_palette_bad_crc_then_right_alpha': png('pal', before=trns(b'\xff', NO_CRC) + trns(b'\0\x80')),
    'ok_trns_palette_too_long_then_right_alpha': png('pal', before=trns(bytes(5)) + trns(b'\0\x80')),
    'ok_trns_palette_after_data_opaque': png('pal', after=trns(b'\0\x80')),
    'ok_trns_grey_alpha': png('grey', before=trns(GREY_KEY)),
    'ok_trns_grey_bad_crc_opaque': png('grey', before=trns(GREY_KEY, NO_CRC)),
    'ok_trns_grey_3_bytes_opaque': png('grey', before=trns(GREY_KEY + b'\0')),
    'ok_trns_rgb_alpha': png(before=trns(RGB_KEY)),
    'ok_trns_rgb_4_bytes_opaque': png(before=trns(RGB_KEY[:4])),
    'ok_trns_rgb_bad_crc_then_right_alpha': png(before=trns(struct.pack('>HHH', 1, 2, 3), NO_CRC) + trns(RGB_KEY)),
    'ok_trns_rgb_twice_first_taken_opaque': png(before=trns(struct.pack('>HHH', 1, 2, 3)) + trns(RGB_KEY)),
    'ok_trns_rgb_before_plte_alpha': png(before=trns(RGB_KEY) + chunk(b'PLTE', PALETTE)),
    'ok_trns_black_key_in_rgb_alpha': png(before=trns(bytes(6))),
    # --- what libpng refuses ----------------------------------------------
    'bad_name_with_digit': png(before=chunk(b'pr1t', b'x')),
    'bad_name_with_bracket_after_data': png(after=chunk(b'pr[t', b'x')),
    'bad_length_over_2g': png(before=struct.pack('>I', 0x80000000) + b'prVt'),
    'bad_text_past_end': png(end=struct.pack('>I', 1000) + b'tEXt' + b'Comment\0cut'),
    'bad_no_iend_after_text': png(end=text),
    'bad_crc_unknown_critical_after_data': png(after=chunk(b'CRIT', b'x', NO_CRC)),
    'bad_crc_idat_after_text': png(after=text + chunk(b'IDAT', b'', NO_CRC)),
    'bad_crc_iend_with_data': png(end=chunk(b'IEND', b'xx', NO_CRC)),
    'bad_crc_plte_in_grey': png('grey', before=chunk(b'PLTE', PALETTE, NO_CRC)),
    'bad_gama_before_ihdr': png(first=chunk(b'gAMA', struct.pack('>I', 45455))),
    'bad_trns_before_ihdr': png(first=trns(RGB_KEY)),
    'bad_time_before_ihdr': png(first=chunk(b'tIME', struct.pack('>HBBBBB', 2024, 1, 2, 3, 4, 5))),
    'bad_unknown_critical_before_ihdr': png(first=chunk(b'CRIT', b'x')),
    'bad_unknown_critical_before_data': png(before=chunk(b'CRIT', b'x')),
    'bad_ihdr_twice': png(before=header(2, 8)),
    'bad_ihdr_after_data': png(after=header(2, 8)),
    'bad_plte_twice_in_rgb': png(before=2 * chunk(b'PLTE', PALETTE)),
    'bad_plte_twice_in_grey': png('grey', before=2 * chunk(b'PLTE', PALETTE)),
    'ok_plte_of_256_entries_opaque': png('pal').replace(chunk(b'PLTE', PALETTE), chunk(b'PLTE', PALETTE * 64)),
    'bad_plte_of_257_entries': png('pal').replace(chunk(b'PLTE', PALETTE), chunk(b'PLTE', PALETTE * 64 + b'\1\2\3')),
    'bad_plte_empty': png('pal').replace(chunk(b'PLTE', PALETTE), chunk(b'PLTE', b'')),
    'bad_iend_before_data': png(before=chunk(b'IEND', b'')),
    'bad_text_between_unfinished_data': png(idat=chunk(b'IDAT', z[:20]) + text + chunk(b'IDAT', z[20:])),
}

os.makedirs(OUT, exist_ok=True)
for name in os.listdir(OUT):
    if name.endswith('.png'):
        os.remove(os.path.join(OUT, name))
for name, content in sorted(files.items()):
    with open(os.path.join(OUT, name + '.png'), 'wb') as f:
        f.write(content)
ok = sum(1 for n in files if n.startswith('ok_'))
print(f'{len(files)} files ({ok} read by libpng, {len(files) - ok} refused) in {OUT}')
