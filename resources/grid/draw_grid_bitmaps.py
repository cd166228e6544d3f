#!/usr/bin/env python3
"""Draws the data grid's indicator images as 24-bit BMP files beside this script.

Each image is 6 x 11 pixels; white is the transparent colour. Run it again after
changing a picture:  python3 draw_grid_bitmaps.py
Plain Python only, so it runs wherever the build does.
"""
import os
import struct

W, H = 6, 11
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
BLUE = (0, 0, 255)

# One string per row, top row first; '#' is ink, '.' is white.
PICTURES = {
    # current row while browsing: a filled triangle pointing right
    "sm_dbgarrow": (BLUE, [
        "......",
        "......",
        "#.....",
        "##....",
        "###...",
        "####..",
        "###...",
        "##....",
        "#.....",
        "......",
        "......",
    ]),
    # row being edited: an I-beam
    "sm_dbgedit": (BLACK, [
        "......",
        "##.##.",
        "..#...",
        "..#...",
        "..#...",
        "..#...",
        "..#...",
        "..#...",
        "..#...",
        "##.##.",
        "......",
    ]),
    # row being inserted: an asterisk
    "sm_dbginsert": (BLACK, [
        "......",
        "......",
        "......",
        "#.#.#.",
        ".###..",
        "#####.",
        ".###..",
        "#.#.#.",
        "......",
        "......",
        "......",
    ]),
    # selected row that is not current: a dot
    "sm_msdot": (BLACK, [
        "......",
        "......",
        "......",
        "......",
        ".##...",
        "####..",
        "####..",
        ".##...",
        "......",
        "......",
        "......",
    ]),
    # selected row that is current: an arrow with a shaft
    "sm_msarrow": (BLACK, [
        "......",
        "......",
        "..#...",
        "..##..",
        "#####.",
        "######",
        "#####.",
        "..##..",
        "..#...",
        "......",
        "......",
    ]),
}


def write_bmp(path, rows, ink):
    row_bytes = (W * 3 + 3) & ~3
    pixels = bytearray()
    for line in reversed(rows):  # BMP rows run bottom-up
        assert len(line) == W, line
        raw = bytearray()
        for ch in line:
            r, g, b = ink if ch == "#" else WHITE
            raw += bytes((b, g, r))
        raw += b"\0" * (row_bytes - len(raw))
        pixels += raw
    assert len(rows) == H
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, (ink, rows) in PICTURES.items():
        write_bmp(os.path.join(here, name + ".bmp"), rows, ink)


if __name__ == "__main__":
    main()
