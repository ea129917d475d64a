#!/usr/bin/env python3
"""Generates bootpick/font12x22.cpp, the boot menu's 12 x 22 bitmap font.

The glyphs of codes 33 to 126 come from the bold 22 x 11 Terminus Font face
(a PSF2 console font, as Debian's console-setup-linux ships it), moved into
the 12 x 22 cell of the boot menu:

  - each glyph sits in columns 0 to 10; column 11 stays blank;
  - everything moves up one row, so the base line is row 15, capitals stand
    in rows 2 to 15, small letters begin at row 6 and descenders end by
    row 20 (a glyph that begins above row 2 moves up only to row 1);
  - digits move up one more row and grow by one repeated row, to stand in
    rows 1 to 15 like the fixed "0";
  - a capital that would reach below the base line (the tail of "Q") loses
    repeated rows until it stands on it.

The space, "0", "X", the underscore and code 127 are fixed glyphs of the
menu and are written as given. The generated table is committed; run this
only to change the font:

  tools/font/mkfont.py [PSF_FILE] > bootpick/font12x22.cpp
"""

import gzip
import struct
import sys

DEFAULT_SOURCE = "/usr/share/consolefonts/Uni2-TerminusBold22x11.psf.gz"
ROWS = 22
BASE_LINE = 15

FIXED = {
    " ": [0] * ROWS,
    "0": [0x0000, 0x0700, 0x0F80, 0x1180, 0x10C0, 0x30C0, 0x30C0, 0x30C0,
          0x30C0, 0x30C0, 0x30C0, 0x30C0, 0x3080, 0x1880, 0x1F00, 0x0E00] + [0] * 6,
    "X": [0x0000, 0x0000, 0xF070, 0x6020, 0x3040, 0x3880, 0x1880, 0x0D00,
          0x0600, 0x0600, 0x0B00, 0x1180, 0x11C0, 0x20C0, 0x4060, 0xE0F0] + [0] * 6,
    "_": [0] * 17 + [0xFFF0] * 2 + [0] * 3,
    "\x7f": [0] * 5 + [0x3FC0] * 12 + [0] * 5,
}


def load_psf2(path):
    """Glyph rows (top first, bit 15 = leftmost pixel) by Unicode code point."""
    data = gzip.open(path).read() if path.endswith(".gz") else open(path, "rb").read()
    magic, _, header, flags, count, size, height, width = struct.unpack("<8I", data[:32])
    if magic != 0x864AB572 or not flags & 1:
        sys.exit(f"{path}: not a PSF2 font with a Unicode table")
    if height != ROWS or width > 12:
        sys.exit(f"{path}: glyphs are {width} x {height}, need at most 12 x {ROWS}")
    per_row = (width + 7) // 8
    glyphs = {}
    table = data[header + count * size:]
    at = 0
    for index in range(count):
        end = table.index(b"\xff", at)
        bitmap = data[header + index * size:header + (index + 1) * size]
        rows = []
        for r in range(height):
            value = int.from_bytes(bitmap[r * per_row:(r + 1) * per_row], "big")
            rows.append((value << (16 - 8 * per_row)) & 0xFFF0)
        for char in table[at:end].split(b"\xfe")[0].decode("utf-8"):
            glyphs.setdefault(char, rows)
        at = end + 1
    return glyphs


def ink(rows):
    marked = [r for r, v in enumerate(rows) if v]
    return (marked[0], marked[-1]) if marked else (None, None)


def drop_repeated_row(rows, low, high):
    """Removes one row that equals the row above it, nearest the middle of
    rows low..high; a blank row goes in at the bottom."""
    middle = (low + high) / 2
    candidates = [r for r in range(low + 1, high + 1) if rows[r] and rows[r] == rows[r - 1]]
    if not candidates:
        return None
    r = min(candidates, key=lambda c: abs(c - middle))
    return rows[:r] + rows[r + 1:] + [0]


def repeat_row(rows, low, high):
    """Doubles one row that equals the row above it, nearest the middle of
    rows low..high; the blank last row goes."""
    middle = (low + high) / 2
    candidates = [r for r in range(low + 1, high + 1) if rows[r] and rows[r] == rows[r - 1]]
    if not candidates:
        sys.exit("no row to repeat")
    r = min(candidates, key=lambda c: abs(c - middle))
    return rows[:r] + [rows[r]] + rows[r:ROWS - 1]


def shift_up(rows, n):
    return rows[n:] + [0] * n if n >= 0 else [0] * -n + rows[:n]


def place(char, rows):
    top = ink(rows)[0]
    rows = shift_up(rows, 1 if top is None or top >= 2 else top - 1)
    if char.isdigit():
        rows = shift_up(rows, 1)
        top, bottom = ink(rows)
        rows = repeat_row(rows, top, bottom)
    elif char.isupper():
        while ink(rows)[1] > BASE_LINE:
            top, bottom = ink(rows)
            squeezed = drop_repeated_row(rows, top, BASE_LINE)
            if squeezed is None:
                sys.exit(f"capital {char!r} does not fit above the base line")
            rows = squeezed
    return rows


def check(char, rows):
    top, bottom = ink(rows)
    problems = []
    if rows[0] or rows[ROWS - 1]:
        problems.append("rows 0 and 21 must be blank")
    if char.isupper() and (top < 2 or bottom != BASE_LINE):
        problems.append("capitals stand in rows 2 to 15")
    if char.isdigit() and (top < 1 or bottom != BASE_LINE):
        problems.append("digits stand in rows 1 to 15")
    if char in "acegmnopqrsuvwxyz" and top < 6:
        problems.append("small letters without ascenders begin at row 6")
    if char.islower() and bottom > (20 if char in "gjpqy" else BASE_LINE):
        problems.append("only descenders go below the base line, to row 20")
    if problems:
        sys.exit(f"glyph {char!r}: " + "; ".join(problems))


def picture(value):
    return "".join("#" if value & (0x8000 >> c) else "." for c in range(12))


def main():
    source = sys.argv[1] if len(sys.argv) > 1 else DEFAULT_SOURCE
    glyphs = load_psf2(source)
    out = [
        "// The boot menu's 12 x 22 bitmap font: 96 glyphs for the codes 32 to 127,",
        "// 22 rows each, one 16-bit word per row stored high byte first, bit 15 the",
        "// leftmost of the 12 pixel columns. Generated by tools/font/mkfont.py; do",
        "// not edit by hand.",
        "//",
        "// Derived from Terminus Font (bold, 22 x 11):",
        "// Copyright (c) 2010 Dimitar Toshkov Zhekov,",
        "// with Reserved Font Name \"Terminus Font\".",
        "// Licensed under the SIL Open Font License, Version 1.1; the full notice",
        "// and licence are in tools/font/LICENSE. This is a Modified Version and",
        "// does not carry the Reserved Font Name.",
        '#include "draw.h"',
        "",
        "const unsigned char Font12x22[kGlyphCount * kGlyphHeight * 2] = {",
    ]
    for code in range(32, 128):
        char = chr(code)
        if char in FIXED:
            rows = FIXED[char]
        else:
            if char not in glyphs:
                sys.exit(f"{source}: no glyph for {char!r}")
            rows = place(char, glyphs[char])
        check(char, rows)
        name = "DEL" if code == 127 else "space" if code == 32 else repr(char)
        out.append(f"    // {code}: {name}")
        for value in rows:
            out.append(f"    0x{value >> 8:02X}, 0x{value & 0xFF:02X},  // {picture(value)}")
    out.append("};")
    print("\n".join(out))


if __name__ == "__main__":
    main()
