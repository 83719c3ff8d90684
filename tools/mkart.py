#!/usr/bin/env python3
"""Build Sondaro's icon and cursor files from the text pixel maps in res/art/.

A map file starts with a header of legend lines, one per colour:

    K 1e1e1e  outline        (character, RRGGBB, optional remark)
    . none    transparent    ("none" marks the transparent character)
    hotspot 0 0              (cursors only: the hot spot's x and y)
    bits 4                   (icons only: the map as one 16-colour image whose
                              colour table is the map's own colours, at most
                              16, rather than in the three depths below)

Lines starting with '#' are comments. The first empty line ends the header;
every following line is one row of pixels, one character per pixel.

    mkart.py icon OUTPUT.ico MAP...   each map in 16 colours (the VGA palette), 256
                                      colours and 24 bits
    mkart.py cursor OUTPUT.cur MAP    the map in 16 and 256 colours
"""

import struct
import sys

# The standard 16-colour VGA palette in its usual Windows order.
VGA = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK = (0, 0, 0)


class PixelMap:
    """Rows of (r, g, b) tuples, None where the image is transparent."""

    def __init__(self, path):
        with open(path, encoding="ascii") as f:
            lines = [line.rstrip("\n") for line in f if not line.startswith("#")]
        end = lines.index("")
        colours = {}
        self.hotspot = None
        self.own_palette = False
        for line in lines[:end]:
            key, *values = line.split()
            if key == "hotspot":
                self.hotspot = (int(values[0]), int(values[1]))
            elif key == "bits":
                if values != ["4"]:
                    raise SystemExit(f"{path}: a map of its own palette takes 'bits 4'")
                self.own_palette = True
            elif values[0] == "none":
                colours[key] = None
            else:
                colours[key] = tuple(bytes.fromhex(values[0]))
        rows = [row for row in lines[end + 1:] if row]
        unknown = set("".join(rows)) - colours.keys()
        if unknown:
            raise SystemExit(f"{path}: no colour for {''.join(sorted(unknown))}")
        self.rows = [[colours[c] for c in row] for row in rows]
        self.width = len(self.rows[0])
        self.height = len(self.rows)
        if any(len(row) != self.width for row in self.rows):
            raise SystemExit(f"{path}: rows differ in length")


def nearest(colour, palette):
    return min(range(len(palette)), key=lambda i: sum((a - b) ** 2 for a, b in zip(colour, palette[i])))


def packed_rows(values, bits):
    """Pack rows of values of the given bit width into bottom-up rows padded to 4 bytes."""
    out = b""
    for row in reversed(values):
        number = 0
        for value in row:
            number = (number << bits) | value
        size = (len(row) * bits + 31) // 32 * 4
        out += (number << (size * 8 - len(row) * bits)).to_bytes(size, "big")
    return out


def palette_for(pixmap, bits):
    """The colour table of an image: VGA for 16 colours, unless the map brings its own; the used
    colours (black first) for 256."""
    if bits == 4 and not pixmap.own_palette:
        return VGA
    used = {p for row in pixmap.rows for p in row if p is not None} - {BLACK}
    if len(used) >= 1 << bits:
        raise SystemExit(f"a {1 << bits}-colour image takes at most {1 << bits} colours")
    return ([BLACK] + sorted(used) + [BLACK] * 256)[:1 << bits]


def dib(pixmap, bits):
    """An icon image: header with doubled height, colour table, XOR bitmap, AND mask."""
    transparent = [[p is None for p in row] for row in pixmap.rows]
    if bits == 24:
        table = b""
        xor = b""
        for row in reversed(pixmap.rows):
            line = b"".join(bytes(reversed(p or BLACK)) for p in row)
            xor += line + b"\0" * (-len(line) % 4)
    else:
        palette = palette_for(pixmap, bits)
        table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
        indices = [[0 if p is None else nearest(p, palette) for p in row] for row in pixmap.rows]
        xor = packed_rows(indices, bits)
    mask = packed_rows(transparent, 1)
    header = struct.pack("<IiiHHIIiiII", 40, pixmap.width, 2 * pixmap.height, 1, bits, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return header + table + xor + mask


def write_file(path, kind, entries):
    """Write an ICO (kind 1) or CUR (kind 2) file.

    Each entry is (pixmap, bits, words); the two words are the planes and bit
    count of an icon image, or the hot spot of a cursor image.
    """
    images = [dib(pixmap, bits) for pixmap, bits, _ in entries]
    directory = struct.pack("<HHH", 0, kind, len(entries))
    offset = len(directory) + 16 * len(entries)
    for (pixmap, bits, words), image in zip(entries, images):
        directory += struct.pack("<BBBBHHII", pixmap.width, pixmap.height, 16 if bits == 4 else 0, 0,
                                 *words, len(image), offset)
        offset += len(image)
    with open(path, "wb") as f:
        f.write(directory + b"".join(images))


def main(args):
    if len(args) < 3 or args[0] not in ("icon", "cursor"):
        raise SystemExit(__doc__)
    kind, output, maps = args[0], args[1], [PixelMap(path) for path in args[2:]]
    if kind == "icon":
        # A map of its own palette serves the sizes a high DPI asks for, on
        # displays of many colours: Windows takes the nearest size first and
        # only then the depth, so one small image does where three would
        # not fit the program's size.
        write_file(output, 1, [(m, bits, (1, bits)) for bits in (4, 8, 24) for m in maps
                               if not m.own_palette or bits == 4])
    elif len(maps) != 1 or maps[0].hotspot is None:
        raise SystemExit("a cursor takes one map with a hotspot line")
    else:
        write_file(output, 2, [(maps[0], bits, maps[0].hotspot) for bits in (4, 8)])


if __name__ == "__main__":
    main(sys.argv[1:])
